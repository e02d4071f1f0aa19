#include "ui_core/balloon_outline.h"

namespace corvane::ui {

std::vector<OutlinePoint> BalloonOutline(int w, int h) {
    // The top-left corner, from the left edge up to the top edge; the other
    // three corners are its mirror images.
    static constexpr OutlinePoint kCorner[14] = {{0, 12}, {1, 11}, {1, 10}, {2, 9}, {2, 8},
                                                 {3, 6},  {4, 5},  {5, 4},  {6, 3}, {8, 2},
                                                 {9, 2},  {10, 1}, {11, 1}, {12, 0}};
    std::vector<OutlinePoint> points;
    points.reserve(56);
    for (const auto& p : kCorner) points.push_back({p.x, p.y});
    for (int i = 13; i >= 0; --i) points.push_back({w - kCorner[i].x, kCorner[i].y});
    for (const auto& p : kCorner) points.push_back({w - p.x, h - p.y});
    for (int i = 13; i >= 0; --i) points.push_back({kCorner[i].x, h - kCorner[i].y});
    return points;
}

}  // namespace corvane::ui
