#pragma once

#include <QDialog>

#include "session/console/i_setup.h"

class QLabel;
class QPushButton;

namespace corvane {

// The about window: the product's name, version and legal notice, a picture
// that leads to the home page, System Info and OK. Modal; it unloads itself.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(const ISetup& setup = ISetup(), QWidget* parent = nullptr);

    QLabel* lblTitle() const { return lblTitle_; }
    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* lblCopyright() const { return lblCopyright_; }
    QLabel* picIcon() const { return picIcon_; }
    QPushButton* cmdSysInfo() const { return cmdSysInfo_; }
    QPushButton* cmdOK() const { return cmdOK_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* lblTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblCopyright_ = nullptr;
    QLabel* picIcon_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

}  // namespace corvane
