// A session's end over the real engine: an administrator's remote log-off (the session's
// user-log record closed from elsewhere) while a page's box, its <select> list, date picker,
// colour chooser or context menu is open; and what one login's browser keeps, never seen by the
// next. Skipped where the
// engine cannot start (no display, no engine process).

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <functional>
#include <memory>
#include <optional>

#include "browser/window/engine_browser_control.h"
#include "browser/window/frm_web_browser.h"
#include "browser_test_support.h"
#include "engine_test_main.h"
#include "logs/current_user.h"
#include "logs/log_writers.h"
#include "logs/user_log.h"
#include "loopback_server.h"
#include "platform/core/clock.h"
#include "platform/system/workstation_forms.h"
#include "recordstore/user.h"
#include "session/login/security.h"
#include "session/shell/security_session.h"
#include "session/shell/session_controller.h"
#include "ui/helpers/nested_dialogs.h"
#include "ui/helpers/top_level_form_registry.h"

namespace corvane::testing {
namespace {

// The main form as the session sees it: only what comes back after a log-off is counted.
struct CountingHost : SessionHost {
    void ShowNewUserWizard(bool, bool) override {}
    void ShowSecureConsole() override { ++consoles; }
    bool IsConsoleLoaded() override { return false; }
    void UnloadConsole() override {}
    void ShowTipOfTheDay() override {}
    void ShowUserManagement() override {}
    void ShowChangePassword(const std::string&) override {}
    void ShowSecurity() override {}
    void ShowMainOptions() override {}
    void ShowLogoutNotice() override {}
    void HideLogoutNotice() override {}
    void SetTrayEnabled(bool) override {}
    void RemoveTrayIcon() override {}
    void SetWatchdogRunning(bool on) override { watchdog = on; }
    void MenuLoggedOff() override {}
    void SetBusyPointer(bool) override {}
    void UnloadMainForm() override {}
    bool ConsoleStandsInForIcon() override { return true; }
    int consoles = 0;
    bool watchdog = false;
};

// What is open when the session ends, how the page opens it, and how it is seen.
struct Member {
    const char* name;
    // Run on the loaded page; a real click on the page comes first where the engine wants one.
    std::function<void(frmWebBrowser&, QWidget* pageWidget)> open;
    std::function<bool()> shown;
    // A popup: a click the engine may miss while the window is still coming up is made again.
    // Otherwise the page's box.
    bool again = false;
};

// The page's box, whoever shows it.
bool PageBoxShown() { return QApplication::activeModalWidget() != nullptr; }
bool PopupShown() { return QApplication::activePopupWidget() != nullptr; }
bool MenuShown() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }

void RunScript(frmWebBrowser& window, const QString& script) {
    static_cast<EngineBrowserControl&>(window.Control()).View()->page()->runJavaScript(script);
}

const QByteArray kSessionPage =
    "<html><head><title>Lesson</title></head><body style='margin:0'>"
    "<select id='s' style='position:absolute;left:10px;top:10px;width:200px;height:30px'>"
    "<option>one</option><option>two</option></select>"
    "<input type='date' style='position:absolute;left:10px;top:50px;width:200px;height:30px'>"
    "<input type='color' style='position:absolute;left:250px;top:10px;width:60px;height:30px'>"
    "<div style='position:absolute;left:0;top:100px;width:100%;height:300px'>text</div></body></html>";

class EngineSessionTest : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        server_.pages["/lesson"] = kSessionPage;
        page_ = server_.Address("/lesson");
        AddWebsites({page_.c_str(), server_.Address("/next").c_str()});
        AddBrowserUser({.login = "ann"});
        Assign("ann", {page_.c_str(), server_.Address("/next").c_str()});
        ui::InstallTopLevelFormRegistry();
        clock::SetSleepFunction([](std::chrono::milliseconds) {});
        gActionAfterLogout = true;
        gLogoutAction = 1;
        // The login window as a pupil answers it: ann, with her session's record written.
        previousOpener_ = SetLoginWindowOpener([this] {
            ++logins;
            User account;
            account.Load("ann");
            const UserLogEntry entry = WriteUserLogEntry("ann", &account, true);
            return LoginWindowResult{true, "ann", "", entry.logID, entry};
        });
    }
    void TearDown() override {
        SetLoginWindowOpener(previousOpener_);
        gActionAfterLogout = false;
        gLogoutAction = 0;
        clock::SetSleepFunction(nullptr);
        SetFormSource({});
        PublishAuthentication(false, "", "");
        BrowserTest::TearDown();
    }

    // The administrator's remote log-off: the session's record closed from another workstation.
    static void RemoteLogOff(std::int32_t logID) {
        UserLog record;
        ASSERT_TRUE(record.Load(logID));
        ASSERT_TRUE(CloseUserLogEntry(EntryOf(record)));
    }

    LoopbackServer server_;
    std::string page_;
    int logins = 0;

private:
    LoginWindowOpener previousOpener_;
};

TEST_F(EngineSessionTest, ARemoteLogOffUnderEachPageDialogAndPopupLeavesCorvaneRunning) {
    const auto clickAt = [](QWidget* target, Qt::MouseButton button, QPoint at) {
        QTest::mouseClick(target, button, {}, at);
    };
    const std::vector<Member> members = {
        {"alert", [](frmWebBrowser& w, QWidget*) { RunScript(w, QStringLiteral("setTimeout(() => alert('left open'))")); },
         PageBoxShown},
        {"confirm", [](frmWebBrowser& w, QWidget*) { RunScript(w, QStringLiteral("setTimeout(() => confirm('sure?'))")); },
         PageBoxShown},
        {"prompt", [](frmWebBrowser& w, QWidget*) { RunScript(w, QStringLiteral("setTimeout(() => prompt('name?', 'x'))")); },
         PageBoxShown},
        {"beforeunload",
         [&](frmWebBrowser& w, QWidget* page) {
             RunScript(w, QStringLiteral("window.onbeforeunload = e => { e.preventDefault(); e.returnValue = ''; };"));
             // The engine asks only on a page the user has touched.
             clickAt(page, Qt::LeftButton, QPoint(300, 200));
             QTimer::singleShot(200, &w, [&w, this] { w.Control().Navigate(server_.Address("/next")); });
         },
         PageBoxShown},
        {"select", [&](frmWebBrowser&, QWidget* page) { clickAt(page, Qt::LeftButton, QPoint(60, 25)); }, PopupShown,
         true},
        {"date picker", [&](frmWebBrowser&, QWidget* page) { clickAt(page, Qt::LeftButton, QPoint(196, 65)); },
         PopupShown, true},
        {"colour chooser", [&](frmWebBrowser&, QWidget* page) { clickAt(page, Qt::LeftButton, QPoint(280, 25)); },
         PageBoxShown, true},
        {"context menu", [&](frmWebBrowser&, QWidget* page) { clickAt(page, Qt::RightButton, QPoint(300, 200)); },
         MenuShown, true},
    };
    auto box = ScriptedMsgBox::Install();
    CountingHost host;
    auto security = MakeSecuritySession();
    SessionController controller(*security, host);
    for (const Member& member : members) {
        SCOPED_TRACE(member.name);
        logins = 0;
        host.consoles = 0;
        const int boxes = box->Count();
        controller.Authenticate();
        ASSERT_TRUE(controller.Authenticated());
        ASSERT_EQ(logins, 1);
        const std::int32_t logID = controller.LogID();

        QPointer<frmWebBrowser> window = new frmWebBrowser;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->Controller().StartingAddress = page_;
        window->show();
        auto& control = static_cast<EngineBrowserControl&>(window->Control());
        if (!WaitFor([&] { return !control.Busy() && control.LocationURL() == page_; }, 20000)) {
            delete window.data();
            GTEST_SKIP() << "the web engine did not start here";
        }
        QWidget* page = control.View()->focusProxy() ? control.View()->focusProxy() : control.View();

        // The watchdog's tick comes inside whatever loop the page's dialog runs, as it would.
        bool ended = false, aliveInside = false, hiddenInside = false;
        QTimer watchdog;
        watchdog.setInterval(20);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            if (ended || !member.shown()) return;
            ended = true;
            // The page's boxes are Corvane's own, counted like its other dialogs.
            if (!member.again)
                EXPECT_EQ(QApplication::activeModalWidget()->objectName(), QStringLiteral("frmPageDialog"));
            RemoteLogOff(logID);
            controller.tmrSession_Timer();
            aliveInside = window;
            hiddenInside = !window || !window->isVisible();
        });
        watchdog.start();
        window->activateWindow();
        member.open(*window, page);
        for (int i = 0; i < 15 && !WaitFor([&] { return ended; }, 1000); ++i)
            if (member.again && window) member.open(*window, page);
        ASSERT_TRUE(ended) << "the page never showed it";
        watchdog.stop();
        EXPECT_TRUE(aliveInside) << "not freed under the loop";
        EXPECT_TRUE(hiddenInside);
        EXPECT_TRUE(WaitFor([&] { return window.isNull(); }, 10000)) << "the window goes once its loop returned";
        EXPECT_FALSE(NestedLoopRuns());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        // Message 510, then the log-off; the login and the console come back.
        ASSERT_EQ(box->Count(), boxes + 1);
        EXPECT_EQ(box->Last().prompt, "Session Terminated Remotely!");
        EXPECT_EQ(logins, 2);
        EXPECT_TRUE(controller.Authenticated());
        EXPECT_GE(host.consoles, 1);
        UserLog record;
        ASSERT_TRUE(record.Load(logID));
        EXPECT_EQ(record.Active(), 0);
        gActionAfterLogout = false;
        controller.LogOFF();
        gActionAfterLogout = true;
    }
}

// Serves pages that tell what the browser sent: a cookie set by /set, and /auth only to the
// right HTTP password.
class TellingServer : public QTcpServer {
public:
    TellingServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    std::string Address(const char* path, const char* credentials = "") const {
        return std::string("http://") + credentials + "127.0.0.1:" + std::to_string(serverPort()) + path;
    }
    std::vector<QByteArray> cookies;  // the Cookie header of each /page request ("" for none)

private:
    void Answer(QTcpSocket* socket) {
        const QByteArray request = socket->readAll();
        const QByteArray path = request.split(' ').value(1);
        QByteArray headers = "Content-Type: text/html\r\nConnection: close\r\n";
        QByteArray status = "200 OK";
        QByteArray body = "<html><body>page</body></html>";
        if (path == "/set") {
            headers += "Set-Cookie: pupil=ann; Path=/\r\n";
        } else if (path == "/page") {
            QByteArray cookie;
            for (const QByteArray& line : request.split('\n'))
                if (line.toLower().startsWith("cookie:")) cookie = line.mid(7).trimmed();
            cookies.push_back(cookie);
        } else if (path == "/auth") {
            if (request.contains("Authorization: Basic " + QByteArray("ann:secret").toBase64())) {
                body = "<html><body>marks</body></html>";
            } else {
                status = "401 Unauthorized";
                headers += "WWW-Authenticate: Basic realm=\"school\"\r\n";
                body = "<html><body>locked</body></html>";
            }
        }
        socket->write("HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) +
                      "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
};

// One browser control as a window holds it, loaded at the address; nullptr when the engine
// cannot start here.
std::unique_ptr<EngineBrowserControl> OpenControl(const std::string& address) {
    auto control = std::make_unique<EngineBrowserControl>();
    control->resize(400, 300);
    control->show();
    bool finished = false;
    QObject::connect(control->View(), &QWebEngineView::loadFinished, control.get(), [&] { finished = true; });
    control->Navigate(address);
    if (!WaitFor([&] { return finished && !control->Busy(); }, 20000)) return nullptr;
    return control;
}

QString Script(EngineBrowserControl& control, const QString& script) {
    std::optional<QVariant> result;
    control.View()->page()->runJavaScript(script, [&](const QVariant& v) { result = v; });
    WaitFor([&] { return result.has_value(); }, 10000);
    return result.value_or(QVariant()).toString();
}

QString BodyAt(EngineBrowserControl& control, const std::string& address) {
    bool finished = false;
    const auto connection = QObject::connect(control.View(), &QWebEngineView::loadFinished, [&] { finished = true; });
    control.Navigate(address);
    WaitFor([&] { return finished; }, 15000);
    QObject::disconnect(connection);
    return Script(control, QStringLiteral("document.body ? document.body.innerText : ''"));
}

TEST_F(EngineSessionTest, EachLoginHasABrowserOfItsOwnThatItsWindowsShare) {
    TellingServer server;
    PublishAuthentication(true, "ann", "");
    std::unique_ptr<EngineBrowserControl> first = OpenControl(server.Address("/set"));
    if (!first) GTEST_SKIP() << "the web engine did not start here";
    QPointer<QWebEngineProfile> annsProfile = first->View()->page()->profile();
    ASSERT_TRUE(annsProfile);
    EXPECT_TRUE(annsProfile->isOffTheRecord()) << "nothing of a login on disk";
    EXPECT_NE(annsProfile.data(), QWebEngineProfile::defaultProfile());
    Script(*first, QStringLiteral("localStorage.setItem('pupil', 'ann'); 'set'"));
    EXPECT_EQ(BodyAt(*first, server.Address("/auth", "ann:secret@")), QStringLiteral("marks"));

    // The same login's second window shares all of it.
    std::unique_ptr<EngineBrowserControl> second = OpenControl(server.Address("/page"));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->View()->page()->profile(), annsProfile.data());
    EXPECT_EQ(server.cookies.back(), QByteArray("pupil=ann"));
    EXPECT_EQ(Script(*second, QStringLiteral("localStorage.getItem('pupil')")), QStringLiteral("ann"));
    EXPECT_EQ(BodyAt(*second, server.Address("/auth")), QStringLiteral("marks"));

    // Ann logs off; her windows go, and her browser with the last of them.
    PublishAuthentication(false, "", "");
    first.reset();
    EXPECT_TRUE(annsProfile) << "kept while a window of the login is still there";
    second.reset();
    EXPECT_TRUE(annsProfile.isNull());

    // The next login, of the same account too, starts from nothing.
    for (const char* next : {"bob", "ann"}) {
        SCOPED_TRACE(next);
        PublishAuthentication(true, next, "");
        std::unique_ptr<EngineBrowserControl> third = OpenControl(server.Address("/page"));
        ASSERT_TRUE(third);
        EXPECT_EQ(server.cookies.back(), QByteArray());
        EXPECT_EQ(Script(*third, QStringLiteral("String(localStorage.getItem('pupil'))")), QStringLiteral("null"));
        EXPECT_FALSE(BodyAt(*third, server.Address("/auth")).contains(QStringLiteral("marks")));
        third.reset();
        PublishAuthentication(false, "", "");
    }
}

}  // namespace
}  // namespace corvane::testing

int main(int argc, char** argv) { return corvane::testing::RunEngineTests(argc, argv); }
