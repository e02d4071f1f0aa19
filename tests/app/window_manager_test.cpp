// Every window of the program on a real X server at the screen size the test
// runs at, under a window manager (openbox, started by
// tests/app/with_window_manager.sh) and on the bare server, as
// `scripts/run.sh --offscreen` runs the program. Each lies wholly in the
// screen's available area with its frame: opened alone, opened over a window
// in the screen's bottom right corner (where the secure console sits beside
// the icon; modal as the console opens it, and transient for it), and with
// its place saved in that corner. Exactly the windows that stay off the task
// bar ask for it, as read back from the X server.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "admin/catalogue/websites_programs/frm_program_details.h"
#include "admin/catalogue/websites_programs/frm_website_details.h"
#include "admin/options/frm_directory.h"
#include "admin/options/frm_network_browse.h"
#include "admin/security/frm_lockdown_warning.h"
#include "admin/users/members/frm_members.h"
#include "app/program_windows_test.h"
#include "session/launchers/window_factories.h"
#include "session/login/frm_login.h"
#include "session/shell/frm_logout.h"
#include "support/x11_window_states.h"
#include "ui/errors/frm_error_debug.h"
#include "ui/errors/frm_error_log.h"
#include "ui/errors/frm_xp_error_dialog.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/msgbox/frm_message.h"
#include "ui_core/form_metrics.h"

namespace corvane::testing {
namespace {

// The windows that are not shown in the task bar.
const std::set<std::string> kOffTheTaskBar = {"frmCorvane", "frmMainOptions", "frmUserLogDetails",
                                              "frmWebsiteLogDetails"};

using WindowMaker = std::function<std::unique_ptr<QWidget>()>;

template <typename Window>
WindowMaker Make(std::function<void(Window&)> set = {}) {
    return [set] {
        auto window = std::make_unique<Window>();
        if (set) set(*window);
        return std::unique_ptr<QWidget>(std::move(window));
    };
}

class WindowManagerTest : public ProgramWindowsTest {
protected:
    void SetUp() override {
        if (!test::RunsOnX11()) GTEST_SKIP() << "needs an X server";
        ProgramWindowsTest::SetUp();
    }

    // Every framed window of the program: those the launchers open by name,
    // then the others. (The splash, the cards, the balloon and the icon's
    // menu have no frame and place themselves beside what they belong to.)
    std::vector<std::pair<std::string, WindowMaker>> Windows() {
        std::vector<std::pair<std::string, WindowMaker>> windows;
        for (const char* name : kLaunchedWindows)
            windows.emplace_back(name, [name] {
                std::unique_ptr<QWidget> window(CreateWindow(QString::fromLatin1(name)));
                SetInputs(window.get(), {{"UserLogin", QStringLiteral("alice")}, {"LogID", 1}});
                return window;
            });
        const std::string folder = folder_;
        windows.emplace_back("frmLogin", Make<frmLogin>());
        windows.emplace_back("frmMembers", Make<frmMembers>([](frmMembers& w) { w.SetGroupName("Staff"); }));
        windows.emplace_back("frmWebsiteDetails",
                             Make<frmWebsiteDetails>([](frmWebsiteDetails& w) { w.SetKey("http://intranet.example/"); }));
        windows.emplace_back("frmProgramDetails",
                             Make<frmProgramDetails>([](frmProgramDetails& w) { w.SetKey("/bin/sh"); }));
        windows.emplace_back("frmDirectory", Make<frmDirectory>([folder](frmDirectory& w) {
                                 w.SetPath(QString::fromStdString(folder));
                             }));
        windows.emplace_back("frmNetworkBrowse", Make<frmNetworkBrowse>());
        windows.emplace_back("frmLockdownWarning", Make<frmLockdownWarning>());
        windows.emplace_back("frmLogout", Make<frmLogout>());
        windows.emplace_back("frmMessage", Make<frmMessage>());
        windows.emplace_back("frmErrorDebug", Make<frmErrorDebug>());
        windows.emplace_back("frmXPErrorDialog", Make<frmXPErrorDialog>());
        windows.emplace_back("frmErrorLog", Make<frmErrorLog>());
        return windows;
    }

    static QRect Area() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // Shows the window, lets it open (shown on screen, and what it put off to
    // the event loop as it showed done: the details windows fill in and grow
    // then) and waits for the X server to hold it where the program last put
    // it, framed when a window manager runs and with the frame wholly in the
    // available area; fails with where it stands if that does not come.
    static void ExpectFramedOnScreen(QWidget* window) {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window)) << "never shown";
        QCoreApplication::sendPostedEvents();
        const QRect area = Area();
        const bool framing = test::X11WindowManagerRuns();
        QRect frame;
        QTest::qWaitFor([&] {
            frame = test::X11FrameGeometry(window);
            return (!framing || frame.height() > window->height()) &&
                   test::X11ClientGeometry(window) == window->geometry() && area.contains(frame);
        });
        if (framing) EXPECT_TRUE(frame.height() > window->height()) << "never framed";
        EXPECT_TRUE(area.contains(frame)) << "frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                          << frame.height() << " in " << area.width() << "x" << area.height();
    }
};

TEST_F(WindowManagerTest, EveryWindowLiesWhollyOnScreenWithItsFrameAloneAndOverAWindowInTheCorner) {
    // Stands where the secure console sits: the bottom right corner.
    QWidget owner;
    owner.setObjectName("frmOwner");
    owner.resize(Area().size() / 3);
    owner.move(Area().bottomRight() - QPoint(owner.width() + 8, owner.height() + 40));
    ExpectFramedOnScreen(&owner);
    int seen = 0;
    enum class Opening { Alone, ModalOverTheCorner, TransientForTheCorner, SavedInTheCorner };
    const std::pair<Opening, const char*> openings[] = {
        {Opening::Alone, " alone"},
        {Opening::ModalOverTheCorner, " modal over the corner window"},
        {Opening::TransientForTheCorner, " transient for the corner window"},
        {Opening::SavedInTheCorner, " saved in the corner"},
    };
    for (const auto& [opening, how] : openings) {
        for (const auto& [name, make] : Windows()) {
            SCOPED_TRACE(name + how);
            if (opening == Opening::SavedInTheCorner) {
                // Left there at its own size on a larger screen: the frame's corner 40 pixels
                // above the bottom right corner of this one (windows that keep no place ignore it).
                ui::FormMetricsValues saved;
                saved.left = ui::ToTwipsX(Area().right() - 40);
                saved.top = ui::ToTwipsY(Area().bottom() - 40);
                ui::WriteFormMetrics(name, saved);
            }
            std::unique_ptr<QWidget> window = make();
            ASSERT_NE(window, nullptr);
            if (opening == Opening::ModalOverTheCorner) {
                // As the console's items open their windows: modal, while the console is active.
                owner.activateWindow();
                QTest::qWaitFor([&] { return owner.isActiveWindow(); });
                window->setWindowModality(Qt::ApplicationModal);
            } else if (opening == Opening::TransientForTheCorner) {
                // A window manager centres a dialog over the window it is transient for.
                window->winId();
                window->windowHandle()->setTransientParent(owner.windowHandle());
            }
            ExpectFramedOnScreen(window.get());
            const QStringList states = test::X11WindowStates(window.get());
            EXPECT_EQ(states.contains("_NET_WM_STATE_SKIP_TASKBAR"), kOffTheTaskBar.count(name) == 1)
                << states.join(' ').toStdString();
            window->hide();
            ++seen;
        }
    }
    EXPECT_EQ(seen, 4 * (18 + 12));
}

}  // namespace
}  // namespace corvane::testing
