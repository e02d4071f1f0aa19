#include "session/rules/corvane_restrict_run.h"

#include <array>

#include "lockdown/restrict_run.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/registry.h"

namespace corvane {

void CorvaneToRestrictRun() {
    std::array<bool, kCorvaneExecutables.size()> listed{};
    const std::string place = "Functions.CorvaneToRestrictRun";
    const bool carriedOn = RunTrapped(place, {[&] {
        Registry reg;
        for (const auto& value : reg.EnumValues(HKEY_CURRENT_USER, kRestrictRunKey)) {
            const std::string data = VariantText(value->Value());
            for (std::size_t i = 0; i < kCorvaneExecutables.size(); ++i)
                if (text::Equals(data, kCorvaneExecutables[i])) listed[i] = true;
        }
    }});
    if (!carriedOn) return;
    for (std::size_t i = 0; i < kCorvaneExecutables.size(); ++i) {
        if (listed[i]) continue;
        // A write the store refuses is not reported; the list stays as it was.
        if (!RunTrapped(place, {[&] { AddRestrictRunEntry(kCorvaneExecutables[i]); }})) return;
    }
}

}  // namespace corvane
