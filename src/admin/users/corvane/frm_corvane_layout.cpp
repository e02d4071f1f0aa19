// The controls of the user window, where they stand, and their captions.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include "admin/users/corvane/frm_corvane.h"
#include "admin/users/wizard/user_pictures.h"
#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "ui/helpers/screen_metrics.h"

namespace corvane {
namespace {

constexpr double kButtonWidth = 1155;
constexpr double kButtonHeight = 345;
constexpr double kFrameButtonWidth = 1335;  // "Set Password" and "Website Log" in full
constexpr int kPicture = 32;

QString Text(int message, int format = kCaseAsIs) {
    return QString::fromStdString(GetMessageText(message, gLanguage, std::nullopt, format));
}

template <typename T>
T* Named(T* widget, const char* name, const ui::TwipsRect& at) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(ui::ToPixels(at));
    return widget;
}

QLabel* NewText(QWidget* parent, const char* name, const ui::TwipsRect& at) {
    auto* label = Named(new QLabel(parent), name, at);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLabel* NewPicture(QWidget* parent, const QPixmap& pixmap, double left, double top) {
    auto* picture = new QLabel(parent);
    picture->setPixmap(pixmap);
    picture->setGeometry(ui::ToPixelsX(left), ui::ToPixelsY(top), kPicture, kPicture);
    return picture;
}

QPushButton* NewButton(QWidget* parent, const char* name, double left, double top, double width = kButtonWidth) {
    auto* button = Named(new QPushButton(parent), name, {left, top, width, kButtonHeight});
    button->setAutoDefault(false);
    return button;
}

// A frame of the Advanced tab: its picture, its text and its button in a row.
QGroupBox* NewFrame(QWidget* page, const char* name, double top, double height, const QPixmap& picture) {
    auto* frame = Named(new QGroupBox(page), name, {120, top, 5460, height});
    NewPicture(frame, picture, 150, 300);
    return frame;
}

// The text and the button of a frame, beside its picture.
QLabel* NewFrameText(QGroupBox* frame, const char* name) {
    return NewText(frame, name, {750, 270, 3195, 600});
}

QPushButton* NewFrameButton(QGroupBox* frame, const char* name) {
    return NewButton(frame, name, 4035, 390, kFrameButtonWidth);
}

}  // namespace

void frmCorvane::BuildControls() {
    SSTab_ = Named(new QTabWidget(this), "SSTab", {90, 90, 5805, 5700});
    auto* users = new QWidget;
    users->setObjectName(QStringLiteral("tabUsers"));
    auto* advanced = new QWidget;
    advanced->setObjectName(QStringLiteral("tabAdvanced"));
    SSTab_->addTab(users, QString());
    SSTab_->addTab(advanced, QString());
    BuildUsersTab(users);
    BuildAdvancedTab(advanced);
    cmdOK_ = NewButton(this, "cmdOK", 2385, 5900);
    cmdCancel_->setParent(this);
    cmdCancel_->setGeometry(ui::ToPixels({3570, 5900, kButtonWidth, kButtonHeight}));
    cmdApply_ = NewButton(this, "cmdApply", 4755, 5900);
    picture_->hide();
}

void frmCorvane::BuildUsersTab(QWidget* page) {
    imgUsers_ = NewPicture(page, UserPicture(kPicture), 120, 120);
    imgUsers_->setObjectName(QStringLiteral("imgUsers"));
    lblHeader_ = NewText(page, "lblHeader", {720, 90, 4860, 570});
    // As wide as the page: the three columns keep their widths unfitted.
    lsvItems_->setParent(page);
    lsvItems_->setGeometry(ui::ToPixels({120, 780, 5460, 2340}));
    double left = 5580 - 3 * kButtonWidth - 2 * 90;
    for (QPushButton* button : {cmdAdd_, cmdEdit_, cmdDelete_}) {
        button->setParent(page);
        button->setGeometry(ui::ToPixels({left, 3210, kButtonWidth, kButtonHeight}));
        left += kButtonWidth + 90;
    }
    fraChangePassword_ = Named(new QGroupBox(page), "fraChangePassword", {120, 3660, 5460, 1050});
    NewPicture(fraChangePassword_, KeyPicture(kPicture), 150, 360);
    lblSetPassword_ = NewFrameText(fraChangePassword_, "lblSetPassword");
    cmdSetPassword_ = NewFrameButton(fraChangePassword_, "cmdSetPassword");
    chkRequireLogin_ = Named(new QCheckBox(page), "chkRequireLogin", {120, 4830, 5460, 330});
}

void frmCorvane::BuildAdvancedTab(QWidget* page) {
    fraPrograms_ = NewFrame(page, "fraPrograms", 90, 1000, ListPicture(kPicture, QColor(40, 120, 60)));
    lblPrograms_ = NewFrameText(fraPrograms_, "lblPrograms");
    cmdPrograms_ = NewFrameButton(fraPrograms_, "cmdPrograms");

    fraWebsiteLog_ = NewFrame(page, "fraWebsiteLog", 1180, 1290, ListPicture(kPicture, QColor(200, 120, 20)));
    lblAccess_ = NewFrameText(fraWebsiteLog_, "lblAccess");
    cmdAccess_ = NewFrameButton(fraWebsiteLog_, "cmdAccess");
    chkEnableWebsiteLog_ = Named(new QCheckBox(fraWebsiteLog_), "chkEnableWebsiteLog", {750, 900, 4500, 300});

    fraWebsites_ = NewFrame(page, "fraWebsites", 2560, 1000, ListPicture(kPicture, QColor(40, 90, 170)));
    lblWebsites_ = NewFrameText(fraWebsites_, "lblWebsites");
    cmdWebsites_ = NewFrameButton(fraWebsites_, "cmdWebsites");

    fraLogging_ = NewFrame(page, "fraLogging", 3650, 1290, ListPicture(kPicture, QColor(150, 40, 40)));
    lblLog_ = NewFrameText(fraLogging_, "lblLog");
    cmdLog_ = NewFrameButton(fraLogging_, "cmdLog");
    chkDisableUserLogging_ = Named(new QCheckBox(fraLogging_), "chkDisableUserLogging", {750, 900, 4500, 300});
}

void frmCorvane::ApplyLanguage() {
    RunIgnoringErrors({
        [this] { setWindowTitle(Text(kMessageProgramName)); },
        [this] { lblHeader_->setText(Text(560)); },
        [this] { chkRequireLogin_->setText(Text(543)); },
        [this] { lblSetPassword_->setText(Text(562)); },
        [this] { lblWebsites_->setText(Text(686)); },
        [this] { lblPrograms_->setText(Text(687)); },
        [this] { lblLog_->setText(Text(566)); },
        [this] { fraWebsiteLog_->setTitle(Text(164)); },
        [this] { fraChangePassword_->setTitle(Text(303)); },
        [this] { fraWebsites_->setTitle(Text(162)); },
        [this] { fraLogging_->setTitle(Text(297)); },
        [this] { SSTab_->setTabText(0, Text(296)); },
        [this] { SSTab_->setTabText(1, Text(21)); },
        [this] { cmdOK_->setText(Text(33, kCaseUpper)); },
        [this] { cmdCancel_->setText(Text(25)); },
        [this] { cmdApply_->setText(Text(34)); },
        [this] { cmdAdd_->setText(Text(24)); },
        [this] { cmdEdit_->setText(Text(2)); },
        [this] { cmdDelete_->setText(Text(3)); },
        [this] { cmdLog_->setText(Text(297)); },
        [this] { cmdSetPassword_->setText(Text(303)); },
        [this] { cmdWebsites_->setText(Text(162)); },
        [this] { cmdAccess_->setText(Text(164)); },
        [this] {
            const QList<QAction*> items = mnuPopUp_->actions();
            items.at(0)->setText(cmdAdd_->text());
            items.at(1)->setText(cmdEdit_->text());
            items.at(2)->setText(cmdDelete_->text());
        },
        // These stay as they are in every language.
        [this] { fraPrograms_->setTitle(QStringLiteral("Programs")); },
        [this] { cmdPrograms_->setText(QStringLiteral("Programs")); },
        [this] { lblAccess_->setText(QStringLiteral("To show a complete Website Log click the Website Log button.")); },
        [this] { chkEnableWebsiteLog_->setText(QStringLiteral("Enable Website Log")); },
        [this] { chkDisableUserLogging_->setText(QStringLiteral("Disable User Logging (Not Recommend)")); },
    });
}

}  // namespace corvane
