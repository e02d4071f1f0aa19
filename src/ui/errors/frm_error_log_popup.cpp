#include "ui/errors/frm_error_log_popup.h"

#include <QLabel>
#include <QPushButton>

#include "errors/error_log_rows.h"
#include "ui/helpers/pointer_screen.h"
#include "ui/helpers/screen_metrics.h"

namespace corvane {
namespace {

// Sizes and places in twips.
constexpr double kInnerWidth = 5400;
constexpr double kInnerHeight = 1440;
constexpr double kRowTop = 60;
constexpr double kRowStep = 240;
constexpr const char* kValueNames[frmErrorLogPopup::kRows] = {"lblErrorNumber", "lblDescription", "lblSource",
                                                              "lblLocation", "lblTimeStamp"};

}  // namespace

frmErrorLogPopup::frmErrorLogPopup(QWidget* parent)
    : QuickViewCard(QStringLiteral("frmErrorLogPopup"), kInnerWidth, kInnerHeight, parent) {
    for (int row = 0; row < kRows; ++row) {
        const double top = kRowTop + row * kRowStep;
        QLabel* caption = AddLabel(QStringLiteral("lblCaption%1").arg(row), {60, top, 1260, 255});
        caption->setText(QString::fromLatin1(kErrorLogFieldCaptions[static_cast<std::size_t>(row)]));
        caption->setFont(CardFont(8.25, true));
        values_[static_cast<std::size_t>(row)] = AddLabel(QString::fromLatin1(kValueNames[row]), {1380, top, 3720, 225});
    }
    cmdClose_ = new QPushButton(QStringLiteral("X"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setToolTip(QStringLiteral("Close this pop up window"));
    cmdClose_->setFlat(true);
    cmdClose_->setFont(CardFont(10, true));
    cmdClose_->setGeometry(ui::ToPixels({kInnerWidth - 285, 30, 255, 255}));
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::hide);
    SetFocusHolder(cmdClose_);

    const PointerScreen at = CurrentPointerScreen();
    PlaceAt(at.pointer, at.screen);
}

}  // namespace corvane
