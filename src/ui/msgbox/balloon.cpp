#include "ui/msgbox/balloon.h"

#include <QLabel>
#include <QStyle>
#include <cmath>

#include "ui/msgbox/frm_balloon.h"
#include "ui/helpers/screen_metrics.h"

namespace corvane {

Balloon::Balloon(QWidget* parent) : QWidget(parent), Font(parent ? parent->font() : font()) {
    setObjectName(QStringLiteral("Balloon"));
    setFixedSize(ui::ToPixels(240, 240));
    imgControl_ = new QLabel(this);
    imgControl_->setObjectName(QStringLiteral("imgControl"));
    imgControl_->setScaledContents(true);
    imgControl_->setGeometry(rect());
    // The control's picture is for designing windows only.
    imgControl_->hide();
}

void Balloon::Show() {
    // The balloon is owned by the window that holds the control.
    auto* balloon = new frmBalloon(window());
    window_ = balloon;
    const QPoint screen = mapToGlobal(QPoint(0, 0));
    const auto posX = static_cast<std::int32_t>(std::lround(ui::ToTwipsX(screen.x())));
    const auto posY = static_cast<std::int32_t>(std::lround(ui::ToTwipsY(screen.y())));
    balloon->SetBalloon(Caption, BodyText, posX, posY, WhichIcon, ShowClose, AutoCloseAfterSecs,
                        BalloonHeight, BalloonWidth, Font.family(), Font.pointSizeF());
    balloon->show();
}

void Balloon::Hide() {
    if (window_) window_->hide();
}

}  // namespace corvane
