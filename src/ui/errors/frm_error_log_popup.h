#pragma once

#include <array>

#include "ui/helpers/quick_view_card.h"

class QLabel;
class QPushButton;

namespace corvane {

// The quick-view card of one error-log line: its five fields beside the
// captions "Error Number:", "Description:", "Source:", "Location:" and
// "Time Stamp:", with its top left corner at the pointer. Any click on it,
// its close button "X" and losing the focus hide it.
class frmErrorLogPopup : public QuickViewCard {
    Q_OBJECT

public:
    static constexpr int kRows = 5;

    // Placed at the pointer (CurrentPointerScreen) as it is made, as far as
    // the screen holds it.
    explicit frmErrorLogPopup(QWidget* parent = nullptr);

    // lblErrorNumber, lblDescription, lblSource, lblLocation, lblTimeStamp.
    QLabel* ValueLabel(int row) const { return values_.at(static_cast<std::size_t>(row)); }

private:
    QPushButton* cmdClose_ = nullptr;
    std::array<QLabel*, kRows> values_{};
};

}  // namespace corvane
