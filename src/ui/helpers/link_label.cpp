#include "ui/helpers/link_label.h"

#include <QMouseEvent>

namespace corvane {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(8.25);
    f.setBold(true);
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Highlight));
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}  // namespace corvane
