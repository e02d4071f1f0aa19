#include "ui_core/form_metrics.h"

#include <cmath>

#include "platform/core/raised_error.h"
#include "platform/settings/settings_store.h"
#include "platform/settings/value_text.h"
#include "ui_core/ui_services.h"

namespace corvane::ui {

std::string FormMetricsSection(std::string_view formName) {
    return "Form Metrics\\" + std::string(formName);
}

namespace {

std::string SingleText(double value) { return SingleToText(static_cast<float>(value)); }

// A stored number too large to read leaves the window's value as it is.
double StoredNumber(const std::string& text, double current) {
    try {
        return Val(text);
    } catch (const RaisedError&) {
        return current;
    }
}

}  // namespace

FormMetricsValues ReadFormMetrics(std::string_view formName, const FormMetricsValues& current) {
    const std::string section = FormMetricsSection(formName);
    const auto& get = Services().getUserSetting;
    FormMetricsValues v;
    v.height = StoredNumber(get(section, "Height", SingleText(current.height)), current.height);
    v.width = StoredNumber(get(section, "Width", SingleText(current.width)), current.width);
    v.top = StoredNumber(get(section, "Top", SingleText(current.top)), current.top);
    v.left = StoredNumber(get(section, "Left", SingleText(current.left)), current.left);
    const double state = std::nearbyint(StoredNumber(
        get(section, "WindowState", std::to_string(current.windowState)), current.windowState));
    // Only the three states a window can take; anything else leaves it as it is.
    v.windowState = (state == 0 || state == 1 || state == 2) ? static_cast<int>(state)
                                                             : current.windowState;
    return v;
}

void WriteFormMetrics(std::string_view formName, const FormMetricsValues& values) {
    const std::string section = FormMetricsSection(formName);
    const auto& save = Services().saveUserSetting;
    SettingsSaveBatch batch;  // the five values as one change
    save(section, "Height", SingleText(values.height));
    save(section, "Width", SingleText(values.width));
    save(section, "Top", SingleText(values.top));
    save(section, "Left", SingleText(values.left));
    save(section, "WindowState", std::to_string(values.windowState));
}

}  // namespace corvane::ui
