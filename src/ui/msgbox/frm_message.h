#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace corvane {

// A window for typing a network message. Send is enabled while there is text
// and does nothing yet; Close closes the window.
class frmMessage : public QDialog {
    Q_OBJECT

public:
    explicit frmMessage(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* txtMessage_ = nullptr;
    QPushButton* cmdSend_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

}  // namespace corvane
