#include "ui/helpers/ilogo.h"

#include <QPainter>

#include "platform/core/raised_error.h"
#include "platform/settings/variant.h"
#include "ui/helpers/ole_color.h"
#include "ui/helpers/picture_box.h"

namespace corvane {
namespace {

ui::Rgb Components(std::int32_t oleColor) {
    const auto color = ui::TranslateOleColor(oleColor);
    return color ? ui::SplitRgb(ui::ToRgbValue(*color)) : ui::Rgb{};
}

}  // namespace

ILogo::ILogo() : endColor_(ui::kButtonFaceColor) { end_ = Components(endColor_); }

void ILogo::SetDrawingObject(QWidget* picture) {
    auto* box = qobject_cast<PictureBox*>(picture);
    if (!box) throw RaisedError(kErrTypeMismatch, "ILogo.DrawingObject", "Type mismatch");
    picture_ = box;
}

void ILogo::SetStartColor(std::int32_t color) {
    if (color == startColor_) return;
    startColor_ = color;
    start_ = Components(color);
    if (picture_) Draw();
}

void ILogo::SetEndColor(std::int32_t color) {
    if (color == endColor_) return;
    endColor_ = color;
    end_ = Components(color);
    if (picture_) Draw();
}

void ILogo::ShowLogoBar(QWidget* frm, QWidget* picThis, const QString& caption) {
    if (!frm || !picThis) return;
    SetDrawingObject(picThis);
    if (!caption.isEmpty()) caption_ = caption;
    picture_->resize(picture_->width(), frm->contentsRect().height());
    Draw();
}

void ILogo::Draw() {
    PictureBox* box = picture_;
    if (!box) return;
    const int height = box->height();
    const int width = box->width();
    QImage& canvas = box->Canvas();
    {
        QPainter p(&canvas);
        for (const ui::LogoStrip& strip : ui::LogoBandStrips(height, start_, end_)) {
            const QColor c(strip.color.red, strip.color.green, strip.color.blue);
            p.fillRect(QRect(0, strip.top, width, strip.bottom - strip.top), c);
        }
        if (height > 0 && !caption_.isEmpty()) {
            // Upwards from 16 pixels above the bottom, in the box's own font
            // and text colour, on a clear background.
            QFont font = box->font();
            font.setStyleStrategy(QFont::PreferAntialias);
            p.setFont(font);
            p.setPen(box->palette().color(QPalette::WindowText));
            p.translate(0, height - 16);
            p.rotate(-90);
            p.drawText(QPoint(0, p.fontMetrics().ascent()), caption_);
        }
    }
    box->Refresh();
}

}  // namespace corvane
