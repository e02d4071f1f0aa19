#pragma once

#include <cstdint>
#include <vector>

namespace corvane::ui {

struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Red in the low byte, then green, then blue.
Rgb SplitRgb(std::uint32_t rgb);

// One horizontal strip of the band, in pixels from the top.
struct LogoStrip {
    int top = 0, bottom = 0;
    Rgb color;
    bool operator==(const LogoStrip&) const = default;
};

// Strip height for a band of the given height: height / 255, at least 1.
int LogoStripHeight(int height);

// The strips of a band of the given height, bottom first: the two lowest in
// the start colour, each further one S / H of the way on to the end colour.
// Strips above the top edge are left for the painter to clip.
std::vector<LogoStrip> LogoBandStrips(int height, Rgb start, Rgb end);

}  // namespace corvane::ui
