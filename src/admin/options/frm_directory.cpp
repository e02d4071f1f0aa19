#include "admin/options/frm_directory.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTreeView>

#include "admin/options/folder_roots.h"
#include "admin/options/frm_network_browse.h"
#include "admin/options/option_texts.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui/helpers/window_metrics.h"

namespace corvane {
namespace {

// Shows the open folder in bold, apart from a folder only highlighted.
class OpenFolderDelegate : public QStyledItemDelegate {
public:
    OpenFolderDelegate(const QFileSystemModel* model, const QString* openFolder, QObject* parent)
        : QStyledItemDelegate(parent), model_(model), openFolder_(openFolder) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (model_->filePath(index) == *openFolder_) option->font.setBold(true);
    }

private:
    const QFileSystemModel* model_;
    const QString* openFolder_;
};

}  // namespace

frmDirectory::frmDirectory(QWidget* parent) : StatusDialog(parent) {
    setObjectName("frmDirectory");
    setWindowTitle(QStringLiteral("Directory Browser"));
    drvDrive_ = new QComboBox(this);
    drvDrive_->setObjectName("drvDrive");
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    dirDirectory_ = new QTreeView(this);
    dirDirectory_->setObjectName("dirDirectory");
    dirDirectory_->setModel(model_);
    dirDirectory_->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column) dirDirectory_->hideColumn(column);
    dirDirectory_->setExpandsOnDoubleClick(false);
    dirDirectory_->setItemDelegate(new OpenFolderDelegate(model_, &openFolder_, dirDirectory_));
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setAutoDefault(false);
    cmdNetwork_ = new QPushButton(QStringLiteral("Network"), this);
    cmdNetwork_->setObjectName("cmdNetwork");
    cmdNetwork_->setAutoDefault(false);
    const QSize button(ui::ToPixelsX(1215), ui::ToPixelsY(375));
    for (auto* b : {cmdOK_, cmdCancel_, cmdNetwork_}) b->resize(button);
    cmdOK_->move(0, ui::ToPixelsY(120));
    cmdCancel_->move(0, ui::ToPixelsY(600));
    cmdNetwork_->move(0, ui::ToPixelsY(1080));
    resize(ui::ToPixelsX(5400), ui::ToPixelsY(4500));

    connect(cmdOK_, &QPushButton::clicked, this, &frmDirectory::OK);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmDirectory::Cancel);
    connect(cmdNetwork_, &QPushButton::clicked, this, &frmDirectory::Network);
    connect(dirDirectory_, &QTreeView::doubleClicked, this,
            [this](const QModelIndex& index) { Open(model_->filePath(index)); });

    // The model reads folders in the background: show the open one once its
    // parents have been read.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString& folder) {
        if (openFolder_ == folder || openFolder_.startsWith(folder.endsWith('/') ? folder : folder + '/'))
            ShowOpenFolder();
    });

    // Sorting moves the rows after they are read: keep the open folder in
    // sight until the user takes over the list.
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] {
        if (followOpenFolder_) dirDirectory_->scrollTo(model_->index(openFolder_), QAbstractItemView::PositionAtCenter);
    });
    connect(dirDirectory_, &QTreeView::pressed, this, [this] { followOpenFolder_ = false; });
    connect(dirDirectory_->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { followOpenFolder_ = false; });

    // Loading carries on past every error.
    RunIgnoringErrors({
        [this] {
            roots_ = options::FolderRoots();
            drvDrive_->addItems(roots_);
        },
        [this] {
            Open(QDir::currentPath());
            FollowDrive();
        },
        [this] { LoadFormMetrics(this); },
    });
    connect(drvDrive_, &QComboBox::currentIndexChanged, this, &frmDirectory::DriveChange);
    Layout();
}

frmDirectory::~frmDirectory() { RunIgnoringErrors({[this] { SaveFormMetrics(this); }}); }

void frmDirectory::SetNoCancel(bool value) {
    noCancel_ = value;
    cmdCancel_->setEnabled(!value);
    if (value) DisableCloseButton(this);
}

void frmDirectory::SetPath(const QString& folder) {
    RunIgnoringErrors({
        [&] { Open(folder); },
        [&] { FollowDrive(); },
    });
}

void frmDirectory::SetLanguage() {
    setWindowTitle(options::Message(116));
    cmdOK_->setText(options::UpperMessage(33));
    cmdCancel_->setText(options::Message(25));
    cmdNetwork_->setText(options::Message(109));
}

bool frmDirectory::Open(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable() || !QDir(folder).isReadable()) return false;
    openFolder_ = QDir::cleanPath(info.absoluteFilePath());
    const QString root = options::RootOf(roots_, openFolder_);
    model_->setRootPath(root);
    dirDirectory_->setRootIndex(model_->index(root));
    followOpenFolder_ = true;
    ShowOpenFolder();
    ShowStatus(openFolder_);
    return true;
}

void frmDirectory::ShowOpenFolder() {
    const QModelIndex index = model_->index(openFolder_);
    for (QModelIndex up = index.parent(); up.isValid() && up != dirDirectory_->rootIndex(); up = up.parent())
        dirDirectory_->expand(up);
    dirDirectory_->setCurrentIndex(index);
    dirDirectory_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    dirDirectory_->viewport()->update();
}

void frmDirectory::FollowDrive() {
    const int index = roots_.indexOf(options::RootOf(roots_, openFolder_));
    const QSignalBlocker quiet(drvDrive_);
    drvDrive_->setCurrentIndex(index);
}

void frmDirectory::DriveChange(int index) {
    RunIgnoringErrors({[&] {
        if (index >= 0 && index < roots_.size()) Open(roots_.at(index));
    }});
    ShowStatus(openFolder_);
}

void frmDirectory::OK() {
    path_ = openFolder_;
    hide();
}

void frmDirectory::Cancel() {
    cancelled_ = true;
    hide();
}

void frmDirectory::reject() {
    if (!noCancel_) Cancel();
}

void frmDirectory::Network() {
    frmNetworkBrowse* browser = nullptr;
    bool chosen = false;
    QString answer;
    RunIgnoringErrors({
        [&] { browser = new frmNetworkBrowse(this); },
        [&] { browser->exec(); },
        [&] {
            answer = browser->Path();
            chosen = !browser->Cancelled() && !text::Trim(answer.toStdString()).empty();
        },
        [&] { delete browser; },
    });
    if (!chosen) return;
    path_ = answer;
    hide();
}

// Only the user's own close can be refused or count as Cancel; the program's
// own unload (at log-off and exit) always goes ahead.
void frmDirectory::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        if (noCancel_) {
            event->ignore();
            return;
        }
        cancelled_ = true;
        path_.clear();
    }
    // Not QDialog's own close, which would take it for Cancel.
    event->accept();
    hide();
}

void frmDirectory::FirstActivation() {
    SetLanguage();
    if (!newCaption_.isEmpty()) setWindowTitle(newCaption_);
}

void frmDirectory::Layout() {
    RunIgnoringErrors({
        [this] {
            const double driveWidth = ui::ToTwipsX(width()) - ui::ToTwipsX(cmdOK_->width()) - 300;
            drvDrive_->setGeometry(ui::ToPixelsX(120), ui::ToPixelsY(120), ui::ToPixelsX(driveWidth),
                                   drvDrive_->sizeHint().height());
            for (auto* b : {cmdOK_, cmdCancel_, cmdNetwork_}) b->move(ui::ToPixelsX(driveWidth + 240), b->y());
        },
        [this] {
            const int top = drvDrive_->geometry().bottom() + 1 + ui::ToPixelsY(120);
            dirDirectory_->setGeometry(drvDrive_->x(), top, drvDrive_->width(), height() - top - StatusHeight());
        },
    });
}

}  // namespace corvane
