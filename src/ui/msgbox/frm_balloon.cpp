#include "ui/msgbox/frm_balloon.h"

#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "ui_core/balloon_outline.h"
#include "ui/helpers/big_timer.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_metrics.h"

namespace corvane {
namespace {

QPixmap IconPixmap(const QWidget* w, int whichIcon) {
    static constexpr QStyle::StandardPixmap kIcons[] = {QStyle::SP_MessageBoxInformation,
                                                        QStyle::SP_MessageBoxWarning,
                                                        QStyle::SP_MessageBoxCritical};
    return w->style()->standardIcon(kIcons[whichIcon - 1]).pixmap(16, 16);
}

QPixmap CloseButtonPixmap(const QWidget* w, bool pressed) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(w->palette().color(QPalette::ToolTipText));
    p.setBrush(pressed ? w->palette().color(QPalette::Mid) : QColor(Qt::transparent));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    return pm;
}

}  // namespace

frmBalloon::frmBalloon(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmBalloon"));
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
    setPalette(pal);
    setAutoFillBackground(true);

    lblTitle_ = new QLabel(this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = font();
    bold.setBold(true);
    lblTitle_->setFont(bold);
    lblTitle_->setGeometry(ui::ToPixels({480, 120, 3735, 255}));

    lblText_ = new QLabel(this);
    lblText_->setObjectName(QStringLiteral("lblText"));
    lblText_->setWordWrap(true);
    lblText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblText_->setGeometry(ui::ToPixels({120, 480, 4410, 1035}));

    imgDisplayIcon_ = new QLabel(this);
    imgDisplayIcon_->setObjectName(QStringLiteral("imgDisplayIcon"));
    imgDisplayIcon_->setScaledContents(true);
    imgDisplayIcon_->setGeometry(ui::ToPixels({120, 120, 240, 240}));

    imgX_ = new QLabel(this);
    imgX_->setObjectName(QStringLiteral("imgX"));
    imgX_->setPixmap(CloseButtonPixmap(this, false));
    imgX_->setGeometry(ui::ToPixels({4275, 90, 240, 240}));

    lblX_ = new QLabel(QStringLiteral("\u00D7"), this);
    lblX_->setObjectName(QStringLiteral("lblX"));
    lblX_->setAlignment(Qt::AlignCenter);
    lblX_->setToolTip(QStringLiteral("Close"));
    lblX_->setGeometry(ui::ToPixels({4305, 135, 210, 195}));

    // Every part passes its clicks on: a click anywhere closes the balloon.
    for (QWidget* part : {static_cast<QWidget*>(lblTitle_), static_cast<QWidget*>(lblText_),
                          static_cast<QWidget*>(imgDisplayIcon_), static_cast<QWidget*>(imgX_),
                          static_cast<QWidget*>(lblX_)})
        part->setAttribute(Qt::WA_TransparentForMouseEvents);

    tmrAutoClose_ = new BigTimer(this);
    tmrAutoClose_->setObjectName(QStringLiteral("tmrAutoClose"));
    tmrAutoClose_->hide();
    connect(tmrAutoClose_, &BigTimer::Timer, this, &frmBalloon::HideBalloon);

    resize(ui::ToPixels(4680, 1620));
    BuildOutline();
}

void frmBalloon::SetBalloon(const QString& caption, const QString& bodyText, std::int32_t posX,
                            std::int32_t posY, std::int32_t whichIcon, bool showClose,
                            std::int32_t autoCloseAfterSecs, std::int32_t balloonHeight,
                            std::int32_t balloonWidth, QString fontName, double fontSize) {
    lblTitle_->setText(caption);
    lblText_->setText(bodyText);
    move(ui::ToPixelsX(posX), ui::ToPixelsY(posY));
    if (whichIcon >= 1 && whichIcon <= 3) {
        imgDisplayIcon_->setPixmap(IconPixmap(this, whichIcon));
        imgDisplayIcon_->show();
    } else {
        imgDisplayIcon_->hide();
        lblTitle_->move(imgDisplayIcon_->pos());
    }
    imgX_->setVisible(showClose);
    lblX_->setVisible(showClose);
    if (autoCloseAfterSecs != 0) {
        tmrAutoClose_->SetInterval(autoCloseAfterSecs);
        tmrAutoClose_->SetEnabled(true);
    } else {
        tmrAutoClose_->SetEnabled(false);
    }
    resize(ui::ToPixels(balloonWidth, balloonHeight));
    KeepOnScreen(this);
    BuildOutline();
    if (fontName == QLatin1String("Tahoma, if exists"))
        fontName = DoesTahomaExist() ? QStringLiteral("Tahoma") : QStringLiteral("MS Sans Serif");
    QFont f = font();
    f.setFamilies({fontName});
    setFont(f);
    for (QLabel* label : {lblText_, lblTitle_}) {
        QFont lf = label->font();
        lf.setFamilies({fontName});
        if (fontSize > 0) lf.setPointSizeF(fontSize);
        label->setFont(lf);
    }
}

void frmBalloon::HideBalloon() { close(); }

bool frmBalloon::DoesTahomaExist() {
    return QFontDatabase::families().contains(QStringLiteral("Tahoma"));
}

void frmBalloon::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Rearrange();
}

void frmBalloon::Rearrange() {
    const int w = width();
    const int h = height();
    lblText_->resize(w - 2 * lblText_->x(), h - lblText_->y() - 10);
    lblTitle_->resize(w - 2 * lblTitle_->x(), lblTitle_->height());
    lblX_->move(static_cast<int>(w - 1.5 * lblX_->width() - 1), lblX_->y());
    imgX_->move(static_cast<int>(w - 1.5 * imgX_->width()), imgX_->y());
    BuildOutline();
}

void frmBalloon::BuildOutline() {
    outline_.clear();
    for (const ui::OutlinePoint& p : ui::BalloonOutline(width(), height()))
        outline_ << QPoint(p.x, p.y);
    setMask(QRegion(outline_, Qt::WindingFill));
    update();
}

void frmBalloon::paintEvent(QPaintEvent*) {
    // The border line along the outline.
    QPainter p(this);
    p.setPen(palette().color(QPalette::ToolTipText));
    p.drawPolygon(outline_);
}

bool frmBalloon::OnCloseButton(const QPoint& pos) const {
    return (imgX_->isVisible() && imgX_->geometry().contains(pos)) ||
           (lblX_->isVisible() && lblX_->geometry().contains(pos));
}

void frmBalloon::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnCloseButton(event->position().toPoint())) {
        closePressed_ = true;
        imgX_->setPixmap(CloseButtonPixmap(this, true));
    }
    event->accept();
}

void frmBalloon::mouseReleaseEvent(QMouseEvent* event) {
    if (closePressed_) {
        closePressed_ = false;
        imgX_->setPixmap(CloseButtonPixmap(this, false));
    }
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        HideBalloon();
}

}  // namespace corvane
