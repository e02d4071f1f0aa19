#include "ui/ui_services.h"

#include <map>
#include <utility>

#include "platform/file_helpers.h"
#include "platform/process_spawn.h"

namespace corvane::ui {
namespace {

// Until the settings store is wired in, per-user values live for the run.
std::map<std::pair<std::string, std::string>, std::string>& MemorySettings() {
    static std::map<std::pair<std::string, std::string>, std::string> values;
    return values;
}

UiServices& Current() {
    static UiServices services = DefaultServices();
    return services;
}

}  // namespace

UiServices DefaultServices() {
    UiServices s;
    s.getUserSetting = [](const std::string& section, const std::string& key,
                          const std::string& defaultValue) {
        const auto it = MemorySettings().find({section, key});
        return it == MemorySettings().end() ? defaultValue : it->second;
    };
    s.saveUserSetting = [](const std::string& section, const std::string& key,
                           const std::string& value) { MemorySettings()[{section, key}] = value; };
    s.language = [] { return 0; };
    s.readMachineRegistryString = [](const std::string&, const std::string&) {
        return std::optional<std::string>();
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
