#include "admin/options/frm_network_browse.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <vector>

#include "admin/options/network_images.h"
#include "admin/options/option_texts.h"
#include "platform/core/error_trap.h"
#include "platform/network/network_folders.h"
#include "platform/network/network_resource.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui/helpers/window_metrics.h"

namespace corvane {
namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kPictureRole = Qt::UserRole + 1;
constexpr int kTagRole = Qt::UserRole + 2;
const QString kRootKey = QStringLiteral("_ROOT");
const QString kFake = QStringLiteral("_FAKE");

QString Key(const QTreeWidgetItem* node) { return node->data(0, kKeyRole).toString(); }
QString Picture(const QTreeWidgetItem* node) { return node->data(0, kPictureRole).toString(); }
QString Tag(const QTreeWidgetItem* node) { return node->data(0, kTagRole).toString(); }
void SetTag(QTreeWidgetItem* node, const char* tag) { node->setData(0, kTagRole, QString::fromLatin1(tag)); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

frmNetworkBrowse::frmNetworkBrowse(QWidget* parent) : StatusDialog(parent) {
    setObjectName("frmNetworkBrowse");
    setWindowTitle(QStringLiteral("Network"));
    tvwNetwork_ = new QTreeWidget(this);
    tvwNetwork_->setObjectName("tvwNetwork");
    tvwNetwork_->setHeaderHidden(true);
    tvwNetwork_->setIconSize(QSize(16, 16));
    tvwNetwork_->setContextMenuPolicy(Qt::NoContextMenu);
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    cmdOK_->setEnabled(false);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setAutoDefault(false);
    cmdOK_->resize(ui::ToPixelsX(1215), ui::ToPixelsY(375));
    cmdCancel_->resize(cmdOK_->size());
    cmdOK_->move(0, ui::ToPixelsY(120));
    cmdCancel_->move(0, ui::ToPixelsY(600));
    resize(ui::ToPixelsX(5400), ui::ToPixelsY(4800));

    connect(cmdOK_, &QPushButton::clicked, this, &frmNetworkBrowse::OK);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmNetworkBrowse::Cancel);

    // Loading carries on past every error.
    RunIgnoringErrors({
        [this] { CenterForm(this); },
        [this] { root_ = std::make_unique<NetworkResource>(); },
        [this] {
            auto* root = AddNode(nullptr, kRootKey, QStringLiteral("Entire Network"), QStringLiteral("root"));
            SetTag(root, "Y");
        },
        [this] { LoadTopLevel(); },
        [this] { LoadFormMetrics(this); },
        [this] {
            auto* root = tvwNetwork_->topLevelItem(0);
            tvwNetwork_->setCurrentItem(root);
            ShowNodeCount(root->childCount());
        },
    });
    connect(tvwNetwork_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        if (Tag(node) == QLatin1String("N")) LoadChildNodes(node);
        ShowNodeCount(node->childCount());
    });
    connect(tvwNetwork_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node, int) { NodeClick(node); });
    Layout();
}

frmNetworkBrowse::~frmNetworkBrowse() { RunIgnoringErrors({[this] { SaveFormMetrics(this); }}); }

void frmNetworkBrowse::SetLanguage() {
    setWindowTitle(options::Message(109));
    cmdOK_->setText(options::UpperMessage(33));
    cmdCancel_->setText(options::Message(25));
}

QTreeWidgetItem* frmNetworkBrowse::Node(const QString& key) const { return nodes_.value(key.toLower()); }

void frmNetworkBrowse::LoadTopLevel() {
    auto* root = tvwNetwork_->topLevelItem(0);
    for (const auto& resource : root_->Nodes()) {
        RunIgnoringErrors({[&] {
            auto* node = AddNode(root, Q(resource->RemoteName()), Q(resource->ShortName()),
                                 Q(resource->ResourceTypeName()).toLower());
            if (!node) return;
            SetTag(node, "N");
            AddPlaceholder(node, QStringLiteral("server"));
            tvwNetwork_->scrollToItem(node);
            root->setExpanded(true);
        }});
    }
}

QTreeWidgetItem* frmNetworkBrowse::AddNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                                           const QString& picture) {
    if (nodes_.contains(key.toLower()) || !options::HasNetworkImage(picture)) return nullptr;
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvwNetwork_);
    node->setText(0, text);
    node->setIcon(0, options::NetworkImage(style(), picture));
    node->setData(0, kKeyRole, key);
    node->setData(0, kPictureRole, picture);
    nodes_.insert(key.toLower(), node);
    return node;
}

void frmNetworkBrowse::AddPlaceholder(QTreeWidgetItem* node, const QString& picture) {
    AddNode(node, Key(node) + kFake, QStringLiteral("FAKE"), picture);
}

void frmNetworkBrowse::LoadChildNodes(QTreeWidgetItem* node) {
    const QString key = Key(node);
    if (auto* placeholder = Node(key + kFake)) {
        nodes_.remove((key + kFake).toLower());
        delete placeholder;
    }
    const QString picture = Picture(node);
    if (picture == QLatin1String("share") || picture == QLatin1String("folder"))
        LoadFolder(node, key);
    else
        LoadResources(node);
    SetTag(node, "Y");
}

void frmNetworkBrowse::LoadFolder(QTreeWidgetItem* node, const QString& key) {
    std::vector<std::string> files, folders;
    bool opened = false;
    RunIgnoringErrors({[&] { opened = CurrentNetworkFolders().List(key.toStdString(), files, folders); }});
    // A share that cannot be opened asks the neighbourhood, which has nothing below a share.
    if (!opened) {
        if (Picture(node) == QLatin1String("share")) LoadResources(node);
        return;
    }
    for (const auto& file : files) AddNode(node, key + "\\" + Q(file), Q(file), QStringLiteral("file"));
    for (const auto& folder : folders) {
        if (auto* child = AddNode(node, key + "\\" + Q(folder), Q(folder), QStringLiteral("folder"))) {
            AddPlaceholder(child, QStringLiteral("folder"));
            SetTag(child, "N");
        }
    }
}

void frmNetworkBrowse::LoadResources(QTreeWidgetItem* node) {
    // The keys from the root's child down to the node lead to its resource.
    std::vector<QString> path;
    for (auto* n = node; n && n->parent(); n = n->parent()) path.insert(path.begin(), Key(n));
    RunIgnoringErrors({[&] {
        NetworkResource* resource = root_.get();
        for (const auto& key : path) {
            auto next = resource->Nodes().Item(key.toStdString());
            if (!next) return;
            resource = next.get();
        }
        for (const auto& child : resource->Nodes()) {
            RunIgnoringErrors({[&] {
                auto* added = AddNode(node, Q(child->RemoteName()),
                                      Q(child->ShortName()), Q(child->ResourceTypeName()).toLower());
                if (!added) return;
                SetTag(added, "N");
                if (child->ResourceType() != 255) AddPlaceholder(added, QStringLiteral("server"));
            }});
        }
    }});
    tvwNetwork_->viewport()->update();
}

void frmNetworkBrowse::NodeClick(QTreeWidgetItem* node) {
    const QString picture = Picture(node);
    if (picture == QLatin1String("server")) computer_ = node->text(0);
    cmdOK_->setEnabled(picture == QLatin1String("folder") || picture == QLatin1String("share"));
    ShowNodeCount(node->childCount());
}

void frmNetworkBrowse::ShowNodeCount(int count) {
    ShowStatus(QStringLiteral("%1 %2").arg(count).arg(count == 1 ? QStringLiteral("Item") : QStringLiteral("Items")));
}

void frmNetworkBrowse::OK() {
    auto* node = tvwNetwork_->currentItem();
    if (!node) return;
    const QString picture = Picture(node);
    if (picture == QLatin1String("folder") || picture == QLatin1String("share")) path_ = Key(node);
    hide();
}

void frmNetworkBrowse::Cancel() {
    cancelled_ = true;
    hide();
}

void frmNetworkBrowse::reject() { Cancel(); }

// The close box unloads without an answer; QDialog's own close would take
// it for Cancel.
void frmNetworkBrowse::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
}

void frmNetworkBrowse::FirstActivation() {
    SetLanguage();
}

void frmNetworkBrowse::Layout() {
    RunIgnoringErrors({
        [this] {
            const double inner = ui::ToTwipsX(width()), innerHeight = ui::ToTwipsY(height());
            const double okWidth = ui::ToTwipsX(cmdOK_->width());
            const double treeWidth = inner - okWidth - 300;
            const double treeHeight = innerHeight - ui::ToTwipsY(StatusHeight()) - 240;
            tvwNetwork_->setGeometry(ui::ToPixelsX(120), ui::ToPixelsY(120), ui::ToPixelsX(treeWidth),
                                     ui::ToPixelsY(treeHeight));
            cmdOK_->move(ui::ToPixelsX(treeWidth + 240), cmdOK_->y());
            cmdCancel_->move(ui::ToPixelsX(treeWidth + 240), cmdCancel_->y());
        },
    });
}

}  // namespace corvane
