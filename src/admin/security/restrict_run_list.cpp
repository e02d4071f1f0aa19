#include "admin/security/restrict_run_list.h"

#include <array>

#include "lockdown/restrict_run.h"
#include "platform/core/text.h"
#include "platform/settings/registry.h"
#include "session/rules/corvane_restrict_run.h"

namespace corvane {
namespace {

// The plain program name is listed by Add but kept out of sight like the
// editions.
constexpr const char* kPlainProgramName = "Corvane.exe";

bool IsOwnName(const std::string& data) {
    if (data == kPlainProgramName) return true;
    for (const char* name : kCorvaneExecutables)
        if (data == name) return true;
    return false;
}

}  // namespace

std::vector<RestrictRunEntry> ListedRestrictRunEntries() {
    std::vector<RestrictRunEntry> entries;
    Registry reg;
    for (const auto& value : reg.EnumValues(HKEY_CURRENT_USER, kRestrictRunKey)) {
        std::string data = VariantText(value->Value());
        if (text::Trim(data).empty() || IsOwnName(data)) continue;
        entries.push_back({value->ValueName(), std::move(data)});
    }
    return entries;
}

bool IsRefusedRestrictRunName(const std::string& fileName) {
    for (const char* name : kCorvaneExecutables)
        if (text::Equals(fileName, name)) return true;
    return false;
}

void DeleteRestrictRunEntry(const std::string& name) {
    Registry reg;
    reg.DelSubKeyRef(HKEY_CURRENT_USER, kRestrictRunKey, name);
}

}  // namespace corvane
