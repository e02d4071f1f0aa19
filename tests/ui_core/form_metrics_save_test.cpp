#include <gtest/gtest.h>

#include <string>

#include "platform/settings/settings_fixture.h"
#include "platform/settings/settings_store.h"
#include "ui_core/form_metrics.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

// A window's five values go to the user's hive as one change: another
// process never finds the first of them newer than the last.
TEST_F(SettingsTest, FormMetricsAreSavedAsOneChange) {
    const std::string section = ui::FormMetricsSection("frmMain");
    const auto read = [&](const char* name) { return std::atoi(GetUserSetting(section, name, "0").c_str()); };
    const auto seen = WatchSaves([&] { return read("Height"); }, [&] { return read("Left"); },
                                 [](int generation) {
                                     ui::FormMetricsValues values;
                                     values.height = values.width = values.top = values.left = generation;
                                     ui::WriteFormMetrics("frmMain", values);
                                 },
                                 60);
    EXPECT_EQ(seen.mixes, 0) << "in " << seen.reads << " reads";
    EXPECT_GT(seen.reads, 0);
    EXPECT_EQ(ui::ReadFormMetrics("frmMain", {}), (ui::FormMetricsValues{60, 60, 60, 60, 0}));
}

}  // namespace
