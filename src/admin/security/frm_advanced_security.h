#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>

#include "admin/security/advanced_security_logic.h"
#include "admin/security/drive_list.h"
#include "admin/security/window_parts.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace corvane {

// The administrator's window for the lockdown option by option: the
// Lockdown, Restrict Run, Hide Drives and Settings tabs. OK and Apply save
// after the lockdown warning; the Restrict Run list's Add, Delete and Clear
// and Reset write at once. OK and Cancel hide it; the launcher unloads it.
class frmAdvancedSecurity : public QDialog {
    Q_OBJECT

public:
    explicit frmAdvancedSecurity(QWidget* parent = nullptr);
    // With the services and drive kinds given (tests record through them).
    frmAdvancedSecurity(SecurityWindowServices services, std::unique_ptr<DriveKinds> drives, QWidget* parent);

    bool Cancelled() const { return logic_.Cancelled; }
    void SetCancelled(bool value) { logic_.Cancelled = value; }
    bool FormLoad() const { return formLoad_; }
    void SetFormLoad(bool value) { formLoad_ = value; }
    bool IsDirty() const { return logic_.IsDirty; }
    // Also enables Apply and shows the restart notice exactly while dirty.
    void SetIsDirty(bool value);
    std::int32_t ListCount() const;
    bool ItemSelected() const;
    std::int32_t ItemsSelectedCount() const;
    void SetLanguage();

    const AdvancedSecurityLogic& Logic() const { return logic_; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* BuildLockdownTab();
    QWidget* BuildRestrictRunTab();
    QWidget* BuildHideDrivesTab();
    QWidget* BuildSettingsTab();
    void FirstActivation();
    void LoadSettings();
    void InitRestrictRunList();
    void InitLockdownList();
    void InitDriveList();
    // Every control as the logic has it.
    void ShowState();
    void ShowRestrictRunList();
    void UpdateRestrictRunControls();
    // Runs a handler under its error place, then shows the new state.
    void Handle(const char* place, const std::function<void()>& handler);

    void lsvLockdown_ItemCheck(QTreeWidgetItem* item);
    void lsvHideDrives_ItemCheck(QTreeWidgetItem* item);
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdOK_Click();
    void SortByColumn(QTreeWidget* list, int column);

    AdvancedSecurityLogic logic_;
    std::unique_ptr<DriveKinds> drives_;
    bool formLoad_ = true;
    QTabWidget* tabOptions_ = nullptr;
    QGroupBox* fraLockdown_ = nullptr;
    QTreeWidget* lsvLockdown_ = nullptr;
    QPushButton* cmdSelectAll_ = nullptr;
    QPushButton* cmdUnselectAll_ = nullptr;
    QPushButton* cmdReset_ = nullptr;
    QCheckBox* chkRestrictRun_ = nullptr;
    QTreeWidget* lsvItems_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdClear_ = nullptr;
    QGroupBox* fraHideDrives_ = nullptr;
    QTreeWidget* lsvHideDrives_ = nullptr;
    QPushButton* cmdSelectAllHideDrives_ = nullptr;
    QPushButton* cmdUnSelectAllHideDrives_ = nullptr;
    QLabel* lblStartUp_ = nullptr;
    QLabel* lblSecureConsole_ = nullptr;
    QLabel* lblRecovery_ = nullptr;
    std::array<QCheckBox*, kSettingsBoxCount> settingsBoxes_{};
    SecurityWindowFooter footer_;
};

}  // namespace corvane
