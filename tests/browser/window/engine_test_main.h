#pragma once

// The main of a test program that runs the real web engine: skipped without
// a display, and set up as the program sets itself up before the engine starts.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "browser/window/engine_sandbox.h"
#include "browser/window/login_browser_profile.h"
#include "ui/helpers/file_dialog.h"

namespace corvane::testing {

inline int RunEngineTests(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::printf("[  SKIPPED ] no display for the web engine\n");
        return 0;
    }
    // As the program does: the engine's sandbox as the user allows, the page's file pickers
    // off, Qt's own dialogs, and the engine sharing the application's OpenGL contexts.
    SetEngineSandbox();
    SwitchOffPageFilePickers();
    UseOwnDialogs();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    EndLoginBrowsers();
    return status;
}

}  // namespace corvane::testing
