#include "admin/logs/viewers/log_viewer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <memory>
#include <numeric>

#include "admin/logs/viewers/log_export.h"
#include "admin/logs/viewers/reports_mod.h"
#include "logs/activity_log.h"
#include "logs/current_user.h"
#include "logs/log_clearing.h"
#include "logs/log_writers.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "messages/message_catalogue.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "platform/system/file_helpers.h"
#include "platform/system/process_spawn.h"
#include "session/launchers/launchers.h"
#include "session/launchers/window_factories.h"
#include "session/rules/session_queries.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/file_dialog.h"
#include "ui/helpers/window_metrics.h"
#include "ui_core/help.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr int kYes = 6;

int Px(double twips) { return static_cast<int>(twips / 15.0 + 0.5); }

QString Msg(int number) { return QString::fromStdString(GetMessageText(number, gLanguage)); }

// The small and the large picture of each icon, both drawn at their size.
QIcon SizedIcon(const QIcon& source) {
    QIcon icon;
    for (int size : {16, 32})
        icon.addPixmap(source.pixmap(size).scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return icon;
}

std::vector<QIcon> LogIcons(QStyle* style) {
    return {SizedIcon(style->standardIcon(QStyle::SP_ComputerIcon)),
            SizedIcon(style->standardIcon(QStyle::SP_MessageBoxWarning)),
            SizedIcon(style->standardIcon(QStyle::SP_MessageBoxQuestion)), QIcon(),
            SizedIcon(style->standardIcon(QStyle::SP_DriveNetIcon))};
}

void ShowSessionWindowModal(const char* name) {
    QPointer<QWidget> window;
    RunIgnoringErrors({
        [&] { window = CreateWindow(QString::fromLatin1(name)); },
        [&] { ShowModal(window); },
        [&] { UnloadWindow(window); },
    });
}

}  // namespace

LogViewer::LogViewer(LogViewerSpec spec, QWidget* parent) : QMainWindow(parent), spec_(std::move(spec)) {
    setObjectName(QString::fromLatin1(spec_.formName));
    model_ = new LogTableModel(spec_.kind, this);
    model_->SetIcons(LogIcons(style()));
    model_->SetDimColour(palette().color(QPalette::Disabled, QPalette::Text));
    BuildControls();
    BuildMenus();
    if (spec_.refreshTimer) {
        tmrRefresh_ = new QTimer(this);
        tmrRefresh_->setInterval(10000);
        connect(tmrRefresh_, &QTimer::timeout, this, &LogViewer::AutoRefreshData);
        tmrRefresh_->start();
    }
    setCentralWidget(tabDetails_);
    resize(Px(6705), Px(4725) + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    RunIgnoringErrors({[&] { LoadMetrics(); }});
}

LogViewer::~LogViewer() = default;

void LogViewer::BuildControls() {
    tabDetails_ = new QTabWidget(this);
    auto* page = new QWidget;
    page->installEventFilter(this);  // the list and buttons follow the page's size
    tabDetails_->addTab(page, QString());
    views_ = new QStackedWidget(page);
    lsvItems_ = new QTreeView;
    lsvItems_->setObjectName(QStringLiteral("lsvItems"));
    lsvItems_->setModel(model_);
    lsvItems_->setRootIsDecorated(false);
    lsvItems_->setUniformRowHeights(true);
    // A column is fitted to the cells in view: measuring Qt's thousand rows
    // of every column at each reload took as long as reading the whole log.
    lsvItems_->header()->setResizeContentsPrecision(0);
    lsvItems_->setAllColumnsShowFocus(true);  // whole rows selected
    lsvItems_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lsvItems_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lsvItems_->header()->setSectionsClickable(true);
    lsvItems_->header()->setStretchLastSection(false);
    connect(lsvItems_->header(), &QHeaderView::sectionClicked, this, &LogViewer::SortByHeader);
    connect(lsvItems_, &QTreeView::doubleClicked, this, [this] { ShowDetails(); });
    iconView_ = new QListView;
    iconView_->setModel(model_);
    iconView_->setSelectionModel(lsvItems_->selectionModel());
    iconView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Whole rows, as in the report, so the selection reads the same in every view.
    iconView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    iconView_->setUniformItemSizes(true);
    connect(iconView_, &QListView::doubleClicked, this, [this] { ShowDetails(); });
    views_->addWidget(iconView_);
    views_->addWidget(lsvItems_);
    views_->setCurrentWidget(lsvItems_);

    auto button = [&](const char* name, const QString& caption, auto slot) {
        auto* b = new QPushButton(caption, page);
        b->setObjectName(QString::fromLatin1(name));
        b->resize(Px(1155), Px(345));
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    cmdPrint_ = button("cmdPrint", QStringLiteral("Print"), [this] { PrintLog(); });
    cmdRefresh_ = button("cmdRefresh", QStringLiteral("Refresh"), [this] { LoadData(); });
    cmdClear_ = button("cmdClear", QStringLiteral("Clear"), [this] { ClearLog(); });
    cmdClose_ = button("cmdClose", QStringLiteral("Close"), [this] { close(); });

    const int panels = spec_.activeUsersPanel ? 2 : 1;
    for (int i = 0; i < panels; ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        statusBar()->addWidget(panel, 1);
        panels_.push_back(panel);
    }
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(false);

    if (spec_.popUp) {
        mnuPopUp_ = new QMenu(QStringLiteral("Corvane"), this);
        QAction* details = mnuPopUp_->addAction(QStringLiteral("Details"), this, [this] { ShowDetails(); });
        QFont bold = details->font();
        bold.setBold(true);
        details->setFont(bold);
        mnuPopUp_->setDefaultAction(details);
        mnuPopUp_->addAction(QStringLiteral("Clear"), this, [this] { ClearLog(); });
        mnuPopUp_->addSeparator();
        mnuPopUp_->addAction(QStringLiteral("Cancel"));
        for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(lsvItems_),
                                        static_cast<QAbstractItemView*>(iconView_)}) {
            view->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(view, &QWidget::customContextMenuRequested, this,
                    [this, view](const QPoint& at) { mnuPopUp_->popup(view->viewport()->mapToGlobal(at)); });
        }
    }
}

void LogViewer::BuildMenus() {
    auto item = [](QMenu* menu, std::map<int, QAction*>& items, int index, auto slot) {
        QAction* a = menu->addAction(QString());
        items[index] = a;
        QObject::connect(a, &QAction::triggered, menu, slot);
        return a;
    };
    menuAction_ = menuBar()->addMenu(QString());
    item(menuAction_, mnuAction_, 0, [this] { ClearLog(); });
    menuAction_->addSeparator();
    item(menuAction_, mnuAction_, 3, [this] { PrintLog(); });
    item(menuAction_, mnuAction_, 4, [this] { PrintSetup(); });
    menuAction_->addSeparator();
    item(menuAction_, mnuAction_, 6, [this] { ExportList(); });
    menuAction_->addSeparator();
    item(menuAction_, mnuAction_, 9, [this] { close(); });

    menuView_ = menuBar()->addMenu(QString());
    item(menuView_, mnuView_, 1, [this] { ToggleStatusBar(); })->setCheckable(true);
    menuView_->addSeparator();
    for (int i = 3; i <= 6; ++i) item(menuView_, mnuView_, i, [this, i] { SetViewMode(i); })->setCheckable(true);
    menuView_->addSeparator();
    item(menuView_, mnuView_, 8, [this] { LoadData(); })->setShortcut(QKeySequence(Qt::Key_F5));

    menuHelp_ = menuBar()->addMenu(QString());
    for (int i : {0, 1, 2, 3}) item(menuHelp_, mnuHelp_, i, [this, i] { HelpItemClicked(i); });
    menuHelp_->addSeparator();
    for (int i : {5, 6, 7}) item(menuHelp_, mnuHelp_, i, [this, i] { HelpItemClicked(i); });
    menuHelp_->addSeparator();
    for (int i : {9, 10}) item(menuHelp_, mnuHelp_, i, [this, i] { HelpItemClicked(i); });
}

void LogViewer::ApplyLanguage() {
    setWindowTitle(Msg(spec_.titleMessage));
    tabDetails_->setTabText(0, Msg(46));
    cmdPrint_->setText(Msg(4));
    cmdRefresh_->setText(Msg(107));
    if (spec_.clearCaptioned) cmdClear_->setText(Msg(41));
    cmdClose_->setText(Msg(26));
    menuAction_->setTitle(Msg(194));
    menuView_->setTitle(Msg(14));
    menuHelp_->setTitle(Msg(58));
    const std::map<int, int> action = {{0, 41}, {3, 4}, {4, 6}, {6, 127}, {9, 23}};
    for (auto [index, message] : action) mnuAction_[index]->setText(Msg(message));
    const std::map<int, int> view = {{1, 409}, {3, 15}, {4, 16}, {5, 17}, {6, 18}, {8, 107}};
    for (auto [index, message] : view) mnuView_[index]->setText(Msg(message));
    const std::map<int, int> help = {{0, 185}, {1, 186}, {2, 187}, {3, 188}, {5, 189},
                                     {6, 190}, {7, 193}, {9, 191}, {10, 192}};
    for (auto [index, message] : help) mnuHelp_[index]->setText(Msg(message));
}

void LogViewer::SetLanguage() {
    RunIgnoringErrors({[&] { ApplyLanguage(); }});
    SetColumnHeaders();
}

void LogViewer::SetColumnHeaders() {
    QStringList captions, tags;
    for (std::size_t c = 0; c < spec_.columnMessages.size(); ++c) {
        captions << Msg(spec_.columnMessages[c]);
        tags << QString::number(spec_.exportWidths[c]);
    }
    model_->ResetColumns();
    model_->SetColumns(captions, tags);
    lsvItems_->header()->setSortIndicatorShown(false);
    Layout();
}

std::vector<std::string> LogViewer::Headings() const {
    std::vector<std::string> out;
    for (const QString& c : model_->Captions()) out.push_back(c.toStdString());
    return out;
}

void LogViewer::Activate() {
    if (formLoad_) {
        formLoad_ = false;
        SetLanguage();
        LoadData();
        RunIgnoringErrors({[&] { FitFirstOpening(); }});
        RunIgnoringErrors({[&] { lsvItems_->setFocus(); }});
    }
    if (tmrRefresh_) tmrRefresh_->start();
}

void LogViewer::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (formLoad_) QTimer::singleShot(0, this, [this] { Activate(); });
}

void LogViewer::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Activate();
}

std::string LogViewer::Place(const std::string& procedure) const {
    return std::string(spec_.formName) + "." + procedure;
}

std::string LogViewer::Section() const { return std::string("Form Metrics\\") + spec_.formName; }

void LogViewer::LoadData() {
    auto busy = std::make_unique<BusyPointer>();
    // The rows shown so far lend their memory to the new ones.
    LogRows shown = model_->TakeRows();
    const bool whole = RunTrapped(Place(spec_.loadPlace), {
        [&] {
            const std::string path = spec_.kind == LogRows::Kind::User ? UserLog().GetPathName("")
                                                                       : WebsiteLog().GetPathName("");
            model_->SetRecords(LogRows::Load(spec_.kind, path, gLanguage, std::move(shown)));
        },
    });
    if (!whole) return;
    UpdateButtons();
    RefreshStatusBar();
    Layout();
}

void LogViewer::UpdateButtons() {
    const bool any = ListCount() > 0;
    cmdClear_->setEnabled(any);
    cmdPrint_->setEnabled(any);
}

void LogViewer::RefreshStatusBar() {
    const std::int32_t n = ListCount();
    if (!spec_.activeUsersPanel) {
        panels_[0]->setText(QStringLiteral("%1 %2").arg(n).arg(n == 1 ? QStringLiteral("Item") : QStringLiteral("Items")));
        return;
    }
    RunTrapped(Place("RefreshStatusBar"), {
        [&] { panels_[0]->setText(QStringLiteral("%1 %2").arg(n).arg(Msg(n == 1 ? 128 : 129))); },
        [&] {
            // Counted in the rows just read: the file is read once per load.
            const std::int32_t a = model_->Rows().ActiveCount();
            panels_[1]->setText(QStringLiteral("%1 %2").arg(a).arg(Msg(a == 1 ? 232 : 233)));
        },
    });
}

void LogViewer::AutoRefreshData() {
    // Ticks keep coming under the Clear question, the save dialog and a
    // printing report; one at a time.
    if (ticking_ || formLoad_) return;
    ticking_ = true;
    RunTrapped(Place("AutoRefreshData"), {
        [&] {
            if (UserLog().RecordCount() != ListCount()) LoadData();
        },
    });
    ticking_ = false;
}

bool LogViewer::ItemSelected() const { return ListCount() > 0 && SelectedIndex() > 0; }

std::int32_t LogViewer::SelectedIndex() const {
    const QModelIndex current = lsvItems_->selectionModel()->currentIndex();
    if (!current.isValid() || !lsvItems_->selectionModel()->isRowSelected(current.row(), {})) {
        const QModelIndexList rows = lsvItems_->selectionModel()->selectedRows();
        return rows.isEmpty() ? 0 : rows.first().row() + 1;
    }
    return current.row() + 1;
}

void LogViewer::SetSelectedIndex(std::int32_t n) {
    if (ListCount() == 0 || n < 1 || n > ListCount()) return;
    const QModelIndex index = model_->index(n - 1, 0);
    lsvItems_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::int32_t LogViewer::ItemsSelectedCount() const {
    if (!ItemSelected()) return 0;
    return static_cast<std::int32_t>(lsvItems_->selectionModel()->selectedRows().size());
}

std::int32_t LogViewer::ListCount() const { return model_->rowCount(); }

std::int32_t LogViewer::SelectedID() const {
    const std::int32_t i = SelectedIndex();
    return i > 0 ? model_->Rows().LogID(i - 1) : 0;
}

void LogViewer::SetMultiSelect(bool on) {
    const auto mode = on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    lsvItems_->setSelectionMode(mode);
    iconView_->setSelectionMode(mode);
}

void LogViewer::SortByHeader(int column) {
    ascending_ = !ascending_;
    const Qt::SortOrder order = ascending_ ? Qt::AscendingOrder : Qt::DescendingOrder;
    lsvItems_->header()->setSortIndicatorShown(true);
    lsvItems_->header()->setSortIndicator(column, order);
    model_->sort(column, order);
}

int LogViewer::ShowMessage(int mode, std::int32_t buttons, const std::string& parameter) {
    const int numbers[] = {454, 467, 468};
    const std::string prompt = GetMessageText(numbers[mode], gLanguage, parameter);
    return ShowMsgBox(prompt, buttons, GetMessageText(290, gLanguage));
}

void LogViewer::ClearLog() {
    if (spec_.kind == LogRows::Kind::User) {
        if (ShowMessage(0, 36, GetActivityName(14, gLanguage)) != kYes) return;
        // Clearing drops the records of the sessions still open; say so first.
        std::int32_t active = 0;
        RunIgnoringErrors({[&] { active = UserLog().GetActiveUserCount(); }});
        if (active > 0) {
            const std::string prompt = "There are " + std::to_string(active) +
                                       " active user(s). Do you wish to clear the User Log anyway?";
            if (ShowMsgBox(prompt, 308, GetMessageText(290, gLanguage)) != kYes) return;
        }
        ClearUserLogFile("");
    } else {
        if (ShowMessage(0, 36, "") != kYes) return;
        ClearWebsiteLogFile("");
    }
    LoadData();
}

void LogViewer::ExportList() {
    const std::string title = GetMessageText(spec_.titleMessage, gLanguage);
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = Msg(74);
    // The data folder takes no exports: the first one starts in the home folder.
    request.startFolder =
        QString::fromStdString(GetUserSetting(Section(), "Export List Init Dir", QDir::homePath().toStdString()));
    request.fileName = QString::fromStdString(title + ".txt");
    request.filters = {QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")};
    request.defaultSuffix = QStringLiteral("txt");
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = ChooseFile(request, this);
    if (!chosen || chosen->isEmpty()) return;
    const std::string path = chosen->toStdString();
    bool refused = false;
    RunTrapped(Place("ExportList"), {
        [&] { SaveUserSetting(Section(), "Export List Init Dir", File().GetPath(path)); },
        [&] {
            BusyPointer busy;
            const GuardedWrite written = WriteFileGuarded(path, [&](std::FILE* file) {
                const QStringList captions = model_->Captions();
                const QStringList tagList = model_->Tags();
                std::vector<std::string> heads, tags;
                for (const QString& c : captions) heads.push_back(c.toStdString());
                for (const QString& t : tagList) tags.push_back(t.toStdString());
                WriteExportFile(file, model_->Rows(), heads, tags);
                return true;
            });
            if (written.result == GuardedWrite::Result::Failed)
                throw RaisedError(75, "ExportList", "Path/File access error: " + path);
            refused = !ReportGuardedWrite(written);
        },
        [&] {
            if (refused) return;
            WriteActivityLog(GetCurrentUser(), gEXEAppName, GetLocalComputerName(),
                             title + " " + GetMessageText(74, gLanguage));
        },
    });
}

void LogViewer::PrintLog() {
    if (spec_.kind == LogRows::Kind::User)
        PrintUserLog(*this);
    else
        PrintWebsiteLog(*this);
}

void LogViewer::PrintSetup() {
    // The dialog runs the event loop: the window may close under it.
    const QPointer<LogViewer> self(this);
    PrintSetupChoice choice = printChoice_;
    RunIgnoringErrors({[&] {
        if (RunPrintSetup(choice, this) && self) self->printChoice_ = choice;
    }});
}

void LogViewer::ShowDetails() {
    if (spec_.kind == LogRows::Kind::User)
        ShowUserLogDetails(SelectedID(), "");
    else
        ShowWebsiteLogDetails(SelectedID(), "");
}

void LogViewer::SetViewMode(int item) {
    if (item < 3 || item > 6) return;
    for (int i = 3; i <= 6; ++i) mnuView_[i]->setChecked(i == item);
    viewMode_ = item - 3;
    if (viewMode_ == 3) {
        views_->setCurrentWidget(lsvItems_);
        return;
    }
    // Large icons in a grid, small icons in rows, the list in columns.
    iconView_->setViewMode(viewMode_ == 0 ? QListView::IconMode : QListView::ListMode);
    iconView_->setIconSize(viewMode_ == 0 ? QSize(32, 32) : QSize(16, 16));
    iconView_->setGridSize(viewMode_ == 0 ? QSize(96, 64) : (viewMode_ == 1 ? QSize(140, 22) : QSize()));
    iconView_->setFlow(viewMode_ == 2 ? QListView::TopToBottom : QListView::LeftToRight);
    iconView_->setWordWrap(viewMode_ == 0);
    iconView_->setUniformItemSizes(viewMode_ != 0);
    iconView_->setWrapping(true);
    iconView_->setResizeMode(QListView::Adjust);
    views_->setCurrentWidget(iconView_);
}

void LogViewer::ToggleStatusBar() {
    statusBar()->setVisible(!mnuView_[1]->isChecked());
    Layout();
}

void LogViewer::HelpItemClicked(int index) {
    RunIgnoringErrors({[&] {
        const std::string folder = File().FixPath(environment::ProgramFolder());
        if (index <= 3) {
            const std::string helpFile = folder + kHelpFileName;
            static const char* const panes[] = {"Contents", "Index", "Search", "Favourites"};
            if (File().FileExists(helpFile)) HTMLHelp().ShowHelp(helpFile, panes[index]);
        } else if (index == 5) {
            const std::string readMe = folder + "Readme.txt";
            if (File().FileExists(readMe)) OpenWithDesktop(readMe);
        } else if (index == 6 || index == 7) {
            ShowWebBrowserAt(index == 6 ? kMakerSupportAddress : kMakerHomeAddress);
        } else if (index == 9) {
            ShowSessionWindowModal("frmTip");
        } else if (index == 10) {
            ShowSessionWindowModal("frmAbout");
        }
    }});
}

void LogViewer::Layout() {
    RunIgnoringErrors({[&] {
        // Inside the tab page the designed twips positions hold.
        QWidget* page = tabDetails_->widget(0);
        const int width = page->width();
        const int height = page->height();
        const int listTop = Px(60);
        const int listHeight = std::max(0, height - cmdClose_->height() - Px(240));
        views_->setGeometry(Px(60), listTop, std::max(0, width - Px(120)), listHeight);
        const int buttonTop = listTop + listHeight + Px(120);
        cmdPrint_->move(Px(60), buttonTop);
        cmdRefresh_->move(Px(1320), buttonTop);
        cmdClear_->move(Px(2580), buttonTop);
        cmdClose_->move(width - cmdClose_->width() - Px(60), buttonTop);
        // Each column gets what its cells need, and the list's spare width is
        // shared out equally on top.
        const std::vector<int> widths = ColumnContentWidths();
        if (!widths.empty()) {
            const int used = std::accumulate(widths.begin(), widths.end(), 0);
            const int spare = std::max(0, lsvItems_->viewport()->width() - used) / static_cast<int>(widths.size());
            for (std::size_t c = 0; c < widths.size(); ++c)
                lsvItems_->setColumnWidth(static_cast<int>(c), widths[c] + spare);
        }
    }});
}

std::vector<int> LogViewer::ColumnContentWidths() {
    if (holdWidths_ && !heldWidths_.empty()) return heldWidths_;
    std::vector<int> widths;
    for (int c = 0; c < model_->columnCount(); ++c) {
        lsvItems_->resizeColumnToContents(c);
        widths.push_back(lsvItems_->columnWidth(c));
    }
    if (holdWidths_) heldWidths_ = widths;
    return widths;
}

void LogViewer::FitFirstOpening() {
    if (!firstOpening_) return;
    firstOpening_ = false;
    holdWidths_ = true;
    struct Release {
        LogViewer& viewer;
        ~Release() {
            viewer.holdWidths_ = false;
            viewer.heldWidths_.clear();
        }
    } release{*this};
    const std::vector<int> widths = ColumnContentWidths();
    const int list = std::accumulate(widths.begin(), widths.end(), 0) + 2 * lsvItems_->frameWidth() +
                     style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // The window's own parts around the list keep their width.
    const int wanted = width() - views_->width() + list;
    PlaceOnAvailableScreen(this, QSize(std::max(width(), wanted), height()));
    Layout();
}

bool LogViewer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && tabDetails_ && watched == tabDetails_->widget(0)) Layout();
    return QMainWindow::eventFilter(watched, event);
}

void LogViewer::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Layout();
}

void LogViewer::LoadMetrics() {
    const std::string section = Section();
    RunIgnoringErrors({
        [&] {
            const std::string view = GetUserSetting(section, "List View", "");
            // Every save writes "List View": without it nothing was saved.
            firstOpening_ = view.empty();
            if (!view.empty()) SetViewMode(std::stoi(view));
        },
        [&] {
            if (firstOpening_) PlaceOnAvailableScreen(this, size());
            else LoadFormMetrics(this);
        },
        [&] {
            const std::string hide = GetUserSetting(section, "HideStatusbar", "False");
            if (hide == "True" || hide == "False") mnuView_[1]->setChecked(hide == "True");
            statusBar()->setVisible(!mnuView_[1]->isChecked());
        },
        [&] { Layout(); },
    });
}

void LogViewer::SaveMetrics() {
    const std::string section = Section();
    RunIgnoringErrors({
        [&] {
            int checked = 7;
            for (int i = 3; i <= 6 && checked == 7; ++i)
                if (mnuView_[i]->isChecked()) checked = i;
            SaveUserSetting(section, "List View", std::to_string(checked));
        },
        [&] { SaveFormMetrics(this); },
        [&] { SaveUserSetting(section, "HideStatusbar", mnuView_[1]->isChecked() ? "True" : "False"); },
    });
}

void LogViewer::closeEvent(QCloseEvent* event) {
    SaveMetrics();
    model_->ClearRows();
    QMainWindow::closeEvent(event);
}

}  // namespace corvane
