// The tip-of-the-day window.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <deque>

#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "session/console/frm_tip.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

TipList::Random Sequence(std::deque<double> numbers) {
    return [numbers]() mutable {
        const double r = numbers.empty() ? 0.0 : numbers.front();
        if (!numbers.empty()) numbers.pop_front();
        return r;
    };
}

class TipWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("CORVANE_PROGRAM_DIR", folder.Path().c_str(), 1);
        gShowTipsOfTheDay = false;
        gTipsOfTheDayPathName.clear();
        frmTip::SetSettingsSaver([this] { saved.push_back(gShowTipsOfTheDay); });
    }
    void TearDown() override {
        frmTip::SetSettingsSaver(nullptr);
        gShowTipsOfTheDay = false;
        gTipsOfTheDayPathName.clear();
        ::unsetenv("CORVANE_PROGRAM_DIR");
    }
    // A tip window, deleted when the test ends unless it unloaded itself.
    frmTip* Make(std::deque<double> numbers = {0.0}) {
        auto* tip = new frmTip(Sequence(std::move(numbers)));
        windows.emplace_back(tip);
        return tip;
    }
    ~TipWindowTest() override {
        for (auto& w : windows) delete w.data();
    }

    test_support::TempFolder folder;
    std::vector<bool> saved;
    std::vector<QPointer<frmTip>> windows;
};

TEST_F(TipWindowTest, ShowsARandomTipAndNextTipPicksAgain) {
    gTipsOfTheDayPathName = folder.Write("tips.txt", "first\r\nsecond\r\nthird\r\n");
    frmTip* tip = Make({0.5, 0.0, 0.9});
    EXPECT_EQ(tip->lblTipText()->text(), "second");
    QTest::mouseClick(tip->cmdNextTip(), Qt::LeftButton);
    EXPECT_EQ(tip->lblTipText()->text(), "first");
    QTest::mouseClick(tip->cmdNextTip(), Qt::LeftButton);
    EXPECT_EQ(tip->lblTipText()->text(), "third");
    EXPECT_TRUE(saved.empty());
}

TEST_F(TipWindowTest, OneLineAnEmptyLineAndAnEmptyFile) {
    gTipsOfTheDayPathName = folder.Write("one.txt", "only tip\n");
    frmTip* one = Make({0.7, 0.2});
    QTest::mouseClick(one->cmdNextTip(), Qt::LeftButton);
    EXPECT_EQ(one->lblTipText()->text(), "only tip");

    gTipsOfTheDayPathName = folder.Write("blank.txt", "tip\r\n\r\n");
    frmTip* blank = Make({0.5});
    EXPECT_EQ(blank->Tips().CurrentIndex(), 2);
    EXPECT_EQ(blank->lblTipText()->text(), "");

    gTipsOfTheDayPathName = folder.Write("empty.txt", "");
    frmTip* empty = Make();
    EXPECT_EQ(empty->lblTipText()->text(), "");
    QTest::mouseClick(empty->cmdNextTip(), Qt::LeftButton);
    EXPECT_EQ(empty->lblTipText()->text(), "");
}

TEST_F(TipWindowTest, WithoutAFileTheHelpTextShows) {
    const QString help = QString::fromStdString(TipList::HelpText());
    const std::string tips = folder.Write("tips.txt", "a tip\n");
    for (const std::string& setting : {std::string(), std::string("   "), tips + "  ", folder / "missing.txt",
                                       folder.Path()}) {
        SCOPED_TRACE(setting);
        gTipsOfTheDayPathName = setting;
        frmTip* tip = Make();
        EXPECT_EQ(tip->lblTipText()->text(), help);
        QTest::mouseClick(tip->cmdNextTip(), Qt::LeftButton);
        EXPECT_EQ(tip->lblTipText()->text(), help);
    }
    // A blank setting means TIPOFDAY.TXT in the program folder.
    folder.Write("TIPOFDAY.TXT", "from the program folder\r\n");
    gTipsOfTheDayPathName = "   ";
    EXPECT_EQ(Make()->lblTipText()->text(), "from the program folder");
}

TEST_F(TipWindowTest, OnlyTheUsersClickOnTheBoxSaves) {
    gShowTipsOfTheDay = true;
    frmTip* tip = Make();
    EXPECT_TRUE(tip->chkLoadTipsAtStartup()->isChecked());
    tip->show();
    EXPECT_TRUE(saved.empty());
    QTest::mouseClick(tip->chkLoadTipsAtStartup(), Qt::LeftButton);
    EXPECT_EQ(saved, std::vector<bool>{false});
    EXPECT_FALSE(gShowTipsOfTheDay);

    gShowTipsOfTheDay = false;
    frmTip* off = Make();
    EXPECT_FALSE(off->chkLoadTipsAtStartup()->isChecked());
    QTest::mouseClick(off->cmdNextTip(), Qt::LeftButton);
    EXPECT_EQ(saved.size(), 1u);
}

TEST_F(TipWindowTest, TheBoxSavesTheGlobalSettings) {
    frmTip::SetSettingsSaver(nullptr);
    gShowTipsOfTheDay = true;
    gUseGlobalSettingsINIFile = false;
    frmTip* tip = Make();
    tip->show();
    QTest::mouseClick(tip->chkLoadTipsAtStartup(), Qt::LeftButton);
    EXPECT_EQ(GetMachineSetting("Global", "Show Tips Of The Day", "unset"), "False");
}

TEST_F(TipWindowTest, CaptionsAtTheFirstShowAndOkUnloads) {
    QPointer<frmTip> tip = Make();
    EXPECT_TRUE(tip->FormLoad());
    EXPECT_EQ(tip->Label1()->text(), "Did you know...");
    tip->show();
    EXPECT_FALSE(tip->FormLoad());
    EXPECT_EQ(tip->windowTitle(), "Tip of the Day");
    EXPECT_EQ(tip->cmdOK()->text(), "OK");
    EXPECT_EQ(tip->cmdNextTip()->text(), "Next Tip");
    EXPECT_EQ(tip->chkLoadTipsAtStartup()->text(), "Always Show Tips on Startup");
    EXPECT_TRUE(tip->cmdOK()->isDefault());
    QTest::keyClick(tip, Qt::Key_Escape);
    EXPECT_FALSE(tip->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(tip.isNull());
}

}  // namespace
}  // namespace corvane
