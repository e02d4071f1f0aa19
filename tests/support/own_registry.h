#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace corvane::test_support {

// Registry hives (and, when asked, the program folder) of a test's own, in a "registry"
// folder under its data folder: the settings a test writes never reach the machine's or
// another test's. The variables are put back as they were when it ends.
class OwnRegistry {
public:
    enum ProgramFolder { kRegistryOnly, kAndProgramFolder };

    OwnRegistry(const std::string& folder, ProgramFolder program)
        : registry_("CORVANE_REGISTRY_DIR", folder + "/registry") {
        std::filesystem::create_directories(folder + "/registry");
        if (program == kAndProgramFolder) program_.emplace("CORVANE_PROGRAM_DIR", folder);
    }
    OwnRegistry(const OwnRegistry&) = delete;
    OwnRegistry& operator=(const OwnRegistry&) = delete;

private:
    // One variable set for the registry's life, then as it was.
    class Variable {
    public:
        Variable(const char* name, const std::string& value) : name_(name) {
            if (const char* before = std::getenv(name)) before_ = before;
            ::setenv(name, value.c_str(), 1);
        }
        ~Variable() {
            if (before_)
                ::setenv(name_, before_->c_str(), 1);
            else
                ::unsetenv(name_);
        }
        Variable(const Variable&) = delete;
        Variable& operator=(const Variable&) = delete;

    private:
        const char* name_;
        std::optional<std::string> before_;
    };

    Variable registry_;
    std::optional<Variable> program_;
};

}  // namespace corvane::test_support
