#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/desktop_opener.h"
#include "platform/system/process_spawn.h"
#include "support/temp_folder.h"

namespace corvane::test_support {

// A desktop of the test's own: config and data folders, a folder of
// programs, and the file associations written into them. Places() names
// only these; while a ScratchDesktop lives the environment's XDG_CONFIG_HOME
// and XDG_DATA_HOME point at it too (for a window that opens a document),
// and no desktop's own list counts.
class ScratchDesktop {
public:
    ScratchDesktop() {
        for (const char* dir : {"config", "data/applications", "bin"})
            std::filesystem::create_directories(root_ / dir);
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CURRENT_DESKTOP"}) {
            const char* value = std::getenv(name);
            saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
        }
        setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
        setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
        unsetenv("XDG_CURRENT_DESKTOP");
    }
    ~ScratchDesktop() {
        for (const auto& [name, value] : saved_) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }
    ScratchDesktop(const ScratchDesktop&) = delete;
    ScratchDesktop& operator=(const ScratchDesktop&) = delete;

    std::string ConfigHome() const { return root_ / "config"; }
    std::string DataHome() const { return root_ / "data"; }
    std::string Bin() const { return root_ / "bin"; }

    DesktopPlaces Places() const { return {{ConfigHome()}, {DataHome()}, {}, {Bin()}}; }

    // An executable file in the programs' folder; its path.
    std::string Program(const std::string& name) const {
        const std::string path = root_.Write("bin/" + name, "#!/bin/sh\n");
        chmod(path.c_str(), 0755);
        return path;
    }
    // An application's desktop entry with the Exec line (and further lines).
    void Application(const std::string& id, const std::string& exec, const std::string& more = {}) const {
        root_.Write("data/applications/" + id,
                    "[Desktop Entry]\nType=Application\nName=" + id + "\nExec=" + exec + "\n" + more);
    }
    // The application is the default for the MIME type.
    void Associate(const std::string& type, const std::string& id) {
        defaults_ += type + "=" + id + ";\n";
        root_.Write("config/mimeapps.list", "[Default Applications]\n" + defaults_);
    }
    // A text editor that opens plain text, as most desktops have; its program's path.
    std::string Editor() {
        const std::string editor = Program("editor");
        Application("editor.desktop", editor + " %F");
        Associate("text/plain", "editor.desktop");
        return editor;
    }

private:
    TempFolder root_;
    std::string defaults_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The check asked before a document opens, for one test; with none the
// opener refuses.
class DesktopOpenCheckScope {
public:
    explicit DesktopOpenCheckScope(DesktopOpenCheck check) { SetDesktopOpenCheck(std::move(check)); }
    ~DesktopOpenCheckScope() { SetDesktopOpenCheck(nullptr); }
    DesktopOpenCheckScope(const DesktopOpenCheckScope&) = delete;
    DesktopOpenCheckScope& operator=(const DesktopOpenCheckScope&) = delete;
};

}  // namespace corvane::test_support
