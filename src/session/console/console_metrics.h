#pragma once

#include <optional>
#include <string_view>

#include "ui_core/form_metrics.h"

namespace corvane {

// The console's per-user metrics, as stored: the list's view (0 large
// icons, 1 small icons, 2 list, 3 report) and the window's size, position
// and state. A stored size, position or state that does not read as a
// number (or a state out of range) comes back empty, so the window keeps its
// own; such a view gives the current view.
struct StoredConsoleMetrics {
    std::optional<int> listView;
    std::optional<double> height, width, top, left;
    std::optional<int> windowState;
    // Nothing was saved yet ("List View" is empty): a first opening.
    bool firstOpening = false;
};

// Reads "List View" (empty default: large icons), "Height", "Width", "Top",
// "Left" and "WindowState" in that order, each defaulting to the current
// value.
StoredConsoleMetrics ReadConsoleMetrics(std::string_view formName, int currentView,
                                        const ui::FormMetricsValues& current);

// Writes them in the same order.
void WriteConsoleMetrics(std::string_view formName, int listView, const ui::FormMetricsValues& values);

}  // namespace corvane
