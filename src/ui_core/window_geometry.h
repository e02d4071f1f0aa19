#pragma once

#include <vector>

namespace corvane::ui {

// Twips are 1/1440 inch; a screen of d dots per inch has 1440 / d twips per
// pixel.
inline constexpr double kTwipsPerInch = 1440;
double TwipsPerPixel(double dotsPerInch);

struct TwipsPoint {
    double left = 0, top = 0;
    bool operator==(const TwipsPoint&) const = default;
};

// Where a window goes to sit centred left to right and 615 twips above the
// middle of the screen; nothing is clamped to the screen.
TwipsPoint CenteredPosition(double screenWidth, double screenHeight, double windowWidth,
                            double windowHeight);

// Spreads a list's spare width evenly over its columns: each column gets
// (list width - sum of widths) / count, rounded half to even. The sum is
// taken in 32 bits so wide lists cannot overflow it.
std::vector<double> FitColumnWidths(double listWidth, const std::vector<double>& widths);

}  // namespace corvane::ui
