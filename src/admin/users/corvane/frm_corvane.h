#pragma once

#include <cstdint>
#include <string>

#include "ui/list_window/list_window.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QTabWidget;

namespace corvane {

class User;

// The administrator's user window: every account with its access level and
// failed logins, Add (through the new-user wizard), Edit (the user editor),
// Delete (with the account's memberships and links) and Set Password; an
// Advanced tab that opens the catalogues and the logs; and three global
// switches applied with Apply or OK. Fixed size, modeless, one at a time; the
// list reloads when the number of accounts changes, except while a window
// opened from here is up.
class frmCorvane : public ListWindow {
    Q_OBJECT

public:
    explicit frmCorvane(QWidget* parent = nullptr);

    // A check box was changed since the settings were loaded or saved;
    // setting it also enables or disables Apply.
    void SetIsDirty(bool value) override;
    bool Cancelled = false;
    bool FormLoad() const { return formLoad_; }
    void SetFormLoad(bool value) { formLoad_ = value; }
    bool IsNew = false;
    std::int32_t Response = 0;

    // Refills the list from the user table, newest account first.
    void LoadData() { ListWindow::LoadData(); }
    // Appends a row for a valid account.
    void AddUserItem(const User& user);
    // Rewrites the current row from a valid account.
    void UpdateLine(const User& user);

protected:
    std::unique_ptr<RecordTable> NewTable() const override;
    ListRow RowFor(const RecordTable& record) const override;
    ListRow RowForRecord(const SlotView& record, RecordTable& table) const override;
    void SetupColumns() override { SetColumnHeaders(); }
    void ApplyLanguage() override;
    void NewCommand() override;
    void EditCommand() override;
    void DeleteClicked() override;
    void FirstActivation() override;
    void CancelClicked() override;
    void closeEvent(QCloseEvent* event) override;

public slots:
    // Esc closes the window as Cancel does.
    void reject() override;

private:
    void BuildControls();
    void BuildUsersTab(QWidget* page);
    void BuildAdvancedTab(QWidget* page);
    void SetColumnHeaders();
    void LoadSettings();
    void SaveSettings();
    void UpdatePasswordFrame();
    void DeleteUsers();
    void SetPassword();
    void ListClicked();
    // Rewrites the row of the account's UserID; a reload when it is gone.
    void RewriteRow(const User& user);
    int ShowMessage(int mode, std::int32_t buttons, const std::string& parameter);

    bool closedByCommand_ = false;  // OK, Cancel or Esc rather than the close box
    QTabWidget* SSTab_ = nullptr;
    QLabel* imgUsers_ = nullptr;
    QLabel* lblHeader_ = nullptr;
    QGroupBox* fraChangePassword_ = nullptr;
    QLabel* lblSetPassword_ = nullptr;
    QPushButton* cmdSetPassword_ = nullptr;
    QCheckBox* chkRequireLogin_ = nullptr;
    QGroupBox* fraPrograms_ = nullptr;
    QLabel* lblPrograms_ = nullptr;
    QPushButton* cmdPrograms_ = nullptr;
    QGroupBox* fraWebsiteLog_ = nullptr;
    QCheckBox* chkEnableWebsiteLog_ = nullptr;
    QLabel* lblAccess_ = nullptr;
    QPushButton* cmdAccess_ = nullptr;
    QGroupBox* fraWebsites_ = nullptr;
    QLabel* lblWebsites_ = nullptr;
    QPushButton* cmdWebsites_ = nullptr;
    QGroupBox* fraLogging_ = nullptr;
    QCheckBox* chkDisableUserLogging_ = nullptr;
    QLabel* lblLog_ = nullptr;
    QPushButton* cmdLog_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdApply_ = nullptr;
};

}  // namespace corvane
