// Turns "Require Login" on in the global settings the program loads, and each
// Boolean setting named on the command line (off when the name ends in "=False"),
// keeping every other value:
// corvane_seed_settings ["Cannot Cancel Login" ...] ["Clip Mouse To Login=False" ...]

#include <cstdio>
#include <string>
#include <variant>

#include "platform/core/creation_mode.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "platform/settings/settings_store.h"

int main(int argc, char** argv) {
    using namespace corvane;
    // A hive it creates is as private as one the program creates.
    UsePrivateCreationMask();
    SetProductInfo();
    try {
        LoadSettingsSource();
        LoadLocalSettings();
        LoadGlobalSettings();
    } catch (...) {
        // A value that cannot be read keeps its default; the rest is loaded.
    }
    gRequireLogin = true;
    const std::string kOff = "=False";
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        const bool on = !(name.size() > kOff.size() && name.ends_with(kOff));
        if (!on) name.resize(name.size() - kOff.size());
        bool found = false;
        for (const GlobalSetting& setting : GlobalSettings()) {
            auto* flag = std::get_if<bool*>(&setting.variable);
            if (!flag || std::string(setting.name) != name) continue;
            **flag = on;
            found = true;
        }
        if (!found) {
            std::fprintf(stderr, "no Boolean setting \"%s\"\n", argv[i]);
            return 2;
        }
    }
    SaveGlobalSettings();
    std::printf("\"Require Login\" is on.\n");
    for (int i = 1; i < argc; ++i) std::printf("\"%s\" is set.\n", argv[i]);
    return 0;
}
