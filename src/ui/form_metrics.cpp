#include "ui/form_metrics.h"

#include <cmath>
#include <cstdio>

#include "ui/list_export.h"
#include "ui/ui_services.h"

namespace corvane::ui {

std::string FormMetricsSection(std::string_view formName) {
    return "Form Metrics\\" + std::string(formName);
}

std::string SingleText(double value) {
    const float f = static_cast<float>(value);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(f));
    std::string text = buf;
    if (text == "-0") text = "0";
    return text;
}

FormMetricsValues ReadFormMetrics(std::string_view formName, const FormMetricsValues& current) {
    const std::string section = FormMetricsSection(formName);
    const auto& get = Services().getUserSetting;
    FormMetricsValues v;
    v.height = LeadingNumber(get(section, "Height", SingleText(current.height)));
    v.width = LeadingNumber(get(section, "Width", SingleText(current.width)));
    v.top = LeadingNumber(get(section, "Top", SingleText(current.top)));
    v.left = LeadingNumber(get(section, "Left", SingleText(current.left)));
    const double state = std::nearbyint(
        LeadingNumber(get(section, "WindowState", std::to_string(current.windowState))));
    // Only the three states a window can take; anything else leaves it as it is.
    v.windowState = (state == 0 || state == 1 || state == 2) ? static_cast<int>(state)
                                                             : current.windowState;
    return v;
}

void WriteFormMetrics(std::string_view formName, const FormMetricsValues& values) {
    const std::string section = FormMetricsSection(formName);
    const auto& save = Services().saveUserSetting;
    save(section, "Height", SingleText(values.height));
    save(section, "Width", SingleText(values.width));
    save(section, "Top", SingleText(values.top));
    save(section, "Left", SingleText(values.left));
    save(section, "WindowState", std::to_string(values.windowState));
}

}  // namespace corvane::ui
