#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "ui_core/msgbox/msgbox_layout.h"

namespace corvane::ui {

// Twips and screen pixels meet here only: the ratio comes from the primary
// screen's logical dots per inch (15 twips a pixel at 96 dpi).
double TwipsPerPixelX();
double TwipsPerPixelY();

int ToPixelsX(double twips);
int ToPixelsY(double twips);
double ToTwipsX(int pixels);
double ToTwipsY(int pixels);

QRect ToPixels(const TwipsRect& rect);
QSize ToPixels(double widthTwips, double heightTwips);

}  // namespace corvane::ui
