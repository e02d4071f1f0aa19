#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace corvane {

// "Options": the program-wide options and the data folder, copied from the
// global settings at the first activation and back by OK and Apply. Two
// lockdown states force the console and the start with the desktop on.
class frmMainOptions : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool Cancelled READ Cancelled WRITE SetCancelled)
    Q_PROPERTY(bool FormLoad READ FormLoad WRITE SetFormLoad)
    Q_PROPERTY(bool IsDirty READ IsDirty WRITE SetIsDirty)

public:
    explicit frmMainOptions(QWidget* parent = nullptr);

    bool Cancelled() const { return cancelled_; }
    void SetCancelled(bool value) { cancelled_ = value; }
    bool FormLoad() const { return formLoad_; }
    void SetFormLoad(bool value) { formLoad_ = value; }
    bool IsDirty() const { return isDirty_; }
    // Apply is enabled exactly while the window is dirty.
    void SetIsDirty(bool value);
    void SetLanguage();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void Activate();
    void InitialiseOptions();
    void LoadSettings();
    void SaveSettings();
    void EnableLoginOptions();
    void SetLoginOptions(bool on);
    void ApplyStartupLockdown();
    void ApplySecureConsoleLockdown();
    void ApplyLanguage();
    void ChoosePath();
    void NextTab();
    QWidget* BuildGeneralTab();
    QWidget* BuildFilesTab();
    QWidget* BuildLanguageTab();

    bool cancelled_ = false;
    bool formLoad_ = true;
    bool isDirty_ = false;
    QTabWidget* tabOptions_ = nullptr;
    QGroupBox* fraStartUp_ = nullptr;
    QCheckBox* chkRequireLogin_ = nullptr;
    QCheckBox* chkStartWithWindows_ = nullptr;
    QCheckBox* chkAlwaysShowSecureConsole_ = nullptr;
    QGroupBox* fraLoginOptions_ = nullptr;
    QCheckBox* chkActionAfterLogout_ = nullptr;
    QComboBox* cboLogoutAction_ = nullptr;
    QCheckBox* chkRememberLastLogin_ = nullptr;
    QCheckBox* chkLoginAlwaysOnTop_ = nullptr;
    QCheckBox* chkHideDesktopDuringLogin_ = nullptr;
    QCheckBox* chkCannotCancelLogin_ = nullptr;
    QPushButton* cmdSelectAllLoginOptions_ = nullptr;
    QPushButton* cmdUnSelectAllLoginOptions_ = nullptr;
    QLabel* lblPath_ = nullptr;
    QLineEdit* txtDataPath_ = nullptr;
    QPushButton* cmdPathName_ = nullptr;
    QLabel* lblLanguage_ = nullptr;
    std::array<QRadioButton*, 6> optLanguage_{};
    std::array<QLabel*, 6> picFlag_{};
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdApply_ = nullptr;
};

}  // namespace corvane
