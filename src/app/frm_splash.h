#pragma once

#include <QDialog>
#include <QPixmap>
#include <QTimer>

class QLabel;

namespace corvane {

// The start-up picture: 7800 × 5300 twips, centred and top-most, with the
// version in lblSplash. It closes itself when tmrUnload fires, one second
// after loading. A picture named after the program's title (".jpg") in the
// program folder replaces the built-in one when it can be read.
class frmSplash : public QDialog {
    Q_OBJECT

public:
    explicit frmSplash(QWidget* parent = nullptr);

    void LoadSplashPicture();
    // The picture shown; null while the built-in one is drawn.
    const QPixmap& Picture() const { return picture_; }
    QTimer* tmrUnload() { return &tmrUnload_; }
    QLabel* lblSplash() const { return lblSplash_; }

    // The time the splash stays up, for the whole program; tests shorten it.
    static void SetUnloadInterval(int milliseconds);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* lblSplash_ = nullptr;
    QTimer tmrUnload_;
    QPixmap picture_;
};

// "Version: M.m.r" from the program's version.
QString SplashVersionText();

}  // namespace corvane
