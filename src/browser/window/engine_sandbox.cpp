#include "browser/window/engine_sandbox.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace corvane {

void SetEngineSandbox() { SetEngineSandbox(::geteuid() == 0); }

void SetEngineSandbox(bool runsAsRoot) {
    constexpr const char* kDisable = "QTWEBENGINE_DISABLE_SANDBOX";
    constexpr const char* kFlags = "QTWEBENGINE_CHROMIUM_FLAGS";
    if (runsAsRoot) {
        // The engine refuses to sandbox a root process and would not start: root alone
        // renders without it.
        ::setenv(kDisable, "1", 1);
        return;
    }
    ::unsetenv(kDisable);
    const char* flags = std::getenv(kFlags);
    if (!flags) return;
    std::istringstream words(flags);
    std::string kept;
    for (std::string word; words >> word;) {
        if (word == "--no-sandbox") continue;
        if (!kept.empty()) kept += ' ';
        kept += word;
    }
    ::setenv(kFlags, kept.c_str(), 1);
}

void SwitchOffPageFilePickers() {
    constexpr const char* kFlags = "QTWEBENGINE_CHROMIUM_FLAGS";
    constexpr std::string_view kSwitch = "--disable-blink-features=";
    constexpr std::string_view kPickers = "FileSystemAccessLocal,FileSystemAccessAPIExperimental,FileSystemAccess";
    const char* flags = std::getenv(kFlags);
    std::istringstream words(flags ? flags : "");
    std::string kept;
    std::string features(kPickers);
    for (std::string word; words >> word;) {
        // The engine heeds only the last such switch: one, with every feature named.
        if (word.rfind(kSwitch, 0) == 0) {
            features += ',' + word.substr(kSwitch.size());
            continue;
        }
        kept += word + ' ';
    }
    kept += std::string(kSwitch) + features;
    ::setenv(kFlags, kept.c_str(), 1);
}

}  // namespace corvane
