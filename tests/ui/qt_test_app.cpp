#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "ui/helpers/window_metrics.h"

namespace {

// Window tests need one application object for the whole run.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "ui_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        // Windows are placed as in the program.
        corvane::KeepWindowsOnScreen();
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
