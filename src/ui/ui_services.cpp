#include "ui/ui_services.h"

#include <filesystem>
#include <map>
#include <utility>

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
    s.fileExists = [](const std::string& path) {
        std::error_code ec;
        return !path.empty() && std::filesystem::is_regular_file(path, ec);
    };
    s.startProgram = [](const std::string&) { return false; };
    s.openHelp = [](const std::string&, int, int) {};
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
