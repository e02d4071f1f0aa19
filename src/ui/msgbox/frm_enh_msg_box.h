#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <optional>

#include "ui_core/msgbox/msgbox_flags.h"
#include "ui_core/msgbox/msgbox_seam.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace corvane {

class BigTimer;

// The program's message-box window. Run() builds one for a question, shows
// it modally and returns the button code; the window is found in tests by its
// object name "frmEnhMsgBox", its buttons as "cmdButton0" to "cmdButton3".
class frmEnhMsgBox : public QDialog {
    Q_OBJECT

public:
    explicit frmEnhMsgBox(QWidget* parent = nullptr);

    // Shows the question and waits for the answer: 1 to 7, 9 when Help was
    // the last button pressed, 0 when the box closed without a button.
    static int Run(const MsgBoxRequest& request);

    // Values the box is given before it is shown.
    std::optional<MsgBoxFont> MessageFont;
    std::string HelpFile;
    std::int32_t ContextID = 0;
    bool SystemModal = false;
    std::int32_t AutoCloseAfterSecs = 0;

    // The answer word of the last button pressed; empty until one is.
    const QString& SelectedButton() const { return selectedButton_; }

    QPushButton* Button(int index) const { return buttons_[static_cast<std::size_t>(index)]; }
    QLabel* MessageLabel() const { return lblMessage_; }
    QTextEdit* MessageText() const { return txtMessage_; }
    BigTimer* AutoCloseTimer() const { return tmrAutoClose_; }
    // The beep the box sounded (64 asterisk, 0 default), for tests.
    int Sound() const { return sound_; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Build(const MsgBoxRequest& request);
    void ButtonPressed(int index);
    void FirstActivation();

    std::array<QPushButton*, 4> buttons_{};
    std::array<QString, 4> tags_;
    std::array<int, 4> tabPositions_{0, 1, 2, 3};
    QLabel* lblMessage_ = nullptr;
    QTextEdit* txtMessage_ = nullptr;
    std::array<QLabel*, 4> icons_{};
    BigTimer* tmrAutoClose_ = nullptr;
    QString selectedButton_;
    QColor backColor_;
    bool activated_ = false;
    int sound_ = 0;
};

// Answers every question with the program's own message-box window.
class EnhMsgBoxPresenter : public MsgBoxPresenter {
public:
    int Present(const MsgBoxRequest& request) override { return frmEnhMsgBox::Run(request); }
};

}  // namespace corvane
