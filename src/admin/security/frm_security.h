#pragma once

#include <QDialog>

#include "admin/security/security_level_logic.h"
#include "admin/security/window_parts.h"

class QLabel;
class QPushButton;
class QSlider;
class QTabWidget;
class QGroupBox;

namespace corvane {

// The administrator's security-level window: a slider of six levels, the
// chosen level's name and description, Apply/OK after the lockdown warning,
// Reset and the way to the advanced window. OK and Cancel hide it; the
// launcher unloads it.
class frmSecurity : public QDialog {
    Q_OBJECT

public:
    explicit frmSecurity(QWidget* parent = nullptr);
    // With the services given (tests record the saves through them).
    frmSecurity(SecurityWindowServices services, QWidget* parent);

    bool Cancelled() const { return logic_.Cancelled; }
    void SetCancelled(bool value) { logic_.Cancelled = value; }
    bool FormLoad() const { return formLoad_; }
    void SetFormLoad(bool value) { formLoad_ = value; }
    bool IsDirty() const { return logic_.IsDirty; }
    // Also enables Apply and shows the restart notice exactly while dirty.
    void SetIsDirty(bool value);
    void SetLanguage();

    const SecurityLevelLogic& Logic() const { return logic_; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build();
    void FirstActivation();
    void LoadSettings();
    void ShowState();
    void sldSecurity_Scroll(int position);
    void cmdApply_Click();
    void cmdOK_Click();
    void cmdReset_Click();
    void cmdAdvanced_Click();

    SecurityLevelLogic logic_;
    bool formLoad_ = true;
    QTabWidget* tabOptions_ = nullptr;
    QGroupBox* fraLockdown_ = nullptr;
    QSlider* sldSecurity_ = nullptr;
    QLabel* lblSecurityLevel_ = nullptr;
    QLabel* lblSecurityDescription_ = nullptr;
    QLabel* lblInstructions_ = nullptr;
    SecurityWindowFooter footer_;
    QPushButton* cmdAdvanced_ = nullptr;
    QPushButton* cmdReset_ = nullptr;
};

}  // namespace corvane
