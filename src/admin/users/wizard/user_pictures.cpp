#include "admin/users/wizard/user_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace corvane {
namespace {

QPixmap Blank(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap UserPicture(int size, bool disabled) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QColor skin = disabled ? QColor(170, 170, 170) : QColor(236, 190, 140);
    const QColor shirt = disabled ? QColor(130, 130, 130) : QColor(40, 90, 170);
    p.setPen(QPen(QColor(60, 60, 60), s / 24.0));
    p.setBrush(shirt);
    QPainterPath body;
    body.moveTo(s * 0.12, s * 0.95);
    body.cubicTo(s * 0.12, s * 0.55, s * 0.88, s * 0.55, s * 0.88, s * 0.95);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(skin);
    p.drawEllipse(QRectF(s * 0.30, s * 0.08, s * 0.40, s * 0.42));
    if (disabled) {
        p.setPen(QPen(QColor(200, 30, 30), s / 9.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.15, s * 0.15), QPointF(s * 0.85, s * 0.85));
    }
    return pixmap;
}

QPixmap KeyPicture(int size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(QPen(QColor(120, 90, 10), s / 16.0));
    p.setBrush(QColor(230, 190, 60));
    p.drawEllipse(QRectF(s * 0.08, s * 0.30, s * 0.40, s * 0.40));
    p.drawRect(QRectF(s * 0.44, s * 0.45, s * 0.48, s * 0.11));
    p.drawRect(QRectF(s * 0.74, s * 0.55, s * 0.08, s * 0.16));
    p.drawRect(QRectF(s * 0.84, s * 0.55, s * 0.08, s * 0.12));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(s * 0.18, s * 0.42, s * 0.12, s * 0.16));
    return pixmap;
}

QPixmap ListPicture(int size, const QColor& accent) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(QPen(QColor(90, 90, 90), s / 24.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(s * 0.15, s * 0.06, s * 0.70, s * 0.88));
    p.setPen(QPen(accent, s / 14.0));
    for (int i = 0; i < 4; ++i) {
        const double y = s * (0.25 + i * 0.17);
        p.drawLine(QPointF(s * 0.27, y), QPointF(s * 0.73, y));
    }
    return pixmap;
}

}  // namespace corvane
