#pragma once

#include <QWidget>

class QLabel;

namespace corvane {

// The log-off notice: a small centred window with a picture and "Logging
// Off, Please Wait...", no buttons, no input.
class frmLogout : public QWidget {
    Q_OBJECT

public:
    explicit frmLogout(QWidget* parent = nullptr);

    // True from load until the first activation.
    bool FormLoad = true;
    void SetLanguage();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* imgLogout_ = nullptr;
    QLabel* lblLogout_ = nullptr;
};

}  // namespace corvane
