#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell_test_support.h"

namespace corvane::testing {
namespace {

constexpr int kTimerFires = -1;  // the click timer's tick, when it runs
constexpr int kDisable = -2;

// Plays messages into an icon and notes its events as text.
struct TrayRun {
    std::vector<std::string> backend;
    std::vector<std::string> events;
    std::unique_ptr<TrayIcon> icon;

    explicit TrayRun(bool sysMenu) {
        icon = std::make_unique<TrayIcon>(std::make_unique<FakeTrayBackend>(&backend));
        icon->SetSysMenu(sysMenu);
        icon->SetSysMenuPresenter([this](QWidget*) { events.push_back("SysMenu"); });
        auto note = [this](const char* name) {
            return [this, name](short button) { events.push_back(name + std::to_string(button)); };
        };
        QObject::connect(icon.get(), &TrayIcon::MouseMove, [this] { events.push_back("Move"); });
        QObject::connect(icon.get(), &TrayIcon::MouseDown, note("Down"));
        QObject::connect(icon.get(), &TrayIcon::MouseUp, note("Up"));
        QObject::connect(icon.get(), &TrayIcon::DblClick, note("Dbl"));
        QObject::connect(icon.get(), &TrayIcon::Click, note("Click"));
        QObject::connect(icon.get(), &TrayIcon::SingleClick, note("Single"));
    }

    std::string Play(const std::vector<int>& messages) {
        for (int m : messages) {
            if (m == kTimerFires) {
                if (icon->tmrMenu()->isActive()) icon->tmrMenu_Timer();
            } else if (m == kDisable) {
                icon->SetEnabled(false);
            } else {
                icon->notify(m);
            }
        }
        std::string text;
        for (const auto& e : events) text += (text.empty() ? "" : " ") + e;
        return text;
    }
};

TEST(TrayIcon, MessageSequencesBecomeEvents) {
    const struct {
        const char* what;
        bool sysMenu;
        std::vector<int> messages;
        const char* events;
    } rows[] = {
        {"single click", false, {513, 514, kTimerFires}, "Down1 Up1 Click1 Single1"},
        {"double click", false, {513, 514, 515, 514, kTimerFires}, "Down1 Up1 Click1 Dbl1 Up1 Click1"},
        {"triple click", false, {513, 514, 515, 514, 513, 514, kTimerFires},
         "Down1 Up1 Click1 Dbl1 Up1 Click1 Down1 Up1 Click1 Single1"},
        {"right click", false, {516, 517}, "Down2 Up2 Click2"},
        {"right click, system menu", true, {516, 517}, "Down2 SysMenu"},
        {"right double click and a move", false, {518, 512, 600}, "Dbl2 Move"},
        {"disabled with a click pending", false, {513, 514, kDisable, 513, 514, 517, kTimerFires},
         "Down1 Up1 Click1 Single1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TrayRun run(row.sysMenu);
        EXPECT_EQ(run.Play(row.messages), row.events);
        EXPECT_FALSE(run.icon->tmrMenu()->isActive());
    }
    TrayRun run(false);
    EXPECT_EQ(run.icon->tmrMenu()->interval(), 500);
}

TEST(TrayIcon, TheAreaGetsTheIconOnceWithItsTipCutTo63Characters) {
    std::vector<std::string> backend;
    {
        TrayIcon icon(std::make_unique<FakeTrayBackend>(&backend));
        const std::string tip64(64, 'x');
        icon.SetToolTipText(QString::fromStdString(tip64));
        EXPECT_EQ(icon.TipField(), std::string(63, 'x') + '\0');
        icon.SetVisible(true);
        icon.SetVisible(true);
        icon.SetToolTipText(QStringLiteral("Corvane Standard"));
        EXPECT_EQ(icon.TipField(), std::string("Corvane Standard") + '\0' + std::string(47, ' '));
        icon.SetVisible(false);
        icon.SetVisible(false);
        icon.SetVisible(true);
    }
    EXPECT_EQ(backend, (std::vector<std::string>{"Add " + std::string(63, 'x'), "Modify Corvane Standard",
                                                 "Delete", "Add Corvane Standard", "Delete"}));
}

TEST(TrayIcon, WithoutANotificationAreaTheIconStillCountsAsAdded) {
    std::vector<std::string> backend;
    TrayIcon icon(std::make_unique<FakeTrayBackend>(&backend, false));
    icon.SetVisible(true);
    EXPECT_TRUE(icon.Added());
}

TEST(TrayIcon, TheDesktopsGesturesBecomeButtonMessages) {
    EXPECT_EQ(MouseMessagesOf(QSystemTrayIcon::Trigger), (std::vector<int>{513, 514}));
    EXPECT_EQ(MouseMessagesOf(QSystemTrayIcon::DoubleClick), (std::vector<int>{515, 514}));
    EXPECT_EQ(MouseMessagesOf(QSystemTrayIcon::Context), (std::vector<int>{516, 517}));
    EXPECT_TRUE(MouseMessagesOf(QSystemTrayIcon::MiddleClick).empty());
}

}  // namespace
}  // namespace corvane::testing
