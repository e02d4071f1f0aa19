#include "ui/helpers/login_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace corvane {
namespace {

QPixmap Blank(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    return p;
}

}  // namespace

QPixmap BannerLockPicture(int size) {
    QPixmap p = Blank(size);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // The shackle, then the body over its feet.
    g.setPen(QPen(QColor(110, 110, 120), s * 0.12, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(Qt::NoBrush);
    g.drawArc(QRectF(s * 0.28, s * 0.08, s * 0.44, s * 0.5), 0, 180 * 16);
    g.drawLine(QPointF(s * 0.28, s * 0.33), QPointF(s * 0.28, s * 0.48));
    g.drawLine(QPointF(s * 0.72, s * 0.33), QPointF(s * 0.72, s * 0.48));
    QLinearGradient gold(0, s * 0.45, 0, s);
    gold.setColorAt(0, QColor(250, 210, 90));
    gold.setColorAt(1, QColor(200, 140, 20));
    g.setPen(QPen(QColor(150, 100, 10), 1));
    g.setBrush(gold);
    g.drawRoundedRect(QRectF(s * 0.16, s * 0.45, s * 0.68, s * 0.5), s * 0.08, s * 0.08);
    // The keyhole.
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(90, 60, 10));
    g.drawEllipse(QPointF(s * 0.5, s * 0.63), s * 0.07, s * 0.07);
    g.drawRect(QRectF(s * 0.47, s * 0.65, s * 0.06, s * 0.17));
    return p;
}

QPixmap LoginPersonPicture(int size) {
    QPixmap p = Blank(size);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient blue(0, 0, 0, s);
    blue.setColorAt(0, QColor(90, 140, 210));
    blue.setColorAt(1, QColor(30, 70, 150));
    g.setPen(QPen(QColor(20, 50, 110), 1));
    g.setBrush(blue);
    // Shoulders, then the head.
    QPainterPath body;
    body.moveTo(s * 0.08, s * 0.92);
    body.cubicTo(s * 0.08, s * 0.58, s * 0.68, s * 0.58, s * 0.68, s * 0.92);
    body.closeSubpath();
    g.drawPath(body);
    g.drawEllipse(QPointF(s * 0.38, s * 0.34), s * 0.17, s * 0.17);
    // A key across the lower right corner.
    g.setPen(QPen(QColor(150, 100, 10), s * 0.06, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(QColor(240, 195, 60));
    g.drawEllipse(QPointF(s * 0.76, s * 0.56), s * 0.1, s * 0.1);
    g.drawLine(QPointF(s * 0.76, s * 0.66), QPointF(s * 0.76, s * 0.95));
    g.drawLine(QPointF(s * 0.76, s * 0.86), QPointF(s * 0.86, s * 0.86));
    g.drawLine(QPointF(s * 0.76, s * 0.78), QPointF(s * 0.84, s * 0.78));
    return p;
}

QPixmap CapsLockPicture(int size) {
    QPixmap p = Blank(size);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    g.setPen(QPen(QColor(160, 110, 0), 1));
    g.setBrush(QColor(255, 210, 40));
    g.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.2, s * 0.2);
    // An arrow pointing up over a bar: the Caps Lock key.
    QPainterPath arrow;
    arrow.moveTo(s * 0.5, s * 0.14);
    arrow.lineTo(s * 0.84, s * 0.5);
    arrow.lineTo(s * 0.64, s * 0.5);
    arrow.lineTo(s * 0.64, s * 0.66);
    arrow.lineTo(s * 0.36, s * 0.66);
    arrow.lineTo(s * 0.36, s * 0.5);
    arrow.lineTo(s * 0.16, s * 0.5);
    arrow.closeSubpath();
    g.setPen(Qt::NoPen);
    g.setBrush(Qt::black);
    g.drawPath(arrow);
    g.drawRect(QRectF(s * 0.36, s * 0.74, s * 0.28, s * 0.1));
    return p;
}

}  // namespace corvane
