#include "platform/system/workstation_forms.h"

#include <algorithm>
#include <exception>

#include "platform/core/text.h"

namespace corvane {
namespace {

FormSource& Source() {
    static FormSource source;
    return source;
}

std::vector<std::string> LoadedNames() {
    if (!Source().loadedFormNames) return {};
    try {
        return Source().loadedFormNames();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

void SetFormSource(FormSource source) { Source() = std::move(source); }

bool IsFormLoaded(std::string_view formName) {
    const auto names = LoadedNames();
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return text::Equals(name, formName); });
}

void UnloadAllForms(bool keepAll) {
    if (keepAll || !Source().unload) return;
    try {
        if (Source().endDialogs) Source().endDialogs();
    } catch (const std::exception&) {
        // The windows still go, each after the loops above it.
    }
    std::vector<std::string> done;
    // A snapshot: unloading one window may load or unload others.
    for (const auto& name : LoadedNames()) {
        if (text::Equals(name, "frmMain")) continue;
        if (std::find(done.begin(), done.end(), name) != done.end()) continue;
        done.push_back(name);
        try {
            if (Source().unload) Source().unload(name);
        } catch (const std::exception&) {
            // A window that refuses to unload stays; the others still go.
        }
    }
}

}  // namespace corvane
