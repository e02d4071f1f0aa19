#pragma once

#include <vector>

namespace corvane::ui {

struct OutlinePoint {
    int x = 0, y = 0;
    bool operator==(const OutlinePoint&) const = default;
};

// The balloon's shape for an inside of w x h pixels: 56 points clockwise from
// the left edge, every corner rounded by the same 14-step staircase.
std::vector<OutlinePoint> BalloonOutline(int w, int h);

}  // namespace corvane::ui
