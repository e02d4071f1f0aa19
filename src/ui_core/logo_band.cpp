#include "ui_core/logo_band.h"

#include <cmath>

namespace corvane::ui {

Rgb SplitRgb(std::uint32_t rgb) {
    return {static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
            static_cast<int>((rgb >> 16) & 0xFF)};
}

int LogoStripHeight(int height) {
    const int s = height / 255;
    return s == 0 ? 1 : s;
}

std::vector<LogoStrip> LogoBandStrips(int height, Rgb start, Rgb end) {
    std::vector<LogoStrip> strips;
    const int s = LogoStripHeight(height);
    const Rgb delta{end.red - start.red, end.green - start.green, end.blue - start.blue};
    Rgb current = start;
    int bottom = height;
    for (int y = height; y >= 0; y -= s) {
        strips.push_back({bottom - s, bottom, current});
        bottom -= s;
        // A band of no height has nothing to divide by: it ends here.
        if (height == 0) break;
        const auto step = [&](int d, int from) {
            return static_cast<int>(std::nearbyint(double(height - y) * d / height + from));
        };
        current = {step(delta.red, start.red), step(delta.green, start.green),
                   step(delta.blue, start.blue)};
    }
    return strips;
}

}  // namespace corvane::ui
