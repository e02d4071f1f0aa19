#pragma once

#include <string>
#include <vector>

#include "ui/form_registry.h"

class QWidget;

namespace corvane::ui {

// The loaded windows are the program's top-level widgets whose object name
// begins with "frm", shown or hidden. Unloading closes them: a window with
// Qt::WA_DeleteOnClose is then gone, and one whose close event is ignored
// stays. A window owned by its launcher is gone once the launcher drops it.
class TopLevelFormRegistry : public FormRegistry {
public:
    std::vector<std::string> LoadedFormNames() const override;
    void Unload(const std::string& formName) override;

    static std::vector<QWidget*> LoadedForms();
};

// Installs a TopLevelFormRegistry as the program's form registry.
void InstallTopLevelFormRegistry();

}  // namespace corvane::ui
