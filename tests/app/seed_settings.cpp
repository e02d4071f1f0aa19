// Turns "Require Login" on in the global settings the program loads, and each
// Boolean setting named on the command line (off when the name ends in "=False"),
// keeping every other value:
// corvane_seed_settings ["Cannot Cancel Login" ...] ["Clip Mouse To Login=False" ...]
// Without CORVANE_PROGRAM_DIR and CORVANE_REGISTRY_DIR it uses the folders
// scripts/run.sh gives the program, and it says which file it wrote.

#include <stdlib.h>

#include <cstdio>
#include <string>
#include <variant>

#include "platform/core/environment.h"

#include "platform/core/creation_mode.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/settings_store.h"

namespace {

// The folders scripts/run.sh gives the program when the variables are not set.
void UseRunScriptFolders() {
    using corvane::environment::Variable;
    std::string data = Variable("XDG_DATA_HOME");
    if (data.empty()) data = Variable("HOME") + "/.local/share";
    const std::string home = data + "/corvane";
    ::setenv("CORVANE_PROGRAM_DIR", home.c_str(), 0);
    ::setenv("CORVANE_REGISTRY_DIR", (home + "/registry").c_str(), 0);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace corvane;
    // A hive it creates is as private as one the program creates.
    UsePrivateCreationMask();
    UseRunScriptFolders();
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
    const std::string hive = registry_store::HivePath(HKEY_LOCAL_MACHINE);
    if (gUseGlobalSettingsINIFile)
        std::printf("Wrote the global settings INI file %s (named in the machine hive %s):\n",
                    gGlobalSettingsINIPathname.c_str(), hive.c_str());
    else
        std::printf("Wrote the machine hive %s:\n", hive.c_str());
    std::printf("  \"Require Login\" is on.\n");
    for (int i = 1; i < argc; ++i) std::printf("  \"%s\" is set.\n", argv[i]);
    return 0;
}
