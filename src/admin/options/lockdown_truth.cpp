#include "admin/options/lockdown_truth.h"

#include <charconv>
#include <string>

#include "platform/core/raised_error.h"
#include "platform/core/text.h"
#include "platform/settings/variant.h"

namespace corvane::options {

bool LockdownTextIsOn(std::string_view text) {
    const std::string trimmed = text::Trim(text);
    if (text::Equals(trimmed, "True")) return true;
    if (text::Equals(trimmed, "False")) return false;
    double number = 0;
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (!trimmed.empty() && *first == '+') ++first;
    const auto result = std::from_chars(first, last, number);
    if (trimmed.empty() || result.ec != std::errc() || result.ptr != last)
        throw RaisedError(kErrTypeMismatch, "frmMainOptions", "Type mismatch");
    return number != 0;
}

}  // namespace corvane::options
