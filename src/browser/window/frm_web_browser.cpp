#include "browser/window/frm_web_browser.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

#include "browser/window/engine_browser_control.h"
#include "messages/message_catalogue.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/system/process_spawn.h"
#include "session/launchers/launchers.h"
#include "session/launchers/window_factories.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui/helpers/window_metrics.h"
#include "ui_core/help.h"

namespace corvane {
namespace {

BrowserControlFactory& Factory() {
    static BrowserControlFactory factory;
    return factory;
}

BrowserControlParts EngineParts(QWidget* parent) {
    auto* control = new EngineBrowserControl(parent);
    return {control, control};
}

QString Message(int number) { return QString::fromStdString(GetMessageText(number, gLanguage)); }

// The tool bar's buttons: key, caption message, picture.
struct ToolButton {
    const char* key;
    int message;
    QStyle::StandardPixmap icon;
};
constexpr ToolButton kToolButtons[] = {
    {"Back", 39, QStyle::SP_ArrowBack},         {"Forward", 235, QStyle::SP_ArrowForward},
    {"Stop", 236, QStyle::SP_BrowserStop},      {"Refresh", 107, QStyle::SP_BrowserReload},
    {"Home", 237, QStyle::SP_DirHomeIcon},      {"Search", 187, QStyle::SP_FileDialogContentsView},
    {"Print", 4, QStyle::SP_FileDialogDetailedView}, {"Help", 58, QStyle::SP_DialogHelpButton},
    {"Exit", 23, QStyle::SP_DialogCloseButton},
};

// Menu items by index; 0 marks a separator.
constexpr int kFileItems[] = {8, 9, 0, 7, 4, 0, 23};
constexpr int kEditItems[] = {11, 12, 13, 0, 43, 0, 126};
constexpr int kHelpItems[] = {185, 186, 187, 188, 0, 189, 190, 193, 0, 191, 192};
enum HelpItem { kContents, kIndex, kSearch, kFavorites, kReadMe = 5, kSupport, kMakerWeb, kTip = 9, kAbout };

// Layout sizes in twips.
constexpr double kLabelLeft = 60, kLabelWidth = 1000, kBoxLeft = 1000, kGoWidth = 750, kMargin = 60;

void ShowModalWindow(const char* objectName) {
    QPointer<QWidget> window;
    RunIgnoringErrors({
        [&] { window = CreateWindow(QString::fromLatin1(objectName)); },
        [&] { ShowModal(window); },
        [&] { UnloadWindow(window); },
    });
}

}  // namespace

BrowserControlFactory SetBrowserControlFactory(BrowserControlFactory factory) {
    return std::exchange(Factory(), std::move(factory));
}

frmWebBrowser::frmWebBrowser(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmWebBrowser"));
    setWindowTitle(QStringLiteral("Web Browser"));
    resize(ui::ToPixelsX(12000), ui::ToPixelsY(8400));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("fraClient"));
    setCentralWidget(client);

    picAddress_ = new QWidget(client);
    picAddress_->setObjectName(QStringLiteral("picAddress"));
    lblAddress_ = new QLabel(QStringLiteral("Address:"), picAddress_);
    lblAddress_->setObjectName(QStringLiteral("lblAddress"));
    cboAddress_ = new QComboBox(picAddress_);
    cboAddress_->setObjectName(QStringLiteral("cboAddress"));
    cboAddress_->setEditable(true);
    cboAddress_->setInsertPolicy(QComboBox::NoInsert);
    // The box runs exactly what was typed, once: nothing completes it from the list, and leaving
    // it is no command (the box would otherwise pick the entry equal to its text and raise
    // another activation after Enter already ran it).
    cboAddress_->setCompleter(nullptr);
    disconnect(cboAddress_->lineEdit(), &QLineEdit::editingFinished, cboAddress_, nullptr);
    // Typed keys reach the box itself, which hands them to its line edit without filters.
    cboAddress_->installEventFilter(this);
    cboAddress_->lineEdit()->installEventFilter(this);
    tblGo_ = new QToolBar(picAddress_);
    tblGo_->setObjectName(QStringLiteral("tblGo"));
    tblGo_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    goButton_ = tblGo_->addAction(style()->standardIcon(QStyle::SP_CommandLink), QStringLiteral("Go"));
    goButton_->setObjectName(QStringLiteral("Go"));
    goButton_->setToolTip(QStringLiteral("Go"));
    picAddress_->setFixedHeight(cboAddress_->sizeHint().height() + 6);

    const BrowserControlParts parts = (Factory() ? Factory() : EngineParts)(client);
    widgetOfControl_ = parts.widget;
    control_ = parts.control;
    widgetOfControl_->setParent(client);
    controller_ = std::make_unique<BrowserController>(*this, *control_);
    client->installEventFilter(this);

    timTimer_ = new QTimer(this);
    timTimer_->setObjectName(QStringLiteral("timTimer"));
    timTimer_->setInterval(5);
    connect(timTimer_, &QTimer::timeout, this, [this] { controller_->timTimer_Timer(); });

    BuildToolBar();
    BuildMenus();
    BuildStatusBar();
    connect(cboAddress_, &QComboBox::activated, this, [this] { controller_->cboAddress_Click(); });
    connect(goButton_, &QAction::triggered, this, [this] { controller_->tblGo_ButtonClick(); });

    controller_->Form_Load();
}

frmWebBrowser::~frmWebBrowser() {
    // The controller lets go of the control before the control goes with the window.
    controller_.reset();
}

void frmWebBrowser::BuildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("ToolBar"));
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolButton& b : kToolButtons) {
        QAction* action = toolBar_->addAction(style()->standardIcon(b.icon), QString::fromLatin1(b.key));
        action->setObjectName(QString::fromLatin1(b.key));
        action->setToolTip(QString::fromLatin1(b.key));
        const std::string key = b.key;
        connect(action, &QAction::triggered, this, [this, key] { controller_->ToolBar_ButtonClick(key); });
    }
}

void frmWebBrowser::BuildMenus() {
    auto build = [this](const char* name, const auto& items, QList<QAction*>& array, auto click) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(name));
        menu->setObjectName(QString::fromLatin1(name));
        int index = 0;
        for (int message : items) {
            QAction* action = message ? menu->addAction(Message(message)) : menu->addSeparator();
            action->setObjectName(QStringLiteral("%1Item%2").arg(QString::fromLatin1(name)).arg(index));
            array.append(action);
            if (message) connect(action, &QAction::triggered, this, [this, click, index] { (this->*click)(index); });
            ++index;
        }
        return menu;
    };
    mnuFile_ = build("mnuFile", kFileItems, mnuFileItem_, &frmWebBrowser::mnuFileItem_Click);
    mnuEdit_ = build("mnuEdit", kEditItems, mnuEditItem_, &frmWebBrowser::mnuEditItem_Click);
    mnuHelp_ = build("mnuHelp", kHelpItems, mnuHelpItem_, &frmWebBrowser::mnuHelpItem_Click);
    mnuEditItem_[4]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuEditItem_[6]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
}

void frmWebBrowser::BuildStatusBar() {
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panels_[i]->setContentsMargins(4, 0, 4, 0);
    }
    picPadlock_ = new QLabel(this);
    picPadlock_->setObjectName(QStringLiteral("picPadlock"));
    picPadlock_->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16));
    picPadlock_->setToolTip(QStringLiteral("Secure"));
    picPadlock_->hide();
    statusBar()->addWidget(panels_[0], 1);
    statusBar()->addWidget(panels_[1]);
    statusBar()->addWidget(panels_[2]);
    statusBar()->addPermanentWidget(picPadlock_);
    statusBar()->addPermanentWidget(panels_[3]);
}

void frmWebBrowser::ShowStatus(const std::string& text) {
    const auto texts = BrowserStatusPanels(text);
    panels_[0]->setText(QString::fromStdString(texts[0]));
    panels_[1]->setText(QString::fromStdString(texts[1]));
    panels_[3]->setText(QString::fromStdString(texts[2]));
}

void frmWebBrowser::SetLanguage() {
    RunIgnoringErrors({
        [&] { setWindowTitle(Message(168)); },
        [&] { lblAddress_->setText(Message(89) + QLatin1Char(':')); },
        [&] { mnuFile_->setTitle(Message(0)); },
        [&] { mnuEdit_->setTitle(Message(2)); },
        [&] { mnuHelp_->setTitle(Message(58)); },
        [&] {
            const auto caption = [](QList<QAction*>& items, const auto& messages) {
                for (int i = 0; i < items.size(); ++i)
                    if (messages[i]) items[i]->setText(Message(messages[i]));
            };
            caption(mnuFileItem_, kFileItems);
            caption(mnuEditItem_, kEditItems);
            caption(mnuHelpItem_, kHelpItems);
        },
        [&] { goButton_->setText(Message(234)); },
    });
    const QList<QAction*> buttons = toolBar_->actions();
    for (int i = 0; i < buttons.size(); ++i) {
        RunIgnoringErrors({
            [&] { buttons[i]->setText(Message(kToolButtons[i].message)); },
            // On the button itself: an action with no tool tip of its own shows its text.
            [&] {
                toolBar_->widgetForAction(buttons[i])
                    ->setToolTip(gShowToolTips ? Message(kToolButtons[i].message) : QString());
            },
        });
    }
    // The Go button keeps its own tool tip when tool tips are off.
    if (gShowToolTips) RunIgnoringErrors({[&] { tblGo_->widgetForAction(goButton_)->setToolTip(Message(234)); }});
}

void frmWebBrowser::Form_Resize() {
    const double inner = ui::ToTwipsX(centralWidget()->width());
    const double innerHeight = ui::ToTwipsY(centralWidget()->height() + statusBar()->height());
    picAddress_->setGeometry(0, 0, centralWidget()->width(), picAddress_->height());
    const int rowHeight = cboAddress_->sizeHint().height();
    const int rowTop = (picAddress_->height() - rowHeight) / 2;
    lblAddress_->setGeometry(ui::ToPixelsX(kLabelLeft), rowTop, ui::ToPixelsX(kLabelWidth), rowHeight);
    const double boxWidth = inner - (kGoWidth + kLabelLeft + kLabelWidth);
    // Too narrow for the box: it keeps its width, the rest still moves.
    if (boxWidth > 0) cboAddress_->setGeometry(ui::ToPixelsX(kBoxLeft), rowTop, ui::ToPixelsX(boxWidth), rowHeight);
    else cboAddress_->move(ui::ToPixelsX(kBoxLeft), rowTop);
    tblGo_->setGeometry(cboAddress_->geometry().right() + 1 + ui::ToPixelsX(kMargin), rowTop,
                        ui::ToPixelsX(kGoWidth), rowHeight);
    const int top = picAddress_->geometry().bottom() + 1;
    const double height = innerHeight - ui::ToTwipsY(statusBar()->height() + top) - 100;
    widgetOfControl_->setGeometry(ui::ToPixelsX(kMargin), top, std::max(0, ui::ToPixelsX(inner - 120)),
                                  std::max(0, ui::ToPixelsY(height)));
}

void frmWebBrowser::mnuFileItem_Click(int index) {
    static constexpr OleCommandId kCommands[] = {OLECMDID_SAVE, OLECMDID_SAVEAS, OLECMDID_SAVE, OLECMDID_PAGESETUP,
                                                 OLECMDID_PRINT};
    if (index == 6) {
        CloseWindow();
        return;
    }
    if (index < 0 || index > 4 || index == 2) return;
    RunIgnoringErrors({[&] { control_->ExecWB(kCommands[index], OLECMDEXECOPT_PROMPTUSER); }});
}

void frmWebBrowser::mnuEditItem_Click(int index) {
    struct Command {
        int index;
        OleCommandId id;
        OleCommandOption option;
    };
    static constexpr Command kCommands[] = {
        {0, OLECMDID_CUT, OLECMDEXECOPT_DODEFAULT},       {1, OLECMDID_COPY, OLECMDEXECOPT_DODEFAULT},
        {2, OLECMDID_PASTE, OLECMDEXECOPT_DODEFAULT},     {4, OLECMDID_SELECTALL, OLECMDEXECOPT_DODEFAULT},
        {6, OLECMDID_FIND, OLECMDEXECOPT_PROMPTUSER},
    };
    for (const Command& c : kCommands)
        if (c.index == index) RunIgnoringErrors({[&] { control_->ExecWB(c.id, c.option); }});
}

void frmWebBrowser::mnuHelpItem_Click(int index) {
    std::string helpPath;
    std::string folder;
    RunIgnoringErrors({
        [&] { folder = environment::ProgramFolder(); },
        [&] { helpPath = folder + "/" + kHelpFileName; },
        [&] {
            switch (index) {
            case kContents:
            case kIndex:
            case kSearch:
            case kFavorites:
                if (std::filesystem::exists(helpPath)) ShowHelpFile(helpPath);
                break;
            case kReadMe: {
                // The path goes to the desktop's opener as one argument, whatever it holds.
                const std::string readMe = folder + "/Readme.txt";
                if (std::filesystem::exists(readMe)) OpenWithDesktop(readMe);
                break;
            }
            case kSupport: ShowWebBrowserAt(kMakerSupportAddress); break;
            case kMakerWeb: ShowWebBrowserAt(kMakerHomeAddress); break;
            case kTip: ShowModalWindow("frmTip"); break;
            case kAbout: ShowModalWindow("frmAbout"); break;
            default: break;
            }
        },
    });
}

std::string frmWebBrowser::AddressText() const { return cboAddress_->currentText().toStdString(); }
void frmWebBrowser::SetAddressText(const std::string& text) {
    cboAddress_->setEditText(QString::fromStdString(text));
}
int frmWebBrowser::AddressCount() const { return cboAddress_->count(); }
std::string frmWebBrowser::AddressItem(int index) const { return cboAddress_->itemText(index).toStdString(); }
void frmWebBrowser::ClearAddresses() {
    const QString text = cboAddress_->currentText();
    cboAddress_->clear();
    cboAddress_->setEditText(text);
}
void frmWebBrowser::InsertAddress(int index, const std::string& text) {
    const QString typed = cboAddress_->currentText();
    cboAddress_->insertItem(index, QString::fromStdString(text));
    cboAddress_->setEditText(typed);
}
void frmWebBrowser::RemoveAddress(int index) {
    const QString typed = cboAddress_->currentText();
    cboAddress_->removeItem(index);
    cboAddress_->setEditText(typed);
}
void frmWebBrowser::SelectAddress(int index) { cboAddress_->setCurrentIndex(index); }
void frmWebBrowser::FocusAddress() { cboAddress_->setFocus(); }
void frmWebBrowser::SelectAddressText() { SelectAllText(cboAddress_); }
void frmWebBrowser::SetCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }
void frmWebBrowser::SetPadlock(bool shown) { picPadlock_->setVisible(shown); }
void frmWebBrowser::SetBusyTimer(bool enabled) {
    if (enabled) timTimer_->start();
    else timTimer_->stop();
}
void frmWebBrowser::SetWaitCursor(bool wait) {
    if (wait == waitCursor_) return;
    waitCursor_ = wait;
    if (wait) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}
void frmWebBrowser::RefreshToolBar() { toolBar_->update(); }
void frmWebBrowser::LoadFormMetrics() { corvane::LoadFormMetrics(this); }
void frmWebBrowser::SaveFormMetrics() { corvane::SaveFormMetrics(this); }

BrowserController* frmWebBrowser::CreateBrowserWindow() {
    auto* child = new frmWebBrowser;
    return &child->Controller();
}

void frmWebBrowser::ShowWindow() { ShowModeless(this); }
void frmWebBrowser::CloseWindow() { close(); }
// Queued on the window, so the call is dropped with it.
void frmWebBrowser::RunLater(std::function<void()> work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

bool frmWebBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        Form_Resize();
        return false;
    }
    if (watched != cboAddress_ && watched != cboAddress_->lineEdit()) return false;
    if (event->type() == QEvent::FocusIn) {
        controller_->cboAddress_GotFocus();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        controller_->cboAddress_KeyPress(13);
        return true;
    }
    int ascii = 0;
    if (key->key() == Qt::Key_Backspace) ascii = 8;
    else if (key->key() == Qt::Key_Delete) ascii = 127;
    else if (!key->text().isEmpty()) ascii = key->text().at(0).unicode();
    return ascii != 0 && !controller_->cboAddress_KeyPress(ascii);
}

void frmWebBrowser::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Form_Resize();
    if (shownOnce_) return;
    shownOnce_ = true;
    controller_->Form_Activate();
}

void frmWebBrowser::closeEvent(QCloseEvent* event) {
    timTimer_->stop();
    SetWaitCursor(false);
    controller_->Form_Unload();
    event->accept();
}

}  // namespace corvane
