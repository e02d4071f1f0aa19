#pragma once

#include <memory>
#include <string>
#include <vector>

namespace corvane {

// The program's loaded windows, as the rest of the program sees them: by
// name ("frmMain", "frmSecureConsole", ...). The window layer installs the
// real one; tests may install their own.
class FormRegistry {
public:
    virtual ~FormRegistry() = default;
    // One name per loaded window, hidden ones included.
    virtual std::vector<std::string> LoadedFormNames() const = 0;
    // Unloads every loaded window of exactly this name; a window that refuses
    // to close stays loaded.
    virtual void Unload(const std::string& formName) = 0;
};

// Installs the registry (nullptr removes it) and returns the previous one.
std::shared_ptr<FormRegistry> SetFormRegistry(std::shared_ptr<FormRegistry> registry);

// The registry in force, or nullptr before the window layer has started.
std::shared_ptr<FormRegistry> CurrentFormRegistry();

}  // namespace corvane
