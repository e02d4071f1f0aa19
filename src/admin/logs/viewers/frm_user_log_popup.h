#pragma once

#include <QWidget>
#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

// The quick-view card of one user-log row: seven captions and their values
// on a pale yellow card without frame or title bar, opened beside the
// pointer. It hides itself on a click anywhere on it except on the Active
// value, on Esc and when it stops being the active window; its owner
// unloads it then.
class frmUserLogPopup : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRows = 7;

    // Placed beside the pointer (CurrentPointerScreen) as it is made: its
    // top left corner at the pointer, or to the left of or above the
    // pointer where it would pass the screen's right or bottom edge.
    explicit frmUserLogPopup(QWidget* parent = nullptr);

    // lblDetails(0 to 6), and the value labels in the same row order
    // (lblUserLogin ... lblSuccess).
    QLabel* DetailsLabel(int row) const { return lblDetails_.at(static_cast<std::size_t>(row)); }
    QLabel* ValueLabel(int row) const { return values_.at(static_cast<std::size_t>(row)); }

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QFrame* shape_ = nullptr;
    QLabel* lblCancel_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QLineEdit* text3_ = nullptr;
    std::array<QLabel*, kRows> lblDetails_{};
    std::array<QLabel*, kRows> values_{};
    bool wasActive_ = false;
};

}  // namespace corvane
