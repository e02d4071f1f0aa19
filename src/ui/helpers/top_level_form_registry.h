#pragma once

#include <string>
#include <vector>


class QWidget;

namespace corvane::ui {

// The loaded windows are the program's top-level widgets whose object name
// begins with "frm", shown or hidden. Unloading closes them: a window with
// Qt::WA_DeleteOnClose is then gone, and one whose close event is ignored
// stays. A window owned by its launcher is gone once the launcher drops it.
class TopLevelFormRegistry {
public:
    static std::vector<QWidget*> LoadedForms();
    // One name per loaded window.
    static std::vector<std::string> LoadedFormNames();
    // Closes every loaded window of exactly this name.
    static void Unload(const std::string& formName);
};

// Makes these the loaded windows that IsFormLoaded and UnloadAllForms see.
void InstallTopLevelFormRegistry();

}  // namespace corvane::ui
