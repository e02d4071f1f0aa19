#include "ui/helpers/picture_box.h"

#include <QPainter>

namespace corvane {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picLogo"));
}

QImage& PictureBox::Canvas() {
    if (canvas_.size() != size()) {
        QImage fresh(size(), QImage::Format_RGB32);
        fresh.fill(palette().color(QPalette::Window));
        if (!canvas_.isNull()) {
            QPainter p(&fresh);
            p.drawImage(0, 0, canvas_);
        }
        canvas_ = fresh;
    }
    return canvas_;
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Canvas());
}

}  // namespace corvane
