#pragma once

#include <string>
#include <string_view>

namespace corvane::ui {

// A window's size, position (twips) and state (0 normal, 1 minimised,
// 2 maximised) as kept per user.
struct FormMetricsValues {
    double height = 0, width = 0, top = 0, left = 0;
    int windowState = 0;
    bool operator==(const FormMetricsValues&) const = default;
};

// "Form Metrics\" followed by the form's name.
std::string FormMetricsSection(std::string_view formName);

// Reads "Height", "Width", "Top", "Left" and "WindowState" in that order,
// each defaulting to the current value and read as a number (Val); a value
// too large to read keeps the current one.
FormMetricsValues ReadFormMetrics(std::string_view formName, const FormMetricsValues& current);

// Writes the five values in the same order: sizes as the text of a
// single-precision number, the state as a whole number.
void WriteFormMetrics(std::string_view formName, const FormMetricsValues& values);

}  // namespace corvane::ui
