#include "ui_core/window_geometry.h"

#include <cmath>
#include <cstdint>

namespace corvane::ui {

double TwipsPerPixel(double dotsPerInch) {
    return dotsPerInch > 0 ? kTwipsPerInch / dotsPerInch : 15;
}

TwipsPoint CenteredPosition(double screenWidth, double screenHeight, double windowWidth,
                            double windowHeight) {
    return {screenWidth / 2 - windowWidth / 2, screenHeight / 2 - windowHeight / 2 - 615};
}

std::vector<double> FitColumnWidths(double listWidth, const std::vector<double>& widths) {
    if (widths.empty()) return widths;
    std::int64_t sum = 0;
    for (double w : widths) sum = static_cast<std::int64_t>(std::nearbyint(sum + w));
    const double spare = listWidth - static_cast<double>(sum);
    const double share = std::nearbyint(spare / static_cast<double>(widths.size()));
    std::vector<double> fitted;
    fitted.reserve(widths.size());
    for (double w : widths) fitted.push_back(w + share);
    return fitted;
}

}  // namespace corvane::ui
