#pragma once

#include <array>

#include "ui/helpers/quick_view_card.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

// The quick-view card of one user-log row: seven captions and their values,
// opened beside the pointer. A click on the Active value leaves it open;
// Esc closes it too.
class frmUserLogPopup : public QuickViewCard {
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
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* lblCancel_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QLineEdit* text3_ = nullptr;
    std::array<QLabel*, kRows> lblDetails_{};
    std::array<QLabel*, kRows> values_{};
};

}  // namespace corvane
