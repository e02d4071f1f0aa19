// Turns "Require Login" on in the global settings the program loads, and each
// Boolean setting named on the command line, keeping every other value:
// corvane_seed_settings ["Cannot Cancel Login" ...]

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
    for (int i = 1; i < argc; ++i) {
        bool found = false;
        for (const GlobalSetting& setting : GlobalSettings()) {
            auto* flag = std::get_if<bool*>(&setting.variable);
            if (!flag || std::string(setting.name) != argv[i]) continue;
            **flag = true;
            found = true;
        }
        if (!found) {
            std::fprintf(stderr, "no Boolean setting \"%s\"\n", argv[i]);
            return 2;
        }
    }
    SaveGlobalSettings();
    std::printf("\"Require Login\" is on.\n");
    for (int i = 1; i < argc; ++i) std::printf("\"%s\" is on.\n", argv[i]);
    return 0;
}
