#include "admin/users/corvane/frm_corvane.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "admin/users/corvane/account_delete.h"
#include "admin/users/corvane/user_activity.h"
#include "admin/users/corvane/user_admin_openers.h"
#include "admin/users/wizard/frm_wizard.h"
#include "admin/users/wizard/user_pictures.h"
#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "recordstore/user.h"
#include "session/login/account_table_check.h"
#include "ui/helpers/off_taskbar.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui_core/display_names.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr int kNewUser = 269;
constexpr int kEditUser = 270;

ListWindow::Features UserWindowFeatures() {
    ListWindow::Features f;
    f.noAutoRefreshSwitch = false;
    f.listKeys = false;
    f.statusBar = false;
    f.catalogueLayout = false;
    f.formMetrics = false;
    f.directSelectedIndex = true;
    f.buttonsOnActivation = true;
    f.popUp = {QStringLiteral("Add"), QStringLiteral("Edit"), QStringLiteral("Delete"), QStringLiteral("-"),
               QStringLiteral("Cancel")};
    return f;
}

std::string Text(int message, const std::optional<std::string>& parameter = std::nullopt) {
    return GetMessageText(message, gLanguage, parameter);
}

}  // namespace

frmCorvane::frmCorvane(QWidget* parent) : ListWindow(QStringLiteral("frmCorvane"), UserWindowFeatures(), parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(ui::ToPixels(5985, 6375));
    KeepOffTaskbar(this);
    BuildControls();
    model_->SetIcons({QIcon(ListPicture(16, QColor(40, 90, 170))), QIcon(KeyPicture(16)), QIcon(UserPicture(16)),
                      QIcon(UserPicture(16, true))});
    lsvItems_->setIconSize(QSize(16, 16));
    SSTab_->setCurrentIndex(0);

    connect(lsvItems_, &QTreeView::clicked, this, &frmCorvane::ListClicked);
    connect(cmdSetPassword_, &QPushButton::clicked, this, &frmCorvane::SetPassword);
    connect(cmdApply_, &QPushButton::clicked, this, [this] {
        if (!IsDirty()) return;
        SaveSettings();
        SetIsDirty(false);
    });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        if (IsDirty()) {
            SaveSettings();
            SetIsDirty(false);
        }
        CancelClicked();
    });
    // Set from code too (LoadSettings), which the first activation undoes.
    for (QCheckBox* box : {chkRequireLogin_, chkEnableWebsiteLog_, chkDisableUserLogging_})
        connect(box, &QCheckBox::toggled, this, [this] { SetIsDirty(true); });
    const auto launch = [this](QPushButton* button, WindowLauncher UserAdminOpeners::*which) {
        connect(button, &QPushButton::clicked, this, [which] {
            const WindowLauncher& launcher = CurrentUserAdminOpeners().*which;
            if (launcher) RunIgnoringErrors({launcher});
        });
    };
    launch(cmdLog_, &UserAdminOpeners::showUserLog);
    launch(cmdAccess_, &UserAdminOpeners::showWebsiteLog);
    launch(cmdWebsites_, &UserAdminOpeners::showWebsites);
    launch(cmdPrograms_, &UserAdminOpeners::showPrograms);
    CenterForm(this);
}

void frmCorvane::SetIsDirty(bool value) {
    ListWindow::SetIsDirty(value);
    cmdApply_->setEnabled(value);
}

// --- Rows -------------------------------------------------------------------

std::unique_ptr<RecordTable> frmCorvane::NewTable() const { return std::make_unique<User>(); }

namespace {

// The fields the list shows, read from a record as a whole-table read hands it out.
struct UserListFields {
    const SlotView& record;
    std::int16_t Disabled() const { return static_cast<std::int16_t>(record.Number(User::kDisabled)); }
    std::int16_t Locked() const { return static_cast<std::int16_t>(record.Number(User::kLocked)); }
    std::int32_t UserID() const { return record.RecordNumber(); }
    std::string Login() const { return record.Text(User::kLogin); }
    std::int32_t AccessLevel() const { return record.Number(User::kAccessLevel); }
    std::string OtherAccess() const { return record.Text(User::kOtherAccess); }
    std::int32_t FailedLogins() const { return record.Number(User::kFailedLogins); }
};

template <typename Fields>
ListRow UserListRow(const Fields& user) {
    ListRow row;
    row.icon = user.Disabled() ? 4 : 3;
    row.dimmed = user.Locked() != 0;
    row.tag = QString::number(user.UserID());
    row.cells << QString::fromStdString(user.Login())
              << QString::fromStdString(GetAccessLevelName(static_cast<std::int16_t>(user.AccessLevel()), user))
              << QString::number(user.FailedLogins());
    return row;
}

}  // namespace

ListRow frmCorvane::RowFor(const RecordTable& record) const { return UserListRow(static_cast<const User&>(record)); }

ListRow frmCorvane::RowForRecord(const SlotView& record, RecordTable&) const { return UserListRow(UserListFields{record}); }

void frmCorvane::AddUserItem(const User& user) { AddListItem(user); }

void frmCorvane::UpdateLine(const User& user) { UpdateListItem(user); }

void frmCorvane::SetColumnHeaders() {
    RunIgnoringErrors({[this] { model_->ClearColumns(); }, [this] { model_->SetSortingOff(); },
                       [this] { model_->ClearRows(); },
                       [this] { AddColumn(QString::fromStdString(Text(308)), 2100); },
                       [this] { AddColumn(QString::fromStdString(Text(300)), 1600); },
                       [this] { AddColumn(QString::fromStdString(Text(312)), 1600); }});
}

// --- Activation ---------------------------------------------------------------

void frmCorvane::FirstActivation() {
    RunIgnoringErrors({[this] { SetColumnHeaders(); }, [this] { ApplyLanguage(); }, [this] { LoadData(); },
                       [this] { LoadSettings(); },
                       [this] {
                           if (ListCount() > 0)
                               SetSelectedIndex(1);
                           else
                               UpdatePasswordFrame();
                       },
                       [this] { SetIsDirty(false); }, [this] { ListClicked(); },
                       [this] { lsvItems_->setFocus(); }});
}

void frmCorvane::ListClicked() {
    if (!ItemSelected()) return;
    lsvItems_->selectionModel()->select(lsvItems_->selectionModel()->currentIndex(),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    UpdatePasswordFrame();
}

void frmCorvane::UpdatePasswordFrame() {
    const bool rows = ListCount() > 0;
    fraChangePassword_->setEnabled(rows);
    lblSetPassword_->setEnabled(rows);
    cmdSetPassword_->setEnabled(rows);
    if (!rows) {
        fraChangePassword_->setTitle(QString::fromStdString(Text(303)));
        lblSetPassword_->setText(QString::fromStdString(Text(329)));
        return;
    }
    fraChangePassword_->setTitle(QString::fromStdString(Text(330) + " " + SelectedItem()));
    lblSetPassword_->setText(QString::fromStdString(Text(562)));
}

// --- Settings -----------------------------------------------------------------

void frmCorvane::LoadSettings() {
    chkRequireLogin_->setChecked(gRequireLogin);
    chkEnableWebsiteLog_->setChecked(gEnableWebsiteLogging);
    chkDisableUserLogging_->setChecked(gDisableUserLogging);
}

void frmCorvane::SaveSettings() {
    gRequireLogin = chkRequireLogin_->isChecked();
    gEnableWebsiteLogging = chkEnableWebsiteLog_->isChecked();
    gDisableUserLogging = chkDisableUserLogging_->isChecked();
    SaveGlobalSettings();
}

// --- Commands -----------------------------------------------------------------

void frmCorvane::NewCommand() {
    ModalChild modal(this);
    frmWizard wizard(this);
    wizard.IsNew = true;
    RunTrapped("frmCorvane.cmdAdd_Click",
               {[&] {
                    // The first administrator only on a fresh install: after set-up an
                    // empty table is damage, not a first run.
                    if (OffersFirstAdministrator()) {
                        wizard.SetPrimaryUser(true);
                        wizard.SetNoCancel(true);
                    }
                },
                [&] { wizard.exec(); },
                [&] {
                    if (!wizard.IsDirty) return;
                    LoadData();
                    UpdatePasswordFrame();
                    LogUserWindowActivity(kNewUser, wizard.UserLogin);
                },
                [&] { SetSelectedIndex(1); }, [&] { EnableButtons(); }},
               gLanguage);
}

void frmCorvane::EditCommand() {
    const std::string login = SelectedItem();
    bool exists = false;
    UserEditorResult result;
    RunTrapped("frmCorvane.cmdEdit_Click",
               {[&] { exists = User().Exists(login); },
                [&] {
                    // Deleted elsewhere: show what is there now and open nothing.
                    if (exists) return;
                    const std::int32_t at = SelectedIndex();
                    LoadData();
                    SetSelectedIndex(at);
                },
                [&] {
                    if (!exists) return;
                    ModalChild modal(this);
                    if (const auto& open = CurrentUserAdminOpeners().editUser) result = open(this, login);
                },
                [&] {
                    if (!exists || result.cancelled || !result.isDirty) return;
                    User user;
                    if (user.Load(result.userLogin))
                        RewriteRow(user);
                    else
                        LoadData();
                    LogUserWindowActivity(kEditUser, result.userLogin);
                }},
               gLanguage);
}

void frmCorvane::RewriteRow(const User& user) {
    const int position = model_->FindTag(QString::number(user.UserID()));
    if (position < 0) {
        LoadData();
        return;
    }
    SetSelectedIndex(position + 1);
    UpdateLine(user);
    UpdatePasswordFrame();
}

void frmCorvane::DeleteClicked() {
    if (!ItemSelected()) return;
    if (ShowMessage(0, kMsgYesNo | kMsgQuestion, "") != kMsgYes) return;
    DeleteUsers();
    LoadData();
    UpdatePasswordFrame();
    EnableButtons();
}

void frmCorvane::DeleteUsers() {
    if (!ItemSelected()) return;
    QModelIndexList marked = lsvItems_->selectionModel()->selectedRows();
    std::sort(marked.begin(), marked.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::int32_t> userIds;
    for (const QModelIndex& index : marked) userIds.push_back(model_->Row(index.row()).tag.toInt());
    DeleteAccounts(userIds);
}

void frmCorvane::SetPassword() {
    if (!ItemSelected()) return;
    const std::string login = SelectedItem();
    ModalChild modal(this);
    RunTrapped("frmCorvane.SetPassword",
               {[&] {
                   if (const auto& open = CurrentUserAdminOpeners().setPassword) open(this, login);
               }},
               gLanguage);
}

int frmCorvane::ShowMessage(int mode, std::int32_t buttons, const std::string& parameter) {
    std::string prompt;
    if (mode == 0)
        prompt = ItemsSelectedCount() == 1 ? Text(421) : Text(422, std::to_string(ItemsSelectedCount()));
    else if (mode == 1)
        prompt = Text(kMessageRecordLocked, parameter);
    ModalChild modal(this);
    return ShowMsgBox(prompt, buttons, Text(kMessageProgramName));
}

void frmCorvane::reject() { CancelClicked(); }

void frmCorvane::CancelClicked() {
    closedByCommand_ = true;
    close();
}

void frmCorvane::closeEvent(QCloseEvent* event) {
    // Any other way out is the close box or the system menu.
    if (!closedByCommand_) Cancelled = true;
    QDialog::done(QDialog::Rejected);
    event->accept();
}

}  // namespace corvane
