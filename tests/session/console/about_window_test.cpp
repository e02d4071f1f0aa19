// The about window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "session/console/console_windows.h"
#include "session/console/frm_about.h"
#include "session/launchers/launchers.h"
#include "session/launchers/window_factories.h"
#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "support/services_scope.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane {
namespace {

class AboutWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterWindowFactory(
            QStringLiteral("frmWebBrowser"), [] { return new QWidget; },
            [this](QWidget*, const char* name, const QVariant& value) {
                if (qstrcmp(name, "StartingAddress") == 0) addresses.push_back(value.toString().toStdString());
            });
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmWebBrowser")) w->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RegisterWindowFactory(QStringLiteral("frmWebBrowser"), nullptr);
    }
    std::vector<std::string> addresses;
};

TEST_F(AboutWindowTest, ShowsTheVersionInformation) {
    VersionInformation info;
    info.major = 2;
    info.minor = 0;
    info.revision = 206;
    info.productName = "Corvane Standard";
    info.legalCopyright = "Copyright (C) Pellix Software";
    QPointer<frmAbout> about = new frmAbout(ISetup(info));
    EXPECT_EQ(about->windowTitle(), "About Corvane Standard");
    EXPECT_EQ(about->lblTitle()->text(), "Corvane Standard");
    EXPECT_EQ(about->lblVersion()->text(), "Version: 2.0.206");
    EXPECT_EQ(about->lblCopyright()->text(), "Copyright (C) Pellix Software");
    EXPECT_EQ(about->cmdSysInfo()->text(), "&System Info...");
    EXPECT_EQ(about->cmdOK()->text(), "OK");
    EXPECT_TRUE(about->cmdOK()->isDefault());
    about->show();
    QTest::keyClick(about, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
}

TEST_F(AboutWindowTest, OnlyALeftReleaseOnThePictureOpensTheHomePage) {
    QPointer<frmAbout> about = new frmAbout;
    about->show();
    QTest::mouseClick(about->picIcon(), Qt::RightButton);
    QTest::mouseClick(about->picIcon(), Qt::MiddleButton);
    QTest::mousePress(about->picIcon(), Qt::LeftButton);
    EXPECT_TRUE(addresses.empty());
    QTest::mouseRelease(about->picIcon(), Qt::LeftButton);
    EXPECT_EQ(addresses, std::vector<std::string>{kMakerHomeAddress});
    EXPECT_TRUE(about->isVisible());
    delete about.data();
}

TEST_F(AboutWindowTest, SystemInfoSaysItIsUnavailable) {
    auto box = ScriptedMsgBox::Install();
    QPointer<frmAbout> about = new frmAbout;
    QTest::mouseClick(about->cmdSysInfo(), Qt::LeftButton);
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, "System Information Is Unavailable At This Time");
    delete about.data();
}

TEST_F(AboutWindowTest, SystemInfoNamedInTheHiveIsRefusedWithoutTheProgramRule) {
    auto box = ScriptedMsgBox::Install();
    ui::UiServices services = ui::Services();
    std::vector<std::string> started;
    services.readMachineRegistryString = [](const std::string&, const std::string& value) {
        return value == "PATH" ? std::optional<std::string>("/usr/bin/xterm") : std::nullopt;
    };
    services.startProgram = [&](const std::string& program) {
        started.push_back(program);
        return true;
    };
    test::ServicesScope scope(services);
    const bool requireLogin = std::exchange(gRequireLogin, true);
    QPointer<frmAbout> about = new frmAbout;
    QTest::mouseClick(about->cmdSysInfo(), Qt::LeftButton);  // nobody is logged in
    gRequireLogin = requireLogin;
    EXPECT_TRUE(started.empty());
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, std::string()));
    delete about.data();
}

TEST_F(AboutWindowTest, ShowAboutOpensTheWindowModallyAndUnloadsIt) {
    RegisterConsoleWindows();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        seen = about != nullptr;
        if (about) about->cmdOK()->click();
    });
    ISetup().ShowAbout();
    EXPECT_TRUE(seen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_NE(w->objectName(), "frmAbout");
    ISetup::SetAboutWindowOpener(nullptr);
}

}  // namespace
}  // namespace corvane
