#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "platform/settings/global_settings.h"
#include "session/shell/frm_popup_menu.h"

namespace corvane::testing {
namespace {

std::string Enabled(const frmPopupMenu& menu) {
    std::string bits;
    for (int i = 0; i < kMenuItemCount; ++i) bits += menu.MenuItem(i)->isEnabled() ? '1' : '0';
    return bits;
}

// Prepares a showing the way the main form does.
void Open(frmPopupMenu& menu, bool requireLogin, const MenuSession& s) {
    gRequireLogin = requireLogin;
    menu.Load();
    menu.SetAdministrator(s.administrator);
    menu.SetAuthenticated(s.authenticated);
    menu.PasswordCannotChange = s.mayChangePassword;
    menu.LoadUserOptions();
    menu.show();
}

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        menu.SetPointerSource([this] { return pointer; });
        menu.SetScreenSource([] { return QRect(0, 0, 1000, 800); });
    }
    void TearDown() override { gRequireLogin = false; }
    QPoint pointer{100, 100};
    frmPopupMenu menu;
};

TEST_F(PopupMenuTest, EachShowingEnablesTheItemsTheSessionAllowsOnTheSameWindow) {
    const struct {
        const char* what;
        bool requireLogin;
        MenuSession session;
        const char* items;  // Login, Log Off, Console, Corvane, Change Password, Security, Options, Unload, Close
    } rows[] = {
        {"login required, nobody", true, {true, false, false, false}, "100000001"},
        {"user who may change the password", true, {true, true, false, true}, "011010001"},
        {"login not required, nobody", false, {false, false, false, false}, "001100111"},
        {"user who may not change it", false, {false, true, false, false}, "011000001"},
        {"administrator", true, {true, true, true, false}, "011111111"},
        {"login required, nobody, again", true, {true, false, false, true}, "100000001"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Open(menu, row.requireLogin, row.session);
        EXPECT_EQ(Enabled(menu), row.items);
        menu.Unload();
    }
}

TEST(PopupMenuRules, ItemsTheSessionDoesNotDecideKeepTheirState) {
    const MenuEnabling off{};
    EXPECT_EQ(MenuEnablingFor({true, true, true, true}, off),
              (MenuEnabling{false, true, false, true, true, true, true, true, false}));
    EXPECT_EQ(MenuEnablingFor({true, false, false, false}, off)[8], false);
}

TEST(PopupMenuRules, TheMenuOpensWhereTheScreenLeavesRoom) {
    const struct {
        int x, y;
        MenuPlace place;
    } rows[] = {
        {100, 100, {100, 100}},
        {900, 100, {744, 100}},   // 900 + 156 passes 1000
        {844, 611, {844, 611}},   // exactly fits
        {845, 612, {689, 423}},
        {990, 790, {834, 601}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
        EXPECT_EQ(PlaceMenu(row.x, row.y, 156, 189, 1000, 800), row.place);
    }
}

TEST_F(PopupMenuTest, NearTheBottomRightCornerTheWindowOpensAboveAndLeft) {
    pointer = QPoint(990, 790);
    Open(menu, false, {});
    EXPECT_EQ(menu.pos(), QPoint(990 - menu.width(), 790 - menu.height()));
}

TEST_F(PopupMenuTest, DownOverDisabledItemsThenEnterClosesWithoutAChoice) {
    QSignalSpy selected(&menu, &frmPopupMenu::Selected);
    Open(menu, true, {true, false, false, false});
    QTest::keyClick(&menu, Qt::Key_Down);
    QTest::keyClick(&menu, Qt::Key_Down);
    EXPECT_EQ(menu.SelectedIndex, 2);
    for (int i = 0; i < kMenuItemCount; ++i)
        EXPECT_NE(menu.MenuItem(i)->palette().color(QPalette::Window), menu.palette().color(QPalette::Highlight)) << i;
    QTest::keyClick(&menu, Qt::Key_Return);
    EXPECT_EQ(selected.count(), 0);
    EXPECT_FALSE(menu.isVisible());

    // The index is kept for the next showing; Up back to Login chooses it.
    Open(menu, true, {true, false, false, false});
    EXPECT_EQ(menu.SelectedIndex, 2);
    QTest::keyClick(&menu, Qt::Key_Up);
    QTest::keyClick(&menu, Qt::Key_Up);
    EXPECT_EQ(menu.MenuItem(0)->palette().color(QPalette::Window), menu.palette().color(QPalette::Highlight));
    QTest::keyClick(&menu, Qt::Key_Enter);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.takeFirst().at(0).value<std::int16_t>(), 0);
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(PopupMenuTest, AClickChoosesOnlyAnEnabledItemAndEscCloses) {
    QSignalSpy selected(&menu, &frmPopupMenu::Selected);
    Open(menu, true, {true, false, false, false});
    QTest::mouseClick(menu.MenuItem(7), Qt::LeftButton);
    EXPECT_EQ(selected.count(), 0);
    EXPECT_TRUE(menu.isVisible());
    QTest::keyClick(&menu, Qt::Key_Escape);
    EXPECT_FALSE(menu.isVisible());
    Open(menu, true, {true, false, false, false});
    QTest::mouseClick(menu.MenuItem(8), Qt::LeftButton);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.takeFirst().at(0).value<std::int16_t>(), 8);
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(PopupMenuTest, ThePointerWatchClosesOnlyOnceThePointerIsOff) {
    Open(menu, false, {});
    EXPECT_TRUE(menu.Timer()->isActive());
    EXPECT_EQ(menu.Timer()->interval(), 1000);
    const QRect r = menu.geometry();
    const struct {
        QPoint at;
        bool stays;
    } rows[] = {
        {r.topLeft(), true},
        {QPoint(r.left() + menu.width(), r.top() + menu.height()), true},  // the far edges count
        {QPoint(r.left() - 1, r.top()), false},
        {QPoint(r.left(), r.top() + menu.height() + 1), false},
    };
    for (const auto& row : rows) {
        Open(menu, false, {});
        pointer = row.at;
        menu.Timer_Timer();
        EXPECT_EQ(menu.isVisible(), row.stays) << row.at.x() << "," << row.at.y();
        pointer = QPoint(100, 100);
    }
}

TEST_F(PopupMenuTest, TheCaptionsComeFromTheCatalogue) {
    Open(menu, false, {});
    QStringList captions;
    for (int i = 0; i < kMenuItemCount; ++i) captions << menu.MenuItem(i)->text();
    EXPECT_EQ(captions.join(","), "Login,Log Off,Secure Console,Corvane,Change Password,Security,Options,Unload,Close");
}

}  // namespace
}  // namespace corvane::testing
