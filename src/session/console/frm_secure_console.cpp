#include "session/console/frm_secure_console.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <algorithm>

#include "messages/message_catalogue.h"
#include "platform/core/carry_on.h"
#include "platform/settings/global_settings.h"
#include "session/console/console_list_view.h"
#include "session/console/console_metrics.h"
#include "session/launchers/launchers.h"
#include "session/launchers/session_entry_points.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui/helpers/window_metrics.h"
#include "ui/platform_qt/file_icon.h"
#include "ui_core/help.h"

namespace corvane {
namespace {

constexpr const char* kFormName = "frmSecureConsole";

QString Message(int number) { return QString::fromStdString(GetMessageText(number, gLanguage)); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

frmSecureConsole::IconExtractor& Extractor() {
    static frmSecureConsole::IconExtractor extractor;
    return extractor;
}

// The main form's session and the launchers, as the console reaches them.
class SessionConsoleHost : public ConsoleHost {
public:
    bool Authenticated() override { return MainSession().Authenticated(); }
    void Authenticate() override { MainSession().Authenticate(); }
    void LogOFF() override { MainSession().LogOFF(); }
    void SetTrayEnabled(bool on) override { MainSession().SetTrayEnabled(on); }
    void ShowUserManagement() override { corvane::ShowUserManagement(); }
    void ShowMainOptions() override { corvane::ShowMainOptions(); }
    void ShowSecurity() override { corvane::ShowSecurity(); }
    void ShowWebBrowser() override { corvane::ShowWebBrowser(); }
    void ShowChangePassword(const std::string& login) override { corvane::ShowChangePassword(login); }
};

}  // namespace

frmSecureConsole::frmSecureConsole(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(kFormName));
    setWindowIcon(ProductPicture(32));
    resize(ui::ToPixelsX(7500), ui::ToPixelsY(5400));

    smallIcons_ = StockPictures(16);
    largeIcons_ = StockPictures(32);

    BuildToolBar();
    lsvItems_ = new ConsoleListView(this);
    lsvItems_->setObjectName(QStringLiteral("lsvItems"));
    connect(lsvItems_, &ConsoleListView::ViewChanged, this, [this] { FitColumns(); });
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(lsvItems_->Icons()), static_cast<QAbstractItemView*>(lsvItems_->Report())}) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    statusBar_->setSizeGripEnabled(true);
    for (int i = 1; i <= 4; ++i) {
        auto* panel = new QLabel(statusBar_);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(ui::ToPixelsX(i == 3 ? 600 : 1500));
        statusBar_->addWidget(panel, i == 3 ? 1 : 0);
        panels_.append(panel);
    }

    BuildPopUpMenu();

    picBuffer_ = new QLabel(this);
    picBuffer_->setObjectName(QStringLiteral("picBuffer"));
    picBuffer_->hide();

    formLoad_ = true;
    CarryOn([this] { RestoreFormMetrics(); });
    CarryOn([this] { ApplyNoCancel(); });
    LayoutControls();
}

frmSecureConsole::~frmSecureConsole() = default;

void frmSecureConsole::SetIconExtractor(IconExtractor extractor) { Extractor() = std::move(extractor); }

void frmSecureConsole::BuildToolBar() {
    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setIconSize(QSize(24, 24));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const struct {
        const char* key;
        ToolPicture picture;
    } buttons[] = {
        {"Large Icons", ToolPicture::LargeIcons}, {"Small Icons", ToolPicture::SmallIcons},
        {"List", ToolPicture::List},              {"Details", ToolPicture::Details},
        {"Refresh", ToolPicture::Refresh},        {nullptr, ToolPicture::Help},
        {"Help", ToolPicture::Help},              {nullptr, ToolPicture::Help},
        {"Exit", ToolPicture::Exit},
    };
    for (const auto& b : buttons) {
        QAction* action = b.key ? toolbar_->addAction(ToolBarPicture(b.picture), QString::fromLatin1(b.key))
                                : toolbar_->addSeparator();
        if (b.key) action->setObjectName(QString::fromLatin1(b.key));
        buttons_.append(action);
    }
    for (int view = 0; view < 4; ++view)
        connect(buttons_[view], &QAction::triggered, this, [this, view] {
            lsvItems_->SetView(view);
            // Enter goes on working on the list the user now sees.
            lsvItems_->Shown()->setFocus();
        });
    connect(buttons_[4], &QAction::triggered, this, &frmSecureConsole::LoadData);
    connect(buttons_[6], &QAction::triggered, this, [] {
        std::string helpFile;
        ShowHelpFile(helpFile);
    });
    connect(buttons_[8], &QAction::triggered, this, [this] {
        // Where the console is the only way in, Exit only puts it aside, as
        // the title bar's close does.
        if (ConsoleIsTheWayIn()) showMinimized();
        else close();
    });
}

void frmSecureConsole::BuildPopUpMenu() {
    mnuPopUp_ = new QMenu(this);
    mnuPopUp_->setObjectName(QStringLiteral("mnuPopUp"));
    for (int i = 0; i < 4; ++i) {
        QAction* item = i == 2 ? mnuPopUp_->addSeparator() : mnuPopUp_->addAction(QString());
        item->setObjectName(QStringLiteral("mnuPopUpItem%1").arg(i));
        popUpItems_.append(item);
    }
    mnuPopUp_->setDefaultAction(popUpItems_[0]);
    connect(popUpItems_[0], &QAction::triggered, this, &frmSecureConsole::LaunchSelected);
    connect(popUpItems_[1], &QAction::triggered, this, &frmSecureConsole::LoadData);
}

void frmSecureConsole::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Activation events are unreliable; the first show stands in for the
    // first activation.
    if (!formLoad_) return;
    formLoad_ = false;
    CarryOn([this] { SetLanguage(); });
    CarryOn([this] { LoadData(); });
    CarryOn([this] {
        // Opened for the first time: centred, wide enough for every column.
        if (!firstOpening_) return;
        const int chrome = width() - lsvItems_->width();
        PlaceOnAvailableScreen(this, QSize(std::max(width(), lsvItems_->ReportWidthForContents() + chrome), height()));
    });
    lsvItems_->Shown()->setFocus();
}

void frmSecureConsole::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) SaveFormMetrics();
}

void frmSecureConsole::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutControls();
}

void frmSecureConsole::LayoutControls() {
    CarryOn([this] {
        const int toolHeight = toolbar_->sizeHint().height();
        const int statusHeight = statusBar_->sizeHint().height();
        toolbar_->setGeometry(0, 0, width(), toolHeight);
        statusBar_->setGeometry(0, height() - statusHeight, width(), statusHeight);
        lsvItems_->setGeometry(ui::ToPixelsX(60), toolHeight, width() - ui::ToPixelsX(120),
                               height() - toolHeight - statusHeight);
    });
    CarryOn([this] { FitColumns(); });
}

void frmSecureConsole::FitColumns() {
    // A hidden report does not know its width yet; it is fitted when shown.
    if (lsvItems_->View() == ConsoleListView::kReport && lsvItems_->isVisible())
        FitListViewColumns(lsvItems_->Report());
}

bool frmSecureConsole::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                // The item under the pointer is the one chosen, whatever the
                // first click did.
                for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(lsvItems_->Icons()),
                                                static_cast<QAbstractItemView*>(lsvItems_->Report())}) {
                    if (watched != view->viewport()) continue;
                    const QModelIndex index =
                        view->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
                    if (index.isValid()) lsvItems_->SelectRow(index.row());
                }
                LaunchSelected();
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
                ShowPopUpMenu(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
                return true;
            }
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                LaunchSelected();
                return true;
            }
            break;
        }
        case QEvent::KeyRelease:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F5) {
                LoadData();
                return true;
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmSecureConsole::ShowPopUpMenu(const QPoint& globalPos) {
    mnuPopUp_->popup(globalPos, popUpItems_[0]);
}

bool frmSecureConsole::ItemSelected() const {
    return lsvItems_->Items()->rowCount() > 0 && lsvItems_->SelectedRow() >= 0;
}

void frmSecureConsole::SetLanguage() {
    setWindowTitle(QStringLiteral("Corvane Standard - ") + Message(170));
    popUpItems_[0]->setText(Message(398));
    popUpItems_[1]->setText(Message(107));
    popUpItems_[3]->setText(Message(25));
    BuildColumns();
}

void frmSecureConsole::BuildColumns() {
    lsvItems_->ClearColumns();
    lsvItems_->AddColumn(Message(309), 2000);
    lsvItems_->AddColumn(Message(49), 2500);
}

void frmSecureConsole::LoadData() {
    CarryOn([this] {
        if (lsvItems_->ColumnCount() == 0) BuildColumns();
    });
    lsvItems_->ClearRows();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<ConsoleItem> items;
    CarryOn([&] { items = ConsoleModel::BuildItems(SessionConsoleHost().Authenticated()); });
    for (const ConsoleItem& item : items) CarryOn([&] { AddItem(item); });
    CarryOn([this] { FitColumns(); });
    CarryOn([this] { RefreshStatusBar(); });
    QApplication::restoreOverrideCursor();
}

void frmSecureConsole::AddItem(const ConsoleItem& item) {
    QPair<int, int> pictures;
    if (item.tag == kTagProgram) {
        pictures = FilePictures(item.key);
    } else {
        const QString key = Q(item.pictureKey);
        pictures = {smallIcons_.Index(key), largeIcons_.Index(key)};
    }
    // One icon carrying both sizes: each view takes the size it shows.
    QIcon icon;
    const QIcon small = smallIcons_.Picture(pictures.first);
    const QIcon large = largeIcons_.Picture(pictures.second);
    if (!small.isNull()) icon.addPixmap(small.pixmap(16, 16));
    if (!large.isNull()) icon.addPixmap(large.pixmap(32, 32));

    QStandardItem* first = lsvItems_->AppendRow({Q(item.text), Q(item.description)}, icon);
    first->setData(Q(item.tag), kConsoleTagRole);
    first->setData(Q(item.key), kConsoleKeyRole);
    first->setData(Q(item.pictureKey), kConsolePictureKeyRole);
    first->setData(pictures.first, kConsoleSmallPictureRole);
    first->setData(pictures.second, kConsoleLargePictureRole);
}

QPair<int, int> frmSecureConsole::FilePictures(const std::string& path) {
    const QString file = Q(path);
    if (const auto it = filePictures_.constFind(file); it != filePictures_.constEnd()) return *it;
    const IconExtractor& extract = Extractor();
    const auto take = [&](ImageList& list) {
        int pixels = list.size;
        int position = 0;
        CarryOn([&] {
            position = extract ? extract(path, &list.icons, picBuffer_, pixels)
                               : ExtractIcon(path, &list.icons, picBuffer_, pixels);
        });
        // Each size on its own: a file may have one and not the other.
        return position == 0 ? kFallbackPicture : position;
    };
    const QPair<int, int> pictures{take(smallIcons_), take(largeIcons_)};
    filePictures_.insert(file, pictures);
    return pictures;
}

ConsoleItem frmSecureConsole::ItemAt(int row) const {
    const QStandardItemModel* model = lsvItems_->Items();
    const QStandardItem* first = model->item(row, 0);
    if (!first) return {};
    const QStandardItem* second = model->item(row, 1);
    return {first->text().toStdString(), second ? second->text().toStdString() : std::string(),
            first->data(kConsolePictureKeyRole).toString().toStdString(),
            first->data(kConsoleKeyRole).toString().toStdString(),
            first->data(kConsoleTagRole).toString().toStdString()};
}

void frmSecureConsole::RefreshStatusBar() {
    panels_[0]->setText(Q(ConsoleModel::ItemCountText(lsvItems_->Items()->rowCount())));
    panels_[1]->setText(Q(ConsoleModel::UserPanelText()));
    panels_[3]->setText(Q(ConsoleModel::ComputerPanelText()));
}

void frmSecureConsole::LaunchSelected() {
    std::optional<ConsoleItem> selected;
    if (ItemSelected()) selected = ItemAt(lsvItems_->SelectedRow());
    SessionConsoleHost host;
    // The launch may close this window (log-off, login); it is deleted only
    // once control is back in the event loop, and nothing here touches it
    // afterwards.
    ConsoleModel::Launch(host, selected ? &*selected : nullptr);
}

void frmSecureConsole::RunSelectedProgram() {
    if (!ItemSelected()) return;
    ConsoleModel::RunSelectedProgram(ItemAt(lsvItems_->SelectedRow()).key);
}

void frmSecureConsole::ApplyNoCancel() {
    if (!gCannotCancelSecureConsole) return;
    buttons_[8]->setVisible(false);
    // Its separator would trail behind Help with nothing after it.
    buttons_[7]->setVisible(false);
    DisableCloseButton(this);
}

void frmSecureConsole::RestoreFormMetrics() {
    ui::FormMetricsValues current;
    current.height = ui::ToTwipsY(height());
    current.width = ui::ToTwipsX(width());
    current.top = ui::ToTwipsY(pos().y());
    current.left = ui::ToTwipsX(pos().x());
    const StoredConsoleMetrics stored = ReadConsoleMetrics(kFormName, lsvItems_->View(), current);
    firstOpening_ = stored.firstOpening;
    if (stored.listView) lsvItems_->SetView(*stored.listView);
    const QSize size(stored.width ? ui::ToPixelsX(*stored.width) : width(),
                     stored.height ? ui::ToPixelsY(*stored.height) : height());
    if (size.width() > 0 && size.height() > 0) resize(size);
    const QPoint saved(stored.left ? ui::ToPixelsX(*stored.left) : x(), stored.top ? ui::ToPixelsY(*stored.top) : y());
    // A place saved on a screen that is gone is pulled back onto one.
    move(firstOpening_ ? saved : OnAvailableScreen(this, saved));
    KeepOnScreen(this);
    // Where the console cannot be closed it always opens in its normal state.
    if (gCannotCancelSecureConsole || !stored.windowState) return;
    Qt::WindowStates state = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (*stored.windowState == 1) state |= Qt::WindowMinimized;
    if (*stored.windowState == 2) state |= Qt::WindowMaximized;
    setWindowState(state);
}

void frmSecureConsole::SaveFormMetrics() {
    if (metricsSaved_) return;
    metricsSaved_ = true;
    CarryOn([this] {
        const bool normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
        const QPoint frameOffset = geometry().topLeft() - pos();
        const QRect client = normal ? geometry() : normalGeometry();
        const QPoint topLeft = normal ? pos() : client.topLeft() - frameOffset;
        ui::FormMetricsValues v;
        v.height = ui::ToTwipsY(client.height());
        v.width = ui::ToTwipsX(client.width());
        v.top = ui::ToTwipsY(topLeft.y());
        v.left = ui::ToTwipsX(topLeft.x());
        v.windowState = windowState() & Qt::WindowMinimized ? 1 : windowState() & Qt::WindowMaximized ? 2 : 0;
        WriteConsoleMetrics(kFormName, lsvItems_->View(), v);
    });
}

}  // namespace corvane
