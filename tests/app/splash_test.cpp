#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <cstdlib>

#include "app/frm_splash.h"
#include "platform/core/version_info.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

class SplashTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("CORVANE_PROGRAM_DIR", folder.Path().c_str(), 1); }
    void TearDown() override {
        ::unsetenv("CORVANE_PROGRAM_DIR");
        frmSplash::SetUnloadInterval(1000);
    }
    test_support::TempFolder folder;
};

TEST_F(SplashTest, TheSplashShowsTheVersionAndClosesItselfOnItsTimer) {
    frmSplash::SetUnloadInterval(20);
    frmSplash splash;
    EXPECT_EQ(splash.lblSplash()->text(), QStringLiteral("Version: %1.%2.%3")
                                              .arg(version::kMajor)
                                              .arg(version::kMinor)
                                              .arg(version::kRevision));
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::Tool);
    EXPECT_EQ(splash.size(), QSize(520, 353));
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_FALSE(splash.tmrUnload()->isActive());
}

TEST_F(SplashTest, OnlyAReadablePictureNamedAfterTheProgramReplacesTheBuiltInOne) {
    {
        frmSplash splash;
        EXPECT_TRUE(splash.Picture().isNull());
    }
    folder.Write("Corvane.jpg", "not a picture");
    {
        frmSplash splash;
        EXPECT_TRUE(splash.Picture().isNull());
    }
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder / "Corvane.jpg"), "JPG"));
    frmSplash splash;
    EXPECT_EQ(splash.Picture().size(), QSize(40, 30));
}

}  // namespace
}  // namespace corvane::testing
