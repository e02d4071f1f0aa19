#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Where the core learns which windows are loaded: the window layer installs
// its registry of open windows here (names, how to unload all windows of one
// name, and how to end every dialog, menu and popup before the windows go);
// until then no window is loaded.
struct FormSource {
    std::function<std::vector<std::string>()> loadedFormNames;
    std::function<void(const std::string& formName)> unload;
    std::function<void()> endDialogs;
};
void SetFormSource(FormSource source);

// True while a window of that name (any letter case) is loaded.
bool IsFormLoaded(std::string_view formName);

// With keepAll False, ends every dialog, menu and popup and then unloads
// every loaded window except frmMain; with True nothing. A window that fails
// to unload is skipped.
void UnloadAllForms(bool keepAll);

}  // namespace corvane
