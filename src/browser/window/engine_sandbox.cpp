#include "browser/window/engine_sandbox.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {
namespace {

constexpr const char* kFlags = "QTWEBENGINE_CHROMIUM_FLAGS";

// The words of the engine's flags as the environment holds them.
std::vector<std::string> EngineFlags() {
    const char* flags = std::getenv(kFlags);
    std::istringstream stream(flags ? flags : "");
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(std::move(word));
    return words;
}

void SetEngineFlags(const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& word : words) joined += (joined.empty() ? "" : " ") + word;
    ::setenv(kFlags, joined.c_str(), 1);
}

}  // namespace

void SetEngineSandbox() { SetEngineSandbox(::geteuid() == 0); }

void SetEngineSandbox(bool runsAsRoot) {
    constexpr const char* kDisable = "QTWEBENGINE_DISABLE_SANDBOX";
    if (runsAsRoot) {
        // The engine refuses to sandbox a root process and would not start: root alone
        // renders without it.
        ::setenv(kDisable, "1", 1);
        return;
    }
    ::unsetenv(kDisable);
    if (!std::getenv(kFlags)) return;
    std::vector<std::string> words = EngineFlags();
    std::erase(words, "--no-sandbox");
    SetEngineFlags(words);
}

void SwitchOffPageFilePickers() {
    constexpr std::string_view kSwitch = "--disable-blink-features=";
    constexpr std::string_view kPickers = "FileSystemAccessLocal,FileSystemAccessAPIExperimental,FileSystemAccess";
    std::vector<std::string> words = EngineFlags();
    std::string features(kPickers);
    // The engine heeds only the last such switch: one, with every feature named.
    std::erase_if(words, [&](const std::string& word) {
        if (word.rfind(kSwitch, 0) != 0) return false;
        features += ',' + word.substr(kSwitch.size());
        return true;
    });
    words.push_back(std::string(kSwitch) + features);
    SetEngineFlags(words);
}

}  // namespace corvane
