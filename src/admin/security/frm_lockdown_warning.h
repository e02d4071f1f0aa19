#pragma once

#include <QDialog>

#include "admin/security/security_services.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace corvane {

// The warning both security windows show before they save a lockdown. Its
// box switches the warning off for good the moment it is clicked.
class frmLockdownWarning : public QDialog {
    Q_OBJECT

public:
    explicit frmLockdownWarning(QWidget* parent = nullptr);

    // True only after Cancel (or Esc, or the close box).
    bool Cancelled = false;
    void SetLanguage();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool firstActivation_ = true;
    QLabel* lblWarning_ = nullptr;
    QCheckBox* chkInFutureDoNotShowThisDialog_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

// Loads the warning, shows it modally and unloads it; true when cancelled.
bool RunLockdownWarning(QWidget* parent);

// The real services with the warning window and the start-with-Windows
// write, for the security windows.
SecurityWindowServices SecurityWindowServicesWithWarning(QWidget* parent);

}  // namespace corvane
