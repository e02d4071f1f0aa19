// Turns "Require Login" on in the global settings the program loads, keeping
// every other value: corvane_seed_settings

#include <cstdio>

#include "platform/core/creation_mode.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "platform/settings/settings_store.h"

int main() {
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
    SaveGlobalSettings();
    std::printf("\"Require Login\" is on.\n");
    return 0;
}
