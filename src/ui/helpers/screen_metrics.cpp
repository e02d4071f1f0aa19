#include "ui/helpers/screen_metrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "ui_core/window_geometry.h"

namespace corvane::ui {
namespace {
QScreen* Screen() { return qGuiApp ? QGuiApplication::primaryScreen() : nullptr; }
}  // namespace

double TwipsPerPixelX() {
    const QScreen* s = Screen();
    return TwipsPerPixel(s ? s->logicalDotsPerInchX() : 96);
}

double TwipsPerPixelY() {
    const QScreen* s = Screen();
    return TwipsPerPixel(s ? s->logicalDotsPerInchY() : 96);
}

int ToPixelsX(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixelX())); }
int ToPixelsY(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixelY())); }
double ToTwipsX(int pixels) { return pixels * TwipsPerPixelX(); }
double ToTwipsY(int pixels) { return pixels * TwipsPerPixelY(); }

QRect ToPixels(const TwipsRect& r) {
    return {ToPixelsX(r.left), ToPixelsY(r.top), ToPixelsX(r.width), ToPixelsY(r.height)};
}

QSize ToPixels(double widthTwips, double heightTwips) {
    return {ToPixelsX(widthTwips), ToPixelsY(heightTwips)};
}

}  // namespace corvane::ui
