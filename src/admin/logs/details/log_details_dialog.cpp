#include "admin/logs/details/log_details_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "admin/logs/details/log_details.h"
#include "admin/logs/viewers/log_viewer.h"
#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "recordstore/log_table.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/off_taskbar.h"
#include "ui/helpers/picture_button.h"
#include "ui/helpers/top_level_form_registry.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {
namespace {

constexpr int kBoxWidth = 230;
constexpr int kHalfBoxWidth = 130;
constexpr int kDescriptionHeight = 150;

QString Msg(int number) { return QString::fromStdString(GetMessageText(number, gLanguage)); }

}  // namespace

LogDetailsDialog::LogDetailsDialog(Spec spec) : spec_(std::move(spec)) {
    setObjectName(QString::fromLatin1(spec_.formName));
    // A fixed dialog frame: no minimise or maximise box, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    KeepOffTaskbar(this);
    BuildControls();
    InitNavigation();
    FlattenTextBoxes();
}

void LogDetailsDialog::BuildControls() {
    tabDetails_ = new QTabWidget(this);
    tabDetails_->setObjectName(QStringLiteral("tabDetails"));
    auto* page = new QWidget(tabDetails_);
    tabDetails_->addTab(page, QString());

    auto* grid = new QGridLayout;
    int line = -1;
    const std::vector<Row>& rows = spec_.rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        // Two rows that share a line have half a box each.
        const bool halved = row.besidePrevious || (i + 1 < rows.size() && rows[i + 1].besidePrevious);
        if (!row.besidePrevious) ++line;
        const int column = row.besidePrevious ? 2 : 0;
        auto* label = new QLabel(page);
        label->setObjectName(QString::fromLatin1(row.label));
        auto* box = new QLineEdit(page);
        box->setObjectName(QString::fromLatin1(row.box));
        box->setReadOnly(true);
        box->setFrame(false);
        box->installEventFilter(this);
        grid->addWidget(label, line, column);
        if (halved) {
            grid->addWidget(box, line, column + 1, Qt::AlignLeft);
            box->setFixedWidth(kHalfBoxWidth);
        } else {
            grid->addWidget(box, line, 1, 1, 3, Qt::AlignLeft);
            box->setFixedWidth(row.wide ? kBoxWidth * 3 / 2 : kBoxWidth);
        }
        labels_.push_back(label);
        boxes_.push_back(box);
    }
    lblDescription_ = new QLabel(page);
    lblDescription_->setObjectName(QStringLiteral("lblDescription"));
    txtDescription_ = new QPlainTextEdit(page);
    txtDescription_->setObjectName(QStringLiteral("txtDescription"));
    txtDescription_->setReadOnly(true);
    txtDescription_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDescription_->setFixedHeight(kDescriptionHeight);
    txtDescription_->installEventFilter(this);
    QPalette face = txtDescription_->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    txtDescription_->setPalette(face);
    grid->addWidget(lblDescription_, ++line, 0, 1, 4);
    grid->addWidget(txtDescription_, ++line, 0, 1, 4);

    cmdUp_ = NewPictureButton(page, "cmdUp", "Up", QStyle::SP_ArrowUp);
    cmdDown_ = NewPictureButton(page, "cmdDown", "Down", QStyle::SP_ArrowDown);
    cmdCopy_ = NewPictureButton(page, "cmdCopy", "Copy", QStyle::SP_FileDialogContentsView);
    auto* pictures = new QVBoxLayout;
    for (QPushButton* b : {cmdUp_, cmdDown_, cmdCopy_}) pictures->addWidget(b);
    pictures->addStretch();
    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->addLayout(grid);
    pageLayout->addLayout(pictures);

    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabDetails_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdUp_, &QPushButton::clicked, this, [this] { cmdUp_Click(); });
    connect(cmdDown_, &QPushButton::clicked, this, [this] { cmdDown_Click(); });
    connect(cmdCopy_, &QPushButton::clicked, this, [this] { cmdCopy_Click(); });
    connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

// Decided once: Up and Down only make sense beside an open viewer.
void LogDetailsDialog::InitNavigation() {
    RunIgnoringErrors({[&] {
        LogViewer* viewer = Viewer();
        cmdUp_->setVisible(viewer != nullptr);
        cmdDown_->setVisible(viewer != nullptr);
        // A header click moves the shown record to another row: Up and Down
        // follow it there.
        if (viewer)
            connect(viewer->Model(), &QAbstractItemModel::layoutChanged, this, [this] { UpdateNavigationButtons(); });
    }});
}

// Borderless boxes read as plain text on the page; the tab page is drawn a
// shade apart from the window, so they let it show through.
void LogDetailsDialog::FlattenTextBoxes() {
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        if (box->hasFrame()) continue;
        QPalette p = box->palette();
        p.setColor(QPalette::Base, Qt::transparent);
        box->setPalette(p);
    }
}

void LogDetailsDialog::ApplyLanguage() {
    setWindowTitle(Msg(spec_.titleMessage));
    tabDetails_->setTabText(0, Msg(46));
    for (std::size_t i = 0; i < spec_.rows.size(); ++i)
        labels_[i]->setText(Msg(spec_.rows[i].message) + QString::fromLatin1(spec_.rows[i].suffix));
    lblDescription_->setText(Msg(49) + QStringLiteral(":"));
    cmdOK_->setText(Msg(33).toUpper());
    cmdCancel_->setText(Msg(25));
}

void LogDetailsDialog::SetLanguage() {
    RunIgnoringErrors({[&] { ApplyLanguage(); }});
}

void LogDetailsDialog::LoadData() {
    BusyPointer busy;
    // Released, and its file closed, on every way out.
    std::unique_ptr<LogTable> record;
    bool loaded = false;
    RunTrapped(std::string(spec_.formName) + ".LoadData", {
        [&] { record = NewRecord(); },
        [&] { record->OpenTable(OpenTablePathname); },
        [&] { loaded = record->Load(LogID); },
        [&] {
            if (!loaded) return;
            const std::vector<std::string> values = Values(*record);
            std::vector<std::pair<std::string, std::string>> lines;
            for (std::size_t i = 0; i < boxes_.size(); ++i) {
                boxes_[i]->setText(QString::fromStdString(values.at(i)));
                boxes_[i]->setCursorPosition(0);
                lines.emplace_back(labels_[i]->text().toStdString(), boxes_[i]->text().toStdString());
            }
            summary_ = DetailsSummary(lines);
            txtDescription_->setPlainText(QString::fromStdString(summary_));
        },
    }, gLanguage);
}

void LogDetailsDialog::UpdateNavigationButtons() {
    LogViewer* viewer = Viewer();
    if (!viewer) return;
    const NavigationButtons on = NavigationFor(viewer->SelectedIndex(), viewer->ListCount());
    cmdUp_->setEnabled(on.up);
    cmdDown_->setEnabled(on.down);
}

void LogDetailsDialog::Step(int by) {
    LogViewer* viewer = Viewer();
    if (!viewer) return;
    // From the viewer's selection at the click, in the list's current order.
    const std::int32_t i = viewer->SelectedIndex();
    viewer->SetMultiSelect(false);
    viewer->SetSelectedIndex(i + by);
    viewer->SetMultiSelect(true);
    LogID = viewer->SelectedID();
    LoadData();
    UpdateNavigationButtons();
}

LogViewer* LogDetailsDialog::Viewer() const {
    for (QWidget* window : ui::TopLevelFormRegistry::LoadedForms()) {
        if (window->objectName().compare(QLatin1String(spec_.viewerName), Qt::CaseInsensitive) != 0) continue;
        if (auto* viewer = qobject_cast<LogViewer*>(window)) return viewer;
    }
    return nullptr;
}

void LogDetailsDialog::cmdCopy_Click() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(summary_));
}

void LogDetailsDialog::cmdOK_Click() { hide(); }

void LogDetailsDialog::cmdCancel_Click() {
    Cancelled = true;
    hide();
}

void LogDetailsDialog::reject() { cmdCancel_Click(); }

void LogDetailsDialog::Activate() {
    if (!FormLoad) return;
    FormLoad = false;
    RunIgnoringErrors({
        [&] { SetLanguage(); },
        [&] { LoadData(); },
        [&] { UpdateNavigationButtons(); },
        [&] { boxes_.front()->setFocus(); },
    });
}

void LogDetailsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FormLoad) QTimer::singleShot(0, this, [this] { Activate(); });
}

void LogDetailsDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Activate();
}

// The close box unloads the window; OK and Cancel only hide it.
void LogDetailsDialog::closeEvent(QCloseEvent* event) {
    Cancelled = true;
    event->accept();
}

bool LogDetailsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* w = qobject_cast<QWidget*>(watched)) SelectAllTextAfterFocus(w);
    }
    return QDialog::eventFilter(watched, event);
}

QLineEdit* LogDetailsDialog::Box(const char* name) const {
    return findChild<QLineEdit*>(QString::fromLatin1(name));
}

QLabel* LogDetailsDialog::Label(const char* name) const { return findChild<QLabel*>(QString::fromLatin1(name)); }

}  // namespace corvane
