// Renders the user editor (each tab, with a sample user), its record-lock message and the
// group members window into PNG files for a person to look at:
//   editor_screenshots OUTPUT_FOLDER
// It works in a data folder and registry of its own under /tmp and leaves them behind.

#include <stdlib.h>

#include <QApplication>
#include <QTabWidget>
#include <QTimer>
#include <memory>
#include <string>

#include "admin/users/editor/frm_user_details.h"
#include "admin/users/members/frm_members.h"
#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/clock.h"
#include "platform/core/program_globals.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"
#include "ui/msgbox/frm_enh_msg_box.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

namespace {

void AddUser(const char* login, const char* name, bool sample) {
    User u;
    u.SetLogin(login);
    u.SetName(name);
    u.SetAccessLevel(1);
    if (sample) {
        u.SetDescription("Accounts department, second floor.\nPart-time on Fridays.");
        u.SetHomePage("http://intranet.example/");
        u.SetDisplayMessageAfterLogin(kFlagTrue);
        u.SetDisplayMessage("Welcome back. Remember to lock the screen when you leave.");
        u.SetEnableInternetAccess(kFlagTrue);
        u.SetEnforceWebsites(kFlagTrue);
        u.SetAllowNewInternetWindows(kFlagTrue);
        u.SetStartProgramsAfterLogin(kFlagTrue);
        u.SetPasswordCannotChange(kFlagTrue);
    }
    u.AddNew();
}

void Link(UserWebsite&& link, const char* login, const char* url) {
    link.SetUserLogin(login);
    link.SetURL(url);
    link.AddNew();
}

void Seed() {
    AddUser("alice", "Alice Example", true);
    AddUser("bob", "Bob Adams", false);
    AddUser("carol", "Carol Zed", false);
    for (const char* url : {"http://intranet.example/", "http://www.example.com/", "http://news.example.org/",
                            "http://mail.example.net/"}) {
        Website w;
        w.SetURL(url);
        w.AddNew();
    }
    for (const char* path : {"/usr/bin/gnome-calculator", "/usr/bin/gedit", "/usr/bin/libreoffice", "/usr/bin/evince"}) {
        Program p;
        p.SetProgramPathName(path);
        p.AddNew();
    }
    Link(UserWebsite(), "alice", "http://intranet.example/");
    Link(UserWebsite(), "alice", "http://mail.example.net/");
    UserProgram program;
    program.SetUserLogin("alice");
    program.SetProgram("/usr/bin/gedit");
    program.AddNew();
    for (const char* login : {"alice", "bob", "carol"}) {
        UserMember m;
        m.SetUserLogin(login);
        m.SetGroup("Accounts");
        m.AddNew();
    }
    // bob's record is being edited on another workstation.
    User bob;
    bob.Load("bob");
    bob.LockRecord("bob", "frank");
}

void WaitForActivation(const std::function<bool()>& loading) {
    for (int i = 0; i < 200 && loading(); ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string data = test::ScratchDataFolder("editor-shots");
    if (data.empty()) return 1;
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    gDataPath = data;
    SetMsgBoxPresenter(std::make_shared<EnhMsgBoxPresenter>());
    const auto save = [&](QWidget* w, const char* file) { shots.Save(w->grab(), file); };

    // The lock is taken on "WS-FRONT"; this program runs as another computer.
    ::setenv("CORVANE_COMPUTER_NAME", "WS-FRONT", 1);
    // A fixed moment for the lock, so the message reads the same on every run.
    clock::SetNowSource([] {
        return std::chrono::system_clock::time_point(std::chrono::sys_days(std::chrono::year(2026) / 12 / 9) +
                                                     std::chrono::hours(9) + std::chrono::minutes(15));
    });
    Seed();
    clock::SetNowSource(nullptr);
    ::setenv("CORVANE_COMPUTER_NAME", "WS-BACK", 1);

    {
        frmUserDetails editor;
        editor.SetUserLogin("alice");
        editor.show();
        WaitForActivation([&] { return editor.FormLoad(); });
        auto* tabs = editor.findChild<QTabWidget*>("tabDetails");
        const char* files[] = {"editor-general.png", "editor-access.png", "editor-programs.png", "editor-internet.png"};
        for (int tab = 0; tab < 4; ++tab) {
            tabs->setCurrentIndex(tab);
            QApplication::processEvents();
            save(&editor, files[tab]);
        }
        editor.findChild<QWidget*>("chkEnableInternetAccess")->setProperty("checked", false);
        QApplication::processEvents();
        save(&editor, "editor-internet-off.png");
    }
    {
        // The lock message, grabbed once it is up, then answered with Cancel.
        auto* watcher = new QTimer(&app);
        QObject::connect(watcher, &QTimer::timeout, watcher, [&, watcher] {
            auto* box = qobject_cast<frmEnhMsgBox*>(QApplication::activeModalWidget());
            if (!box) return;
            watcher->stop();
            watcher->deleteLater();
            save(box, "editor-locked.png");
            box->close();
        });
        watcher->start(20);
        frmUserDetails editor;
        editor.SetUserLogin("bob");
        editor.show();
        WaitForActivation([&] { return editor.FormLoad(); });
    }
    {
        frmMembers members;
        members.SetGroupName("Accounts");
        members.show();
        WaitForActivation([&] { return members.FormLoad(); });
        save(&members, "members.png");
    }
    return shots.Finish();
}
