#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The program's open windows, by name. The window layer registers each window
// as it loads (with the function that unloads it) and unregisters it when it
// goes; the core asks here without knowing any window type.
using FormUnloader = std::function<void()>;

// Returns a token for UnregisterForm.
int RegisterForm(std::string formName, FormUnloader unload);
void UnregisterForm(int token);

// True while a window of that name (any letter case) is loaded.
bool IsFormLoaded(std::string_view formName);

// With keepAll False, unloads every loaded window except frmMain; with True
// nothing. An unloader that fails is skipped.
void UnloadAllForms(bool keepAll);

std::vector<std::string> LoadedFormNames();

}  // namespace corvane
