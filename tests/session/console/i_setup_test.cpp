// The application information.
#include <gtest/gtest.h>

#include "platform/core/version_info.h"
#include "session/console/i_setup.h"

namespace corvane {
namespace {

TEST(ISetupTest, VersionNumbersJoinWithoutPadding) {
    const struct {
        std::int16_t major, minor, revision;
        const char* version;
        const char* fileVersion;
    } rows[] = {
        {2, 0, 206, "2:0:206", "2.0.206"},
        {10, 12, 5, "10:12:5", "10.12.5"},
        {0, 0, 0, "0:0:0", "0.0.0"},
    };
    for (const auto& row : rows) {
        VersionInformation info;
        info.major = row.major;
        info.minor = row.minor;
        info.revision = row.revision;
        const ISetup setup(info);
        EXPECT_EQ(setup.Version(), row.version);
        EXPECT_EQ(setup.FileVersion(), row.fileVersion);
        EXPECT_EQ(setup.Revision(), row.revision);
        EXPECT_TRUE(setup.Installed());
    }
}

TEST(ISetupTest, TheProgramsOwnInformation) {
    const ISetup setup;
    EXPECT_EQ(setup.FileVersion(), version::kFileVersion);
    EXPECT_EQ(setup.Version(), version::kVersion);
    EXPECT_EQ(setup.ProductName(), "Corvane Standard");
    EXPECT_EQ(setup.LegalCopyright(), version::kLegalCopyright);
    EXPECT_EQ(setup.CompanyName(), version::kCompanyName);
    EXPECT_EQ(setup.Title(), "Corvane");
    EXPECT_EQ(setup.HelpFile(), setup.Path() + "/Corvane.chm");
    EXPECT_EQ(setup.hInstance(), 0);
    EXPECT_FALSE(setup.UnattendedApp());
    EXPECT_GT(setup.ThreadID(), 0);
}

TEST(ISetupTest, ShowAboutGoesThroughTheInstalledWindow) {
    int shown = 0;
    ISetup().ShowAbout();  // nothing installed: nothing happens
    ISetup::SetAboutWindowOpener([&] { ++shown; });
    ISetup().ShowAbout();
    ISetup::SetAboutWindowOpener(nullptr);
    EXPECT_EQ(shown, 1);
}

}  // namespace
}  // namespace corvane
