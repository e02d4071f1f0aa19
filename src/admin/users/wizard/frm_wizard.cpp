#include "admin/users/wizard/frm_wizard.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "admin/users/wizard/account_creation.h"
#include "admin/users/wizard/record_text.h"
#include "admin/users/wizard/user_pictures.h"
#include "logs/current_user.h"
#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "session/login/login_boxes.h"
#include "session/rules/session_queries.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/ole_color.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr double kWidth = 7200;
constexpr double kHeight = 5400;
constexpr double kBannerHeight = 900;
constexpr double kNavHeight = 600;
constexpr double kStepLeft = 2000;
constexpr double kStepsWidth = 1950;
constexpr double kParkedLeft = -10000;
constexpr double kStepTop = 1000;
constexpr double kStepWidth = 5000;
constexpr double kStepHeight = 3500;
constexpr std::int32_t kActiveBorder = static_cast<std::int32_t>(0x8000000A);
const QColor kStepsBackground(58, 74, 104);

QString Text(int message, const char* before = "", const char* after = "") {
    return QString::fromLatin1(before) + QString::fromStdString(GetMessageText(message, gLanguage)) +
           QString::fromLatin1(after);
}

std::string Trimmed(const QString& text) { return text::Trim(text.toStdString()); }

QLabel* NewLabel(QWidget* parent, const char* name, const ui::TwipsRect& at, bool wrap = false) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(ui::ToPixels(at));
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | (wrap ? Qt::AlignTop : Qt::AlignVCenter));
    return label;
}

QLineEdit* NewBox(QWidget* parent, const char* name, const ui::TwipsRect& at, int maxLength, bool password = false) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(ui::ToPixels(at));
    box->setMaxLength(maxLength);
    box->setValidator(new RecordTextValidator(box));
    if (password) {
        box->setEchoMode(QLineEdit::Password);
        box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    }
    return box;
}

QFont Bold(QFont font, bool bold = true) {
    font.setBold(bold);
    return font;
}

}  // namespace

frmWizard::frmWizard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWizard"));
    setFixedSize(ui::ToPixels(kWidth, kHeight));
    BuildControls();
    DisableCloseButton(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The load step.
    FormLoad = true;
    RunIgnoringErrors({[this] { InitSteps(); }, [this] { cmdNav_[0]->hide(); }});
    FinishEnabled = false;
    UpdateWizardButtons(CurrentStep);
    Layout();
}

void frmWizard::BuildControls() {
    picBanner_ = new QWidget(this);
    picBanner_->setObjectName(QStringLiteral("picBanner"));
    picBanner_->setAutoFillBackground(true);
    QPalette banner = picBanner_->palette();
    banner.setColor(QPalette::Window, Qt::white);
    banner.setColor(QPalette::WindowText, Qt::black);
    picBanner_->setPalette(banner);
    lblCaption_ = NewLabel(picBanner_, "lblCaption", {240, 120, 5400, 300});
    lblCaption_->setFont(Bold(font()));
    lblInfoText_ = NewLabel(picBanner_, "lblInfoText", {480, 390, 5700, 480}, true);
    picIcon_ = NewLabel(picBanner_, "picIcon", {0, 120, 720, 720});
    picIcon_->setPixmap(UserPicture(ui::ToPixelsX(720)));
    lnLower_ = new QFrame(this);
    lnLower_->setObjectName(QStringLiteral("lnLower"));
    lnLower_->setFrameShape(QFrame::HLine);
    lnLower_->setFrameShadow(QFrame::Plain);
    lnLower_->setStyleSheet(QStringLiteral("color: #808080;"));
    lnLower2_ = new QFrame(this);
    lnLower2_->setObjectName(QStringLiteral("lnLower2"));
    lnLower2_->setFrameShape(QFrame::HLine);
    lnLower2_->setFrameShadow(QFrame::Plain);
    lnLower2_->setStyleSheet(QStringLiteral("color: #ffffff;"));

    fraSteps_ = new QFrame(this);
    fraSteps_->setObjectName(QStringLiteral("fraSteps"));
    fraSteps_->setAutoFillBackground(true);
    QPalette steps = fraSteps_->palette();
    steps.setColor(QPalette::Window, kStepsBackground);
    fraSteps_->setPalette(steps);
    fraSteps_->setGeometry(ui::ToPixels({0, kBannerHeight, kStepsWidth, kHeight - kBannerHeight - kNavHeight}));
    for (int i = 0; i < 3; ++i) {
        lblSteps_[i] = NewLabel(fraSteps_, "", {60, 240 + i * 390.0, 1830, 330});
        lblSteps_[i]->setObjectName(QStringLiteral("lblSteps%1").arg(i));
        lblSteps_[i]->setAutoFillBackground(true);
    }

    for (int i = 0; i < 3; ++i) {
        fraStep_[i] = new QFrame(this);
        fraStep_[i]->setObjectName(QStringLiteral("fraStep%1").arg(i));
        fraStep_[i]->setGeometry(ui::ToPixels({kParkedLeft, kStepTop, kStepWidth, kStepHeight}));
    }
    QFrame* step0 = fraStep_[0];
    lblBasicInformation_ = NewLabel(step0, "lblBasicInformation", {0, 0, 4800, 300});
    lblBasicInformation_->setFont(Bold(font()));
    lblUserLogin_ = NewLabel(step0, "lblUserLogin", {0, 540, 1400, 300});
    txtUserLogin_ = NewBox(step0, "txtUserLogin", {1500, 510, 2800, 330}, 20);
    lblUserName_ = NewLabel(step0, "lblUserName", {0, 960, 1400, 300});
    txtUserName_ = NewBox(step0, "txtUserName", {1500, 930, 3300, 330}, 50);
    lblDescription_ = NewLabel(step0, "lblDescription", {0, 1380, 1400, 300});
    txtDescription_ = new QPlainTextEdit(step0);
    txtDescription_->setObjectName(QStringLiteral("txtDescription"));
    txtDescription_->setGeometry(ui::ToPixels({1500, 1350, 3300, 1300}));
    txtDescription_->setTabChangesFocus(true);
    LimitRecordText(txtDescription_, 255);
    lblContinue_[1] = NewLabel(step0, "lblContinue1", {0, 3100, 4800, 300});

    QFrame* step1 = fraStep_[1];
    lblPasswords_ = NewLabel(step1, "lblPasswords", {0, 0, 4800, 500}, true);
    lblPasswords_->setFont(Bold(font()));
    lblPassword_ = NewLabel(step1, "lblPassword", {0, 720, 1700, 300});
    txtNewPassword_ = NewBox(step1, "txtNewPassword", {1800, 690, 2400, 330}, 20, true);
    lblConfirmPassword_ = NewLabel(step1, "lblConfirmPassword", {0, 1140, 1700, 300});
    txtConfirmPassword_ = NewBox(step1, "txtConfirmPassword", {1800, 1110, 2400, 330}, 20, true);
    lblContinue_[0] = NewLabel(step1, "lblContinue0", {0, 3100, 4800, 300});
    // Each caption names its box for screen readers and carries its mnemonic.
    lblUserLogin_->setBuddy(txtUserLogin_);
    lblUserName_->setBuddy(txtUserName_);
    lblDescription_->setBuddy(txtDescription_);
    lblPassword_->setBuddy(txtNewPassword_);
    lblConfirmPassword_->setBuddy(txtConfirmPassword_);

    QFrame* step2 = fraStep_[2];
    lblWhatAccess_ = NewLabel(step2, "lblWhatAccess", {0, 0, 4800, 500}, true);
    lblWhatAccess_->setFont(Bold(font()));
    accessGroup_ = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        optAccess_[i] = new QRadioButton(step2);
        optAccess_[i]->setObjectName(QStringLiteral("optAccess%1").arg(i));
        optAccess_[i]->setGeometry(ui::ToPixels({240, 720 + i * 420.0, 4000, 330}));
        accessGroup_->addButton(optAccess_[i], i);
    }
    lblAdmin_ = NewLabel(step2, "lblAdmin", {540, 1620, 4200, 600}, true);

    picNav_ = new QWidget(this);
    picNav_->setObjectName(QStringLiteral("picNav"));
    auto* navLine = new QFrame(picNav_);
    navLine->setFrameShape(QFrame::HLine);
    navLine->setFrameShadow(QFrame::Sunken);
    navLine->setGeometry(0, 0, ui::ToPixelsX(kWidth), 2);
    for (int i = 0; i < 5; ++i) {
        cmdNav_[i] = new QPushButton(picNav_);
        cmdNav_[i]->setObjectName(QStringLiteral("cmdNav%1").arg(i));
        cmdNav_[i]->setAutoDefault(false);  // no default button: Enter presses nothing
        connect(cmdNav_[i], &QPushButton::clicked, this, [this, i] { cmdNav_Click(i); });
    }
    for (QWidget* box : std::initializer_list<QWidget*>{txtUserLogin_, txtUserName_, txtDescription_,
                                                       txtNewPassword_, txtConfirmPassword_})
        box->installEventFilter(this);
}

void frmWizard::SetNoCancel(bool value) {
    noCancel_ = value;
    cmdNav_[1]->setEnabled(!value);
}

void frmWizard::SetMustFinish(bool value) {
    mustFinish_ = value;
    cmdNav_[1]->setEnabled(!value);
    cmdNav_[2]->setEnabled(!value);
}

std::int32_t frmWizard::ListCount(const QAbstractItemView* lsvItems) {
    if (!lsvItems || !lsvItems->model()) return 0;
    return lsvItems->model()->rowCount(lsvItems->rootIndex());
}

void frmWizard::SelectFirstItemInList(QAbstractItemView* lsvItems) {
    RunIgnoringErrors({[&] {
        if (ListCount(lsvItems) >= 1)
            lsvItems->selectionModel()->select(lsvItems->model()->index(0, 0, lsvItems->rootIndex()),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }});
}

void frmWizard::SetLanguage() { ApplyLanguage(); }

// --- Steps ------------------------------------------------------------------

void frmWizard::InitSteps() {
    // A parked step is hidden too, so it takes neither the focus nor typing:
    // Tab and keys stay on the step that is shown.
    for (QFrame* frame : fraStep_) {
        frame->move(ui::ToPixelsX(kParkedLeft), ui::ToPixelsY(kStepTop));
        frame->hide();
    }
    GoToStep(0);
}

void frmWizard::GoToStep(int newStep) {
    if (newStep == 2) FinishEnabled = true;
    fraStep_[CurrentStep]->setEnabled(false);
    fraStep_[newStep]->move(ui::ToPixelsX(kStepLeft), ui::ToPixelsY(kStepTop));
    if (newStep != CurrentStep) {
        fraStep_[CurrentStep]->move(ui::ToPixelsX(kParkedLeft), ui::ToPixelsY(kStepTop));
        fraStep_[CurrentStep]->hide();
    }
    fraStep_[newStep]->show();
    fraStep_[newStep]->setEnabled(true);
    UpdateWizardButtons(newStep);
    HighlightStep(newStep);
    SetStepFocus(newStep);
}

void frmWizard::UpdateWizardButtons(int step) {
    CurrentStep = step;
    cmdNav_[2]->setEnabled(step != 0);
    cmdNav_[3]->setEnabled(step != 2);
    cmdNav_[4]->setEnabled(FinishEnabled);
}

void frmWizard::HighlightStep(int step) {
    const QColor background = fraSteps_->palette().color(QPalette::Window);
    for (int i = 0; i < 3; ++i) {
        QPalette p = lblSteps_[i]->palette();
        const bool active = i == step;
        p.setColor(QPalette::Window,
                   active ? ui::TranslateOleColor(kActiveBorder).value_or(QColor(212, 208, 200)) : background);
        p.setColor(QPalette::WindowText, active ? QColor(Qt::black) : QColor(Qt::white));
        lblSteps_[i]->setPalette(p);
        lblSteps_[i]->setFont(Bold(lblSteps_[i]->font(), active));
    }
}

void frmWizard::SetStepFocus(int step) {
    // Before the window shows, focus cannot be given; nothing is lost.
    if (step == 0) txtUserLogin_->setFocus();
    if (step == 1) txtNewPassword_->setFocus();
}

void frmWizard::cmdNav_Click(int index) {
    switch (index) {
        case 1:
            Cancelled = true;
            QDialog::done(QDialog::Rejected);
            break;
        case 2:
            GoToStep(CurrentStep - 1);
            break;
        case 3:
            if (ValidateSteps(CurrentStep)) GoToStep(CurrentStep + 1);
            break;
        case 4:
            // Values changed after Back were never checked: check them now,
            // on the step they belong to.
            for (int step : {0, 1}) {
                if (!ValidateSteps(step)) {
                    GoToStep(step);
                    return;
                }
            }
            ValidateSteps(2);
            if (!SaveData()) return;
            IsDirty = true;
            QDialog::done(QDialog::Accepted);
            break;
        default:
            break;  // Help: nothing
    }
}

bool frmWizard::ValidateSteps(int step) {
    if (step == 0) {
        UserLogin = Trimmed(txtUserLogin_->text());
        const NewLoginCheck check = CheckNewLogin(UserLogin);
        if (check == NewLoginCheck::kFailed) return false;
        if (check != NewLoginCheck::kFree) {
            ShowMessage(check == NewLoginCheck::kBlank ? 0 : 1, kMsgExclamation);
            txtUserLogin_->setFocus();
            return false;
        }
        return true;
    }
    if (step == 1) {
        // Letter for letter: a confirmation that differs only in case is no confirmation.
        if (Trimmed(txtNewPassword_->text()) != Trimmed(txtConfirmPassword_->text())) {
            ShowMessage(2, kMsgExclamation);
            txtNewPassword_->setFocus();
            return false;
        }
        return true;
    }
    return true;
}

int frmWizard::ShowMessage(int mode, std::int32_t buttons) {
    const int message = mode == 0 ? 439 : mode == 1 ? 440 : mode == 2 ? 434 : -1;
    const std::string prompt = message < 0 ? std::string() : GetMessageText(message, gLanguage);
    return ShowMsgBox(prompt, buttons, GetMessageText(kMessageProgramName, gLanguage));
}

// --- Saving -----------------------------------------------------------------

bool frmWizard::SaveData() {
    NewAccount account;
    account.login = Trimmed(txtUserLogin_->text());
    account.name = Trimmed(txtUserName_->text());
    account.description = Trimmed(txtDescription_->toPlainText());
    account.password = Trimmed(txtNewPassword_->text());
    account.access = CheckedAccess();
    AccountCreation created;
    {
        // Not over the message that may follow.
        BusyPointer busy;
        created = CreateAccount(account, OpenTablePathname);
    }
    if (created.added) UserLogin = created.login;
    if (created.taken) {
        ShowMessage(1, kMsgExclamation);
        GoToStep(0);
    }
    return created.added;
}

int frmWizard::CheckedAccess() const {
    for (int i = 0; i < 2; ++i)
        if (optAccess_[i]->isChecked()) return i;
    return 0;
}

// --- Captions and defaults ----------------------------------------------------

void frmWizard::ApplyLanguage() {
    setWindowTitle(Text(269));
    lblCaption_->setText(Text(666));
    lblInfoText_->setText(Text(667));
    const int steps[] = {326, 57, 300};
    for (int i = 0; i < 3; ++i) lblSteps_[i]->setText(Text(steps[i], " "));
    cmdNav_[0]->setText(Text(58));
    cmdNav_[1]->setText(Text(25));
    cmdNav_[2]->setText(Text(39, "< "));
    cmdNav_[3]->setText(Text(38, "", " >"));
    cmdNav_[4]->setText(Text(40));
    lblBasicInformation_->setText(Text(326));
    lblUserLogin_->setText(Text(308, "", ":"));
    lblUserName_->setText(Text(307, "", ":"));
    lblDescription_->setText(Text(49, "", ":"));
    lblWhatAccess_->setText(Text(561));
    lblPasswords_->setText(Text(558));
    lblPassword_->setText(Text(56, "", ":"));
    lblConfirmPassword_->setText(Text(59, "", ":"));
    lblAdmin_->setText(Text(449));
    for (QLabel* label : lblContinue_) label->setText(Text(325));
    optAccess_[0]->setText(Text(60));
    optAccess_[1]->setText(Text(61));
}

void frmWizard::SetDefaults() {
    if (PrimaryUser()) {
        setWindowTitle(Text(396));
        lblCaption_->setText(Text(666));
        lblInfoText_->setText(Text(671));
        optAccess_[0]->setChecked(true);
        lblAdmin_->setEnabled(true);
        optAccess_[1]->setEnabled(false);
        return;
    }
    const bool administrator = IsAdministrator(GetCurrentUser());
    optAccess_[0]->setEnabled(administrator);
    lblAdmin_->setEnabled(administrator);
    optAccess_[1]->setChecked(true);
}

// --- Events -----------------------------------------------------------------

void frmWizard::Activate() {
    if (!FormLoad) return;
    RunIgnoringErrors({[this] { FormLoad = false; }, [this] { SetLanguage(); }, [this] { SetDefaults(); },
                       [this] { SetStepFocus(CurrentStep); }});
}

bool frmWizard::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Activate();
    return QDialog::event(event);
}

void frmWizard::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FormLoad && !activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] { Activate(); });
    }
}

void frmWizard::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Layout();
}

void frmWizard::Layout() {
    RunIgnoringErrors({
        [this] { picBanner_->setGeometry(0, 0, width(), ui::ToPixelsY(kBannerHeight)); },
        [this] { picIcon_->move(width() - picIcon_->width() - ui::ToPixelsX(240), picIcon_->y()); },
        [this] { lnLower_->setGeometry(0, picBanner_->height() - ui::ToPixelsY(30), picBanner_->width(), 1); },
        [this] { lnLower2_->setGeometry(0, picBanner_->height() - ui::ToPixelsY(10), picBanner_->width(), 1); },
        [this] {
            const int navTop = height() - ui::ToPixelsY(kNavHeight);
            picNav_->setGeometry(0, navTop, width(), ui::ToPixelsY(kNavHeight));
            fraSteps_->setGeometry(0, picBanner_->height(), ui::ToPixelsX(kStepsWidth), navTop - picBanner_->height());
            const QSize button = ui::ToPixels(1095, 375);
            const int gap = ui::ToPixelsX(90);
            const int top = (picNav_->height() - button.height()) / 2;
            int left = width() - ui::ToPixelsX(180) - 4 * button.width() - 3 * gap;
            for (int i = 1; i <= 4; ++i) {
                cmdNav_[i]->setGeometry(left, top, button.width(), button.height());
                left += button.width() + gap;
            }
            cmdNav_[0]->setGeometry(ui::ToPixelsX(180), top, button.width(), button.height());
        },
    });
}

void frmWizard::reject() {
    // Esc acts as Cancel, and only while Cancel may be pressed.
    if (cmdNav_[1]->isEnabled()) cmdNav_Click(1);
}

void frmWizard::closeEvent(QCloseEvent* event) {
    // Closed by the program: it goes without an answer either way.
    event->accept();
    if (isVisible()) QDialog::done(QDialog::Rejected);
}

void frmWizard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        cmdNav_Click(0);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        SelectAllTextAfterFocus(static_cast<QWidget*>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace corvane
