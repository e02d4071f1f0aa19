#pragma once

#include <QFont>
#include <QPointer>
#include <QWidget>
#include <cstdint>

class QLabel;

namespace corvane {

class frmBalloon;

// A balloon-tip control: Show opens a balloon window at the control's place
// on the screen with the control's texts, icon, close button, size, font and
// automatic close. The control itself shows nothing while the program runs.
class Balloon : public QWidget {
    Q_OBJECT

public:
    explicit Balloon(QWidget* parent = nullptr);

    // Opens a new balloon; an earlier one still open stays open on its own.
    void Show();
    // Hides the last balloon opened, without closing it.
    void Hide();

    QString Caption;
    QString BodyText;
    bool ShowClose = true;
    std::int32_t AutoCloseAfterSecs = 0;  // 0 = never
    std::int32_t BalloonWidth = 4680;     // twips
    std::int32_t BalloonHeight = 1620;    // twips
    std::int32_t WhichIcon = 0;           // 1 to 3: an icon; else none
    QFont Font;                           // name and size of the texts

    // The balloon window last opened, while it is open.
    frmBalloon* Window() const { return window_; }

private:
    QLabel* imgControl_ = nullptr;
    QPointer<frmBalloon> window_;
};

}  // namespace corvane
