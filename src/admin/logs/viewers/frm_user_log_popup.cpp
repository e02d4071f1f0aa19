#include "admin/logs/viewers/frm_user_log_popup.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/helpers/pointer_screen.h"
#include "ui/helpers/screen_metrics.h"

namespace corvane {
namespace {

// Sizes and places in twips.
constexpr int kInnerWidth = 4995;
constexpr int kInnerHeight = 1575;
constexpr std::array<int, frmUserLogPopup::kRows> kRowTops{15, 210, 420, 660, 900, 1110, 1320};
constexpr const char* kValueNames[frmUserLogPopup::kRows] = {
    "lblUserLogin", "lblUserName", "lblApplication", "lblComputer", "lblLoginStamp", "lblLogoutStamp", "lblSuccess"};
constexpr int kSuccessRow = 6;

QPoint PlaceBesidePointer(QPoint pointer, QSize card, const QRect& screen) {
    QPoint place = pointer;
    if (pointer.x() + card.width() > screen.x() + screen.width()) place.rx() -= card.width();
    if (pointer.y() + card.height() > screen.y() + screen.height()) place.ry() -= card.height();
    return place;
}

}  // namespace

frmUserLogPopup::frmUserLogPopup(QWidget* parent)
    : QuickViewCard(QStringLiteral("frmUserLogPopup"), kInnerWidth, kInnerHeight, parent) {
    // Keeps the keyboard focus out of sight, so Esc reaches the card.
    text3_ = new QLineEdit(this);
    text3_->setObjectName(QStringLiteral("Text3"));
    text3_->setGeometry(ui::ToPixels({-500, 0, 375, 285}));
    SetFocusHolder(text3_);
    cmdCancel_ = new QPushButton(QStringLiteral("X"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setGeometry(ui::ToPixels({-10000, -10000, 250, 250}));
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::hide);
    setTabOrder(text3_, cmdCancel_);

    lblCancel_ = AddLabel(QStringLiteral("lblCancel"), {4680, 0, 225, 255});
    lblCancel_->setText(QStringLiteral("X"));
    lblCancel_->setFont(CardFont(12, true));
    for (int row = 0; row < kRows; ++row) {
        const std::size_t r = static_cast<std::size_t>(row);
        lblDetails_[r] = AddLabel(QStringLiteral("lblDetails%1").arg(row),
                                  {30, double(kRowTops[r]), row < 3 ? 2000.0 : 1995.0, 255});
        lblDetails_[r]->setFont(CardFont(8.25, true));
        values_[r] = AddLabel(QString::fromLatin1(kValueNames[r]), {2160, double(kRowTops[r]), 2505, 225});
    }
    KeepOpenOnClick(values_[kSuccessRow]);

    const PointerScreen at = CurrentPointerScreen();
    PlaceAt(PlaceBesidePointer(at.pointer, size(), at.screen), at.screen);
}

void frmUserLogPopup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_->click();
        return;
    }
    QuickViewCard::keyPressEvent(event);
}

}  // namespace corvane
