#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>

#include "ui_core/logo_band.h"

class QWidget;

namespace corvane {

class PictureBox;

// Paints a vertical colour band into a picture box: a gradient from the start
// colour at the bottom to the end colour at the top, with the caption written
// upwards near its left edge. Colours are OLE colours, worked out when set.
class ILogo {
public:
    ILogo();

    void SetCaption(const QString& caption) { caption_ = caption; }
    const QString& Caption() const { return caption_; }

    // Attaches the box to draw in; anything but a PictureBox raises the
    // type-mismatch error (13).
    void SetDrawingObject(QWidget* picture);

    std::int32_t StartColor() const { return startColor_; }
    void SetStartColor(std::int32_t color);
    std::int32_t EndColor() const { return endColor_; }
    void SetEndColor(std::int32_t color);

    // Draws the band into picThis, made as high as frm's inside; an empty
    // caption keeps the one set before. Without a window or a box nothing
    // happens.
    void ShowLogoBar(QWidget* frm, QWidget* picThis, const QString& caption);

    ui::Rgb StartRgb() const { return start_; }
    ui::Rgb EndRgb() const { return end_; }

private:
    void Draw();

    QPointer<PictureBox> picture_;
    QString caption_;
    ui::Rgb start_;
    std::int32_t startColor_ = 0;
    ui::Rgb end_;
    std::int32_t endColor_ = 0;
};

}  // namespace corvane
