#include "session/console/console_metrics.h"

#include <charconv>
#include <cmath>
#include <string>

#include "platform/core/text.h"
#include "platform/settings/value_text.h"
#include "ui_core/ui_services.h"

namespace corvane {
namespace {

// The whole text, spaces aside, must be a number.
std::optional<double> Number(const std::string& stored) {
    const std::string_view t = text::TrimSpaces(stored);
    double value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> WholeIn(std::optional<double> value, int lowest, int highest) {
    if (!value) return std::nullopt;
    const double n = std::nearbyint(*value);
    if (n < lowest || n > highest) return std::nullopt;
    return static_cast<int>(n);
}

}  // namespace

StoredConsoleMetrics ReadConsoleMetrics(std::string_view formName, int currentView,
                                        const ui::FormMetricsValues& current) {
    const std::string section = ui::FormMetricsSection(formName);
    const auto get = [&](const char* name, const std::string& fallback) {
        return ui::Services().getUserSetting(section, name, fallback);
    };
    const auto size = [](double v) { return SingleToText(static_cast<float>(v)); };
    StoredConsoleMetrics m;
    const std::string view = get("List View", "");
    m.firstOpening = view.empty();
    m.listView = view.empty() ? std::optional<int>(0) : WholeIn(Number(view), 0, 3);
    if (!m.listView) m.listView = currentView;
    m.height = Number(get("Height", size(current.height)));
    m.width = Number(get("Width", size(current.width)));
    m.top = Number(get("Top", size(current.top)));
    m.left = Number(get("Left", size(current.left)));
    m.windowState = WholeIn(Number(get("WindowState", std::to_string(current.windowState))), 0, 2);
    return m;
}

void WriteConsoleMetrics(std::string_view formName, int listView, const ui::FormMetricsValues& values) {
    ui::Services().saveUserSetting(ui::FormMetricsSection(formName), "List View", std::to_string(listView));
    ui::WriteFormMetrics(formName, values);
}

}  // namespace corvane
