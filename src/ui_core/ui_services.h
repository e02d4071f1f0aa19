#pragma once

#include <functional>
#include <optional>
#include <string>

namespace corvane::ui {

// What the window layer needs of the rest of the program, behind one seam so
// that it builds and tests on its own. ui_services.cpp holds the wiring to
// the settings store and the platform helpers; tests replace single members.
struct UiServices {
    // Per-user setting of a section ("Form Metrics\frmX"), or the default.
    std::function<std::string(const std::string& section, const std::string& key,
                              const std::string& defaultValue)>
        getUserSetting;
    std::function<void(const std::string& section, const std::string& key,
                       const std::string& value)>
        saveUserSetting;
    // The "Language" setting: 0 US, 1 UK.
    std::function<int()> language;
    // A text value under the machine's registry root, or nothing when it
    // cannot be read.
    std::function<std::optional<std::string>(const std::string& key, const std::string& value)>
        readMachineRegistryString;
    // True only for an existing file (not a folder).
    std::function<bool(const std::string& path)> fileExists;
    // Starts a program in a normal window without waiting; false when it
    // could not be started.
    std::function<bool(const std::string& commandLine)> startProgram;
    // Opens a help target ("file" or "file>pane") with the help command
    // (0 display topic, 15 help context) and its data.
    std::function<void(const std::string& target, int command, int data)> openHelp;
};

// The services in force; never has an empty member.
const UiServices& Services();

// Replaces the services; empty members keep the defaults. Returns the old set
// so that a test can put it back.
UiServices SetServices(UiServices services);

// The defaults: the settings store, the "Language" setting, the registry,
// and the platform's file test, program start and desktop opener.
UiServices DefaultServices();

}  // namespace corvane::ui
