#include "ui_core/ui_services.h"

#include <map>
#include <utility>

#include "platform/system/file_helpers.h"
#include "platform/settings/global_settings.h"
#include "platform/system/process_spawn.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/settings_store.h"

namespace corvane::ui {
namespace {

UiServices& Current() {
    static UiServices services = DefaultServices();
    return services;
}

}  // namespace

UiServices DefaultServices() {
    UiServices s;
    s.getUserSetting = [](const std::string& section, const std::string& key,
                          const std::string& defaultValue) {
        return GetUserSetting(section, key, defaultValue);
    };
    s.saveUserSetting = [](const std::string& section, const std::string& key,
                           const std::string& value) { SaveUserSetting(section, key, value); };
    s.language = [] { return static_cast<int>(gLanguage); };
    s.readMachineRegistryString = [](const std::string& key, const std::string& value) {
        // A text no stored value holds tells a missing value from an empty one.
        static const std::string kMissing("\x01missing\x01");
        std::string text = ReadRegistryValue(HKEY_LOCAL_MACHINE, key, value, kMissing);
        return text == kMissing ? std::optional<std::string>() : std::optional<std::string>(text);
    };
    s.fileExists = [](const std::string& path) { return File().FileExists(path); };
    s.startProgram = [](const std::string& program) { return SpawnProcess({program}) != 0; };
    // The desktop's opener shows the help file; a topic cannot be asked for.
    s.openHelp = [](const std::string& target, int, int) {
        OpenWithDesktop(target.substr(0, target.find('>')));
    };
    return s;
}

const UiServices& Services() { return Current(); }

UiServices SetServices(UiServices services) {
    UiServices defaults = DefaultServices();
    if (!services.getUserSetting) services.getUserSetting = defaults.getUserSetting;
    if (!services.saveUserSetting) services.saveUserSetting = defaults.saveUserSetting;
    if (!services.language) services.language = defaults.language;
    if (!services.readMachineRegistryString)
        services.readMachineRegistryString = defaults.readMachineRegistryString;
    if (!services.fileExists) services.fileExists = defaults.fileExists;
    if (!services.startProgram) services.startProgram = defaults.startProgram;
    if (!services.openHelp) services.openHelp = defaults.openHelp;
    return std::exchange(Current(), std::move(services));
}

}  // namespace corvane::ui
