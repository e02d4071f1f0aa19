#include "lockdown/restrict_run.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <set>

#include "platform/core/text.h"
#include "platform/settings/registry.h"

namespace corvane {
namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();

// The number a name spells in decimal digits alone, within 32 bits.
std::optional<std::int64_t> NameNumber(const std::string& name) {
    if (name.empty()) return std::nullopt;
    std::int64_t number = 0;
    for (const char c : name) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
        if (number > kLargest) return std::nullopt;
    }
    return number;
}

}  // namespace

std::string NextRestrictRunName(const std::vector<std::string>& namesInUse) {
    std::set<std::int64_t> numbers;
    for (const auto& name : namesInUse)
        if (const auto number = NameNumber(name)) numbers.insert(*number);
    const auto inUse = [&namesInUse](const std::string& name) {
        for (const auto& used : namesInUse)
            if (text::Equals(used, name)) return true;
        return false;
    };

    std::int64_t candidate = numbers.empty() ? 1 : *numbers.rbegin() + 1;
    // At the top of the range the gaps below are all that is left.
    if (candidate > kLargest) candidate = 1;
    while (numbers.count(candidate) > 0 || inUse(std::to_string(candidate))) ++candidate;
    return std::to_string(candidate);
}

std::vector<std::string> RestrictRunNames() {
    std::vector<std::string> names;
    Registry reg;
    for (const auto& value : reg.EnumValues(HKEY_CURRENT_USER, kRestrictRunKey)) names.push_back(value->ValueName());
    return names;
}

bool AddRestrictRunEntry(const std::string& fileName) {
    Registry reg;
    reg.SetKeyRoot(HKEY_CURRENT_USER);
    reg.SetKeyName(kRestrictRunKey);
    reg.SetSubKeyRef(NextRestrictRunName(RestrictRunNames()));
    reg.SetKeyValueType(REG_SZ);
    reg.SetKeyValue(fileName);
    reg.SaveKey();
    return reg.Success();
}

}  // namespace corvane
