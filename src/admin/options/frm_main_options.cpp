#include "admin/options/frm_main_options.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "admin/options/flag_pictures.h"
#include "admin/options/frm_directory.h"
#include "admin/options/lockdown_truth.h"
#include "admin/options/option_texts.h"
#include "lockdown/lockdown_options.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_globals.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "session/shell/start_up_with_windows.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/off_taskbar.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {
namespace {

using options::Message;

constexpr int kErrInvalidPropertyValue = 380;
// The lockdown options that take away the desktop, the task bar and the Start button.
constexpr std::int32_t kConsoleLockdowns[] = {5, 20, 21};

bool Ticked(const QCheckBox* box) { return box->checkState() == Qt::Checked; }

QCheckBox* NewCheck(QWidget* parent, const char* name, const char* text) {
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* text) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

frmMainOptions::frmMainOptions(QWidget* parent) : QDialog(parent) {
    setObjectName("frmMainOptions");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Options"));
    KeepOffTaskbar(this);
    auto* layout = new QVBoxLayout(this);
    tabOptions_ = new QTabWidget(this);
    tabOptions_->setObjectName("tabOptions");
    tabOptions_->addTab(BuildGeneralTab(), QStringLiteral("General"));
    tabOptions_->addTab(BuildFilesTab(), QStringLiteral("Files"));
    tabOptions_->addTab(BuildLanguageTab(), QStringLiteral("Language"));
    layout->addWidget(tabOptions_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOK_ = NewButton(this, "cmdOK", "OK");
    cmdOK_->setDefault(true);
    cmdCancel_ = NewButton(this, "cmdCancel", "Cancel");
    cmdApply_ = NewButton(this, "cmdApply", "Apply");
    for (auto* b : {cmdOK_, cmdCancel_, cmdApply_}) buttons->addWidget(b);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        SaveSettings();
        hide();
    });
    connect(cmdApply_, &QPushButton::clicked, this, [this] {
        if (isDirty_) SaveSettings();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        hide();
    });
    // Ctrl+Tab turns the page wherever the focus is.
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    nextTab->setContext(Qt::WindowShortcut);
    connect(nextTab, &QShortcut::activated, this, &frmMainOptions::NextTab);

    formLoad_ = true;
    InitialiseOptions();
    SetIsDirty(false);
}

QWidget* frmMainOptions::BuildGeneralTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    fraStartUp_ = new QGroupBox(QStringLiteral("Startup"), page);
    fraStartUp_->setObjectName("fraStartUp");
    auto* startUp = new QVBoxLayout(fraStartUp_);
    chkRequireLogin_ = NewCheck(fraStartUp_, "chkRequireLogin", "All Users And Groups Are Required To Login.");
    chkStartWithWindows_ = NewCheck(fraStartUp_, "chkStartWithWindows", "Start With Windows");
    chkAlwaysShowSecureConsole_ = NewCheck(fraStartUp_, "chkAlwaysShowSecureConsole", "Always show Secure console");
    for (auto* box : {chkRequireLogin_, chkStartWithWindows_, chkAlwaysShowSecureConsole_}) startUp->addWidget(box);
    column->addWidget(fraStartUp_);

    fraLoginOptions_ = new QGroupBox(QStringLiteral("Login Options"), page);
    fraLoginOptions_->setObjectName("fraLoginOptions");
    auto* login = new QGridLayout(fraLoginOptions_);
    chkActionAfterLogout_ = NewCheck(fraLoginOptions_, "chkActionAfterLogout", "Use Logout options");
    cboLogoutAction_ = new QComboBox(fraLoginOptions_);
    cboLogoutAction_->setObjectName("cboLogoutAction");
    chkRememberLastLogin_ = NewCheck(fraLoginOptions_, "chkRememberLastLogin", "Remember Last User Login");
    chkLoginAlwaysOnTop_ = NewCheck(fraLoginOptions_, "chkLoginAlwaysOnTop", "Login Always On Top");
    chkHideDesktopDuringLogin_ = NewCheck(fraLoginOptions_, "chkHideDesktopDuringLogin", "Hide Desktop during Login");
    chkCannotCancelLogin_ = NewCheck(fraLoginOptions_, "chkCannotCancelLogin", "Users Cannot Cancel Login");
    cmdSelectAllLoginOptions_ = NewButton(fraLoginOptions_, "cmdSelectAllLoginOptions", "Select All");
    cmdUnSelectAllLoginOptions_ = NewButton(fraLoginOptions_, "cmdUnSelectAllLoginOptions", "Clear All");
    login->addWidget(chkActionAfterLogout_, 0, 0);
    login->addWidget(cboLogoutAction_, 0, 1);
    login->addWidget(chkRememberLastLogin_, 1, 0, 1, 2);
    login->addWidget(chkLoginAlwaysOnTop_, 2, 0, 1, 2);
    login->addWidget(chkHideDesktopDuringLogin_, 3, 0, 1, 2);
    login->addWidget(chkCannotCancelLogin_, 4, 0, 1, 2);
    auto* selection = new QHBoxLayout;
    selection->addStretch(1);
    selection->addWidget(cmdSelectAllLoginOptions_);
    selection->addWidget(cmdUnSelectAllLoginOptions_);
    login->addLayout(selection, 5, 0, 1, 2);
    column->addWidget(fraLoginOptions_);
    column->addStretch(1);

    // Loading sets the boxes from code: only a real change counts, so a box
    // loaded as it already stood leaves the window clean.
    for (auto* box : {chkRequireLogin_, chkStartWithWindows_, chkAlwaysShowSecureConsole_, chkActionAfterLogout_,
                      chkRememberLastLogin_, chkLoginAlwaysOnTop_, chkHideDesktopDuringLogin_, chkCannotCancelLogin_})
        connect(box, &QCheckBox::toggled, this, [this] { SetIsDirty(true); });
    connect(chkRequireLogin_, &QCheckBox::toggled, this, [this] { EnableLoginOptions(); });
    connect(chkActionAfterLogout_, &QCheckBox::toggled, this,
            [this] { cboLogoutAction_->setEnabled(Ticked(chkActionAfterLogout_)); });
    connect(cboLogoutAction_, &QComboBox::currentIndexChanged, this, [this] { SetIsDirty(true); });
    connect(cmdSelectAllLoginOptions_, &QPushButton::clicked, this, [this] {
        SetIsDirty(true);
        SetLoginOptions(true);
    });
    connect(cmdUnSelectAllLoginOptions_, &QPushButton::clicked, this, [this] {
        SetIsDirty(true);
        SetLoginOptions(false);
    });
    return page;
}

QWidget* frmMainOptions::BuildFilesTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    lblPath_ = new QLabel(QStringLiteral("Location to Security Files:"), page);
    lblPath_->setObjectName("lblPath");
    column->addWidget(lblPath_);
    auto* row = new QHBoxLayout;
    txtDataPath_ = new QLineEdit(page);
    txtDataPath_->setObjectName("txtDataPath");
    txtDataPath_->setReadOnly(true);
    txtDataPath_->installEventFilter(this);
    cmdPathName_ = NewButton(page, "cmdPathName", "...");
    cmdPathName_->setFixedWidth(cmdPathName_->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    row->addWidget(txtDataPath_, 1);
    row->addWidget(cmdPathName_);
    column->addLayout(row);
    column->addStretch(1);
    connect(cmdPathName_, &QPushButton::clicked, this, &frmMainOptions::ChoosePath);
    return page;
}

QWidget* frmMainOptions::BuildLanguageTab() {
    static const char* const kLanguages[] = {"US English", "UK English", "French", "German", "Italian", "Spanish"};
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    lblLanguage_ = new QLabel(QStringLiteral("Language:"), page);
    lblLanguage_->setObjectName("lblLanguage");
    grid->addWidget(lblLanguage_, 0, 0, 1, 2);
    for (int i = 0; i < 6; ++i) {
        picFlag_[i] = new QLabel(page);
        picFlag_[i]->setObjectName(QStringLiteral("picFlag%1").arg(i));
        picFlag_[i]->setPixmap(options::FlagPicture(i));
        picFlag_[i]->installEventFilter(this);
        optLanguage_[i] = new QRadioButton(QString::fromLatin1(kLanguages[i]), page);
        optLanguage_[i]->setObjectName(QStringLiteral("optLanguage%1").arg(i));
        connect(optLanguage_[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on) SetIsDirty(true);
        });
        grid->addWidget(picFlag_[i], i + 1, 0);
        grid->addWidget(optLanguage_[i], i + 1, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(7, 1);
    return page;
}

void frmMainOptions::SetIsDirty(bool value) {
    isDirty_ = value;
    cmdApply_->setEnabled(value);
}

void frmMainOptions::InitialiseOptions() {
    tabOptions_->setCurrentIndex(0);
    tabOptions_->setTabEnabled(2, false);
    tabOptions_->setTabEnabled(1, true);
    const QSignalBlocker quiet(cboLogoutAction_);
    cboLogoutAction_->clear();
    cboLogoutAction_->addItems({"<" + Message(388) + ">", Message(418), Message(419)});
    cboLogoutAction_->setCurrentIndex(-1);
}

void frmMainOptions::SetLanguage() { ApplyLanguage(); }

void frmMainOptions::ApplyLanguage() {
    setWindowTitle(Message(20));
    tabOptions_->setTabText(0, Message(45));
    tabOptions_->setTabText(1, Message(244));
    tabOptions_->setTabText(2, Message(413));
    cmdOK_->setText(options::UpperMessage(33));
    cmdCancel_->setText(Message(25));
    cmdApply_->setText(Message(34));
    cmdSelectAllLoginOptions_->setText(Message(43));
    cmdUnSelectAllLoginOptions_->setText(Message(414));
    fraLoginOptions_->setTitle(Message(247));
    chkStartWithWindows_->setText(Message(605));
    chkRequireLogin_->setText(Message(543));
    chkAlwaysShowSecureConsole_->setText(Message(606));
    chkRememberLastLogin_->setText(Message(542));
    chkLoginAlwaysOnTop_->setText(Message(544));
    chkCannotCancelLogin_->setText(Message(545));
    chkHideDesktopDuringLogin_->setText(Message(548));
    chkActionAfterLogout_->setText(Message(607));
    lblLanguage_->setText(Message(413) + ":");
}

void frmMainOptions::LoadSettings() {
    BusyPointer busy;
    RunTrapped("frmMainOptions.LoadSettings", {
        [this] { chkAlwaysShowSecureConsole_->setChecked(gAlwaysShowSecureConsole); },
        [this] { chkRememberLastLogin_->setChecked(gRememberLastLogin); },
        [this] { chkCannotCancelLogin_->setChecked(gCannotCancelLogin); },
        [this] { chkLoginAlwaysOnTop_->setChecked(gLoginAlwaysOnTop); },
        [this] { chkStartWithWindows_->setChecked(gStartUpWithWindows); },
        [this] { chkRequireLogin_->setChecked(gRequireLogin); },
        [this] { chkHideDesktopDuringLogin_->setChecked(gHideDesktopDuringLogin); },
        [this] { chkActionAfterLogout_->setChecked(gActionAfterLogout); },
        [this] { cboLogoutAction_->setEnabled(Ticked(chkActionAfterLogout_)); },
        [this] {
            // The list itself would quietly show nothing for a value it does not hold.
            if (gLogoutAction < -1 || gLogoutAction >= cboLogoutAction_->count())
                throw RaisedError(kErrInvalidPropertyValue, "frmMainOptions", "Invalid property value");
            cboLogoutAction_->setCurrentIndex(gLogoutAction);
        },
        [this] { txtDataPath_->setText(QString::fromStdString(gDataPath)); },
        [this] { EnableLoginOptions(); },
        [this] { ApplySecureConsoleLockdown(); },
        [this] { SetIsDirty(false); },
    });
}

void frmMainOptions::SaveSettings() {
    setCursor(Qt::WaitCursor);
    RunTrapped("frmMainOptions.SaveSettings", {
        [this] { gAlwaysShowSecureConsole = Ticked(chkAlwaysShowSecureConsole_); },
        [this] { gStartUpWithWindows = Ticked(chkStartWithWindows_); },
        [] { SetStartUpWithWindows(gStartUpWithWindows); },
        [this] { gRequireLogin = Ticked(chkRequireLogin_); },
        [this] { gActionAfterLogout = Ticked(chkActionAfterLogout_); },
        [this] { gLogoutAction = cboLogoutAction_->currentIndex(); },
        [this] { gCannotCancelLogin = Ticked(chkCannotCancelLogin_); },
        [this] { gLoginAlwaysOnTop = Ticked(chkLoginAlwaysOnTop_); },
        [this] { gHideDesktopDuringLogin = Ticked(chkHideDesktopDuringLogin_); },
        [this] { gRememberLastLogin = Ticked(chkRememberLastLogin_); },
        [this] { gDataPath = std::string(text::TrimSpaces(txtDataPath_->text().toStdString())); },
        [] { SaveGlobalSettings(); },
        [this] { SetIsDirty(false); },
    });
    unsetCursor();
}

void frmMainOptions::EnableLoginOptions() {
    const bool on = Ticked(chkRequireLogin_);
    for (QWidget* w : std::initializer_list<QWidget*>{
             fraLoginOptions_, chkRememberLastLogin_, chkLoginAlwaysOnTop_, chkCannotCancelLogin_,
             chkHideDesktopDuringLogin_, cmdSelectAllLoginOptions_, cmdUnSelectAllLoginOptions_,
             chkActionAfterLogout_, cboLogoutAction_})
        w->setEnabled(on);
}

void frmMainOptions::SetLoginOptions(bool on) {
    for (auto* box : {chkRememberLastLogin_, chkLoginAlwaysOnTop_, chkCannotCancelLogin_, chkHideDesktopDuringLogin_,
                      chkActionAfterLogout_})
        box->setChecked(on);
    cboLogoutAction_->setEnabled(on);
}

void frmMainOptions::ApplySecureConsoleLockdown() {
    bool any = false;
    for (const std::int32_t option : kConsoleLockdowns)
        if (options::LockdownTextIsOn(GetLockdownOptionText(option))) any = true;
    if (!any) return;
    chkAlwaysShowSecureConsole_->setChecked(true);
    chkAlwaysShowSecureConsole_->setEnabled(false);
}

void frmMainOptions::ApplyStartupLockdown() {
    if (!gAnyLockdownOptionsSet) return;
    chkStartWithWindows_->setChecked(true);
    chkStartWithWindows_->setEnabled(false);
    SetStartUpWithWindows(true);
}

void frmMainOptions::ChoosePath() {
    QPointer<frmDirectory> picker;
    RunIgnoringErrors({
        [this] { SetIsDirty(true); },
        [&] { picker = new frmDirectory(this); },
        [&] { picker->SetNewCaption(Message(555)); },
        [&] { picker->SetPath(txtDataPath_->text()); },
        [&] { picker->exec(); },
        [&] {
            if (picker && !picker->Cancelled()) txtDataPath_->setText(picker->Path());
        },
        [&] { delete picker; },
    });
}

void frmMainOptions::NextTab() {
    const int count = tabOptions_->count();
    int next = tabOptions_->currentIndex();
    for (int step = 0; step < count; ++step) {
        next = (next + 1) % count;
        if (tabOptions_->isTabEnabled(next)) break;
    }
    tabOptions_->setCurrentIndex(next);
}

bool frmMainOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtDataPath_ && event->type() == QEvent::FocusIn) {
        SelectAllTextAfterFocus(txtDataPath_);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 6; ++i)
            if (watched == picFlag_[i]) optLanguage_[i]->setChecked(true);
    }
    return QDialog::eventFilter(watched, event);
}

void frmMainOptions::reject() {
    cancelled_ = true;
    hide();
}

void frmMainOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (formLoad_) {
        CenterForm(this);
        QTimer::singleShot(0, this, [this] { Activate(); });
    }
}

void frmMainOptions::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Activate();
}

void frmMainOptions::Activate() {
    if (!formLoad_) return;
    formLoad_ = false;
    SetLanguage();
    LoadSettings();
    ApplyStartupLockdown();
}

}  // namespace corvane
