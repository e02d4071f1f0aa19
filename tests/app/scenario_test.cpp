// The program's main road in one process, through its real windows: the
// first administrator, a wrong and a right password, the console, the menu's
// Security at Medium Security, an edit of a second user (renamed, a website
// assigned), the menu's Log Off, the login again and its Cancel; then what the
// files hold. Then the console's own road: the administrator's items, Log Off
// through its item, and a second user starting an assigned program from it.
// And a user who opens the browser from the console and types a refused address.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <algorithm>
#include <QSlider>
#include <QTreeWidget>
#include <QComboBox>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <QPointer>
#include <QStandardItemModel>
#include <memory>

#include "admin/catalogue/websites_programs/frm_website_details.h"
#include "admin/catalogue/websites_programs/frm_websites.h"
#include "admin/logs/details/frm_log_details.h"
#include "admin/logs/viewers/frm_log_viewers.h"
#include "admin/security/frm_lockdown_warning.h"
#include "admin/security/frm_security.h"
#include "admin/users/corvane/frm_corvane.h"
#include "admin/users/editor/frm_user_details.h"
#include "admin/users/wizard/frm_wizard.h"
#include "app/app_main.h"
#include "app/frm_splash.h"
#include "app/program_windows.h"
#include "browser/window/fake_control_widget.h"
#include "browser/window/frm_web_browser.h"
#include "catalogue/program.h"
#include "catalogue/user_permission.h"
#include "catalogue/user_program.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "catalogue/website.h"
#include "lockdown/lockdown_options.h"
#include "logs/activity_log.h"
#include "logs/log_clearing.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "messages/message_catalogue.h"
#include "platform/core/clock.h"
#include "platform/crypto/encryption.h"
#include "platform/crypto/encryption.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "platform/settings/settings_store.h"
#include "platform/system/process_spawn.h"
#include "recordstore/user.h"
#include "recordstore/user_log_clearer.h"
#include "recordstore/user_member.h"
#include "session/console/console_list_view.h"
#include "session/console/frm_secure_console.h"
#include "session/launchers/launchers.h"
#include "session/launchers/u_interface.h"
#include "session/launchers/window_factories.h"
#include "session/login/frm_login.h"
#include "session/login/pass_phrase.h"
#include "session/login/pass_phrase.h"
#include "session/shell/frm_main.h"
#include "session/shell/security_session.h"
#include "session/shell/shell_test_support.h"
#include "session/shell/start_up_with_windows.h"
#include "support/temp_folder.h"
#include "ui/helpers/file_dialog.h"
#include "ui/helpers/print_job.h"
#include "ui/helpers/qt_services.h"
#include "ui/ui_test_support.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

template <typename T>
T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

frmSecureConsole* OpenConsole() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* console = qobject_cast<frmSecureConsole*>(w); console && console->isVisible()) return console;
    return nullptr;
}

std::vector<std::string> ConsoleTexts(frmSecureConsole* console) {
    std::vector<std::string> texts;
    for (int row = 0; row < console->lsvItems()->Items()->rowCount(); ++row) texts.push_back(console->ItemAt(row).text);
    return texts;
}

// Selects the item of that text and launches it as Enter would.
void LaunchItem(frmSecureConsole* console, const std::string& text) {
    const auto texts = ConsoleTexts(console);
    const auto it = std::find(texts.begin(), texts.end(), text);
    ASSERT_NE(it, texts.end()) << text;
    console->lsvItems()->SelectRow(static_cast<int>(it - texts.begin()));
    console->LaunchSelected();
}

bool ConsoleOpen() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmSecureConsole") && w->isVisible()) return true;
    return false;
}

// Runs the event loop until done() holds or ten seconds have passed.
bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class ScenarioTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("CORVANE_PROGRAM_DIR", (folder / "program").c_str(), 1);
        ::setenv("CORVANE_REGISTRY_DIR", (folder / "registry").c_str(), 1);
        ::setenv("CORVANE_COMPUTER_NAME", "WS-SCENARIO", 1);
        std::filesystem::create_directories(folder / "program");
        // The workstation as its administrator has set it up.
        SetProductInfo();
        gRequireLogin = true;
        gAlwaysShowSecureConsole = true;
        gActionAfterLogout = true;
        gLogoutAction = 1;
        SaveGlobalSettingsToRegistry();
        gRequireLogin = gAlwaysShowSecureConsole = gActionAfterLogout = false;
        gLogoutAction = 0;

        InstallWidgetServices();
        SetUserLogClearer(ClearUserLogFile);
        InstallLaunchers();
        RegisterProgramWindows();
        InstallLoginWindow();
        frmSplash::SetUnloadInterval(10);
        clock::SetSleepFunction([](std::chrono::milliseconds) {});
        SetStartupServices({
            [] { return true; },
            [] { FAIL() << "the only copy ended"; },
            [](bool) {},
            [] { frmSplash().exec(); },
            [this] {
                form = std::make_unique<frmMain>(MakeSecuritySession(),
                                                 std::make_unique<FakeTrayBackend>(&tray));
                form->SetOnUnloaded([] {});
                form->Form_Load();
            },
        });
    }
    void TearDown() override {
        SetStartupServices({});
        UnloadSecureConsole();
        form.reset();
        clock::SetSleepFunction(nullptr);
        frmSplash::SetUnloadInterval(1000);
        gDataPath.clear();
        for (const char* name : {"CORVANE_PROGRAM_DIR", "CORVANE_COMPUTER_NAME"}) ::unsetenv(name);
        ::setenv("CORVANE_REGISTRY_DIR", registry.c_str(), 1);
    }

    // The wizard's first administrator, then the login with its password.
    static void FirstAdministratorLogsIn(bool& done) {
        test::OnNextModal<frmWizard>([&](frmWizard* wizard) {
            Child<QLineEdit>(wizard, "txtUserLogin")->setText("admin");
            Child<QLineEdit>(wizard, "txtUserName")->setText("The Administrator");
            Child<QPushButton>(wizard, "cmdNav3")->click();  // Next
            Child<QLineEdit>(wizard, "txtNewPassword")->setText("Corv4ne!");
            Child<QLineEdit>(wizard, "txtConfirmPassword")->setText("Corv4ne!");
            Child<QPushButton>(wizard, "cmdNav3")->click();
            Child<QPushButton>(wizard, "cmdNav4")->click();  // Finish
            test::OnNextModal<frmLogin>([&](frmLogin* login) {
                Child<QLineEdit>(login, "txtUserLogin")->setText("admin");
                Child<QLineEdit>(login, "txtPassword")->setText("Corv4ne!");
                login->cmdOK_Click();
                done = true;
            });
        });
    }

    const std::string registry = std::getenv("CORVANE_REGISTRY_DIR") ? std::getenv("CORVANE_REGISTRY_DIR") : "";
    test_support::TempFolder folder;
    std::vector<std::string> tray;
    std::unique_ptr<frmMain> form;
};

// From the open user window: Add "carol", add a website in the catalogue, give
// it to carol in the user editor, rename it (her link follows and the user
// window reloads), delete it (her link goes with it).
void ManageCarolsWebsite(ScriptedMsgBox& box, frmCorvane* users) {
    test::OnNextModal<frmWizard>([](frmWizard* wizard) {
        Child<QLineEdit>(wizard, "txtUserLogin")->setText("carol");
        Child<QPushButton>(wizard, "cmdNav3")->click();
        Child<QLineEdit>(wizard, "txtNewPassword")->setText("c4rol");
        Child<QLineEdit>(wizard, "txtConfirmPassword")->setText("c4rol");
        Child<QPushButton>(wizard, "cmdNav3")->click();
        Child<QPushButton>(wizard, "cmdNav4")->click();
    });
    Child<QPushButton>(users, "cmdAdd")->click();
    ASSERT_EQ(users->SelectedItem(), "carol");
    const int accounts = users->ListCount();

    // In the catalogue window: one editor, answered by the action, then Cancel.
    const auto inWebsites = [&](const std::function<void(frmWebsites*)>& action) {
        bool done = false;
        test::OnNextModal<frmWebsites>([&](frmWebsites* websites) {
            websites->Activate();
            action(websites);
            Child<QPushButton>(websites, "cmdCancel")->click();
            done = true;
        });
        Child<QPushButton>(users, "cmdWebsites")->click();
        ASSERT_TRUE(done);
    };
    const auto editorTypes = [](const char* url) {
        test::OnNextModal<frmWebsiteDetails>([url](frmWebsiteDetails* editor) {
            editor->Activate();
            Child<QLineEdit>(editor, "txtURL")->setText(url);
            Child<QPushButton>(editor, "cmdOK")->click();
        });
    };
    inWebsites([&](frmWebsites* websites) {
        editorTypes("http://example.org");
        Child<QPushButton>(websites, "cmdAdd")->click();
        EXPECT_EQ(websites->ListCount(), 1);
    });

    bool edited = false;
    test::OnNextModal<frmUserDetails>([&](frmUserDetails* editor) {
        ASSERT_TRUE(WaitFor([&] { return !editor->FormLoad(); }));
        Child<QCheckBox>(editor, "chkEnableInternetAccess")->click();
        auto* defined = Child<QTreeWidget>(editor, "lsvDefinedWebsites");
        for (int i = 0; i < defined->topLevelItemCount(); ++i)
            if (defined->topLevelItem(i)->text(0) == "http://example.org") defined->setCurrentItem(defined->topLevelItem(i));
        Child<QPushButton>(editor, "cmdAddWebsite")->click();
        Child<QPushButton>(editor, "cmdOK")->click();
        edited = true;
    });
    Child<QPushButton>(users, "cmdEdit")->click();
    ASSERT_TRUE(edited);
    UserWebsite link;
    ASSERT_TRUE(link.Load("http://example.org", "carol"));

    // Seen in the user window only when it reloads.
    User late;
    late.SetLogin("zed");
    late.AddNew();
    inWebsites([&](frmWebsites* websites) {
        websites->SetSelectedIndex(1);
        ASSERT_EQ(websites->SelectedItem(), "http://example.org");
        editorTypes("http://example.net");
        Child<QPushButton>(websites, "cmdEdit")->click();
        EXPECT_EQ(websites->SelectedItem(), "http://example.net");
    });
    EXPECT_TRUE(link.Load("http://example.net", "carol"));
    EXPECT_EQ(users->ListCount(), accounts + 1);

    box.Answers({kMsgYes, kMsgYes});
    inWebsites([&](frmWebsites* websites) {
        websites->SetSelectedIndex(1);
        Child<QPushButton>(websites, "cmdDelete")->click();
        EXPECT_EQ(websites->ListCount(), 0);
    });
    EXPECT_FALSE(UserWebsite().LoadWebsites("carol"));
    EXPECT_FALSE(Website().Exists("http://example.net"));

    std::vector<std::string> lines;
    ActivityLog log;
    for (log.MoveFirst(); !log.IsEOF(); log.MoveNext())
        if (log.ValidRecord() && log.Details().find("Website") != std::string::npos) lines.push_back(log.Details());
    EXPECT_EQ(lines, (std::vector<std::string>{"New Website - http://example.org", "Edit Website - http://example.net",
                                               "Delete Website(s) - http://example.net"}));
}

// The user window as the administrator opens it: Add "bob" through the
// wizard, links of bob's in every link file, then Delete bob.
void ManageBob(ScriptedMsgBox& box) {
    gEnableActivityLogging = true;
    ShowUserManagement();
    frmCorvane* users = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<frmCorvane*>(w); found && found->isVisible()) users = found;
        return users && !users->FormLoad() && users->ListCount() == 1;
    }));
    test::OnNextModal<frmWizard>([](frmWizard* wizard) {
        Child<QLineEdit>(wizard, "txtUserLogin")->setText("bob");
        Child<QPushButton>(wizard, "cmdNav3")->click();
        Child<QLineEdit>(wizard, "txtNewPassword")->setText("b0b");
        Child<QLineEdit>(wizard, "txtConfirmPassword")->setText("b0b");
        Child<QPushButton>(wizard, "cmdNav3")->click();
        Child<QPushButton>(wizard, "cmdNav4")->click();
    });
    Child<QPushButton>(users, "cmdAdd")->click();
    ASSERT_EQ(users->ListCount(), 2);
    EXPECT_EQ(users->SelectedItem(), "bob");
    {
        ActivityLog log;
        ASSERT_TRUE(log.Load(1));
        EXPECT_EQ(log.Details(), "New User - bob");
        EXPECT_EQ(log.UserLogin(), "admin");
    }
    const auto links = [] {
        UserMember m;
        UserPermission p;
        UserWebsite w;
        UserProgram g;
        return std::vector<bool>{m.LoadGroup("bob"), p.LoadPermissions("bob"), w.LoadWebsites("bob"),
                                 g.LoadPrograms("bob")};
    };
    {
        UserMember m;
        m.SetUserLogin("bob");
        m.SetGroup("Staff");
        m.AddNew();
        UserPermission p;
        p.SetUserLogin("bob");
        p.SetPermission("Print");
        p.AddNew();
        UserWebsite w;
        w.SetUserLogin("bob");
        w.SetURL("https://example.org/");
        w.AddNew();
        UserProgram g;
        g.SetUserLogin("bob");
        g.SetProgram("/usr/bin/true");
        g.AddNew();
    }
    EXPECT_EQ(links(), (std::vector<bool>{true, true, true, true}));
    box.Answer(kMsgYes);
    Child<QPushButton>(users, "cmdDelete")->click();
    EXPECT_EQ(users->ListCount(), 1);
    EXPECT_FALSE(User().Exists("bob"));
    EXPECT_EQ(links(), (std::vector<bool>{false, false, false, false}));
    ManageCarolsWebsite(box, users);
    Child<QPushButton>(users, "cmdOK")->click();
    gEnableActivityLogging = false;
}

// The user log as the administrator opens it while logged in: their own
// session open, then an export and a printed report to PDF.
void ReadUserLog(const std::filesystem::path& folder) {
    gEnableActivityLogging = true;
    ShowUserLog();
    frmUserLog* viewer = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<frmUserLog*>(w); found && found->isVisible()) viewer = found;
        return viewer && viewer->ListCount() == 2;
    }));
    const LogRows& rows = viewer->Model()->Rows();
    EXPECT_EQ(rows.Cell(0, 0), "admin");
    EXPECT_EQ(rows.Cell(0, 6), "Yes");
    EXPECT_EQ(rows.Cell(1, 6), "-");  // the wrong password
    EXPECT_EQ(viewer->StatusPanel(2)->text(), "1 Active User");

    // The administrator's own row in full, beside the viewer.
    viewer->SetSelectedIndex(1);
    viewer->ShowDetails();
    frmUserLogDetails* record = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        record = qobject_cast<frmUserLogDetails*>(SharedWindow(QStringLiteral("frmUserLogDetails")).data());
        return record && !record->FormLoad;
    }));
    EXPECT_EQ(record->Box("txtUserLogin")->text(), "admin");
    EXPECT_EQ(record->Box("txtType")->text(), "Login Success");
    EXPECT_EQ(record->Box("txtActive")->text(), "Yes");
    EXPECT_TRUE(record->DownButton()->isEnabled());
    record->cmdOK_Click();
    EXPECT_TRUE(record->isHidden());

    const std::string exported = (folder / "user-log.txt").string();
    SetFileDialog([&](const FileDialogRequest&, QWidget*) { return std::optional<QString>(QString::fromStdString(exported)); });
    viewer->ExportList();
    SetFileDialog(nullptr);
    EXPECT_EQ(std::filesystem::file_size(exported), 168u + 2 * 166u);
    const std::string pdf = (folder / "user-log.pdf").string();
    SetPrintDialog([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    viewer->PrintLog();
    SetPrintDialog(nullptr);
    EXPECT_TRUE(std::filesystem::exists(pdf));
    std::vector<std::string> details;
    ActivityLog log;
    for (log.MoveFirst(); !log.IsEOF(); log.MoveNext())
        if (log.ValidRecord()) details.push_back(log.Details());
    log.CloseTable();
    ASSERT_GE(details.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(details.end() - 2, details.end()),
              (std::vector<std::string>{"User Log Export", "Printed - User Log"}));
    viewer->close();
    gEnableActivityLogging = false;
}

TEST_F(ScenarioTest, FirstAdministratorLoginConsoleLogOffAndCancelledLogin) {
    auto box = ScriptedMsgBox::Install();
    box->SetDefaultAnswer(kMsgOk);
    bool wizardDone = false, loginDone = false, secondLoginShown = false;

    test::OnNextModal<frmWizard>([&](frmWizard* wizard) {
        EXPECT_FALSE(Child<QPushButton>(wizard, "cmdNav1")->isEnabled());  // Cancel
        Child<QLineEdit>(wizard, "txtUserLogin")->setText("admin");
        Child<QLineEdit>(wizard, "txtUserName")->setText("The Administrator");
        Child<QPushButton>(wizard, "cmdNav3")->click();  // Next
        Child<QLineEdit>(wizard, "txtNewPassword")->setText("Corv4ne!");
        Child<QLineEdit>(wizard, "txtConfirmPassword")->setText("Corv4ne!");
        Child<QPushButton>(wizard, "cmdNav3")->click();
        Child<QPushButton>(wizard, "cmdNav4")->click();  // Finish
        wizardDone = true;
        test::OnNextModal<frmLogin>([&](frmLogin* login) {
            Child<QLineEdit>(login, "txtUserLogin")->setText("admin");
            Child<QLineEdit>(login, "txtPassword")->setText("wrong");
            login->cmdOK_Click();
            EXPECT_TRUE(login->isVisible());
            Child<QLineEdit>(login, "txtPassword")->setText("Corv4ne!");
            login->cmdOK_Click();
            loginDone = true;
        });
    });
    Main();
    ASSERT_TRUE(wizardDone);
    ASSERT_TRUE(loginDone);
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, GetMessageText(445));
    EXPECT_TRUE(form->Authenticated());
    EXPECT_TRUE(ConsoleOpen());

    // The menu's Security: Medium Security, OK, the lockdown warning accepted.
    bool securityShown = false, warned = false;
    test::OnNextModal<frmSecurity>([&](frmSecurity* security) {
        securityShown = true;
        WaitFor([&] { return !security->FormLoad(); });
        Child<QSlider>(security, "sldSecurity")->setValue(3);
        test::OnNextModal<frmLockdownWarning>([&](frmLockdownWarning* warning) {
            warned = true;
            Child<QPushButton>(warning, "cmdOK")->click();
        });
        Child<QPushButton>(security, "cmdOK")->click();
    });
    form->Tray().notify(516);
    form->Tray().notify(517);
    ASSERT_NE(form->PopupMenu(), nullptr);
    emit form->PopupMenu()->Selected(5);
    ASSERT_TRUE(WaitFor([&] { return securityShown && !QApplication::activeModalWidget(); }));
    EXPECT_TRUE(warned);
    const auto policy = [](const char* key, const char* name) {
        return ReadRegistryValue(HKEY_CURRENT_USER, key, name, "missing");
    };
    for (const char* on : {"NoFind", "NoRun", "NoFolderOptions", "NoFavoritesMenu", "NoSetTaskbar"})
        EXPECT_EQ(policy(kExplorerPolicyKey, on), "1") << on;
    for (const char* off : {"NoNetHood", "NoDesktop", "RestrictRun", "NoClose"})
        EXPECT_EQ(policy(kExplorerPolicyKey, off), "0") << off;
    EXPECT_EQ(policy(kExplorerPolicyKey, "NoDriveTypeAutoRun"), "B5");
    EXPECT_EQ(policy(kExplorerPolicyKey, "NoDrives"), "0");
    EXPECT_EQ(policy(kSystemPolicyKey, "DisableLockWorkstation"), "1");
    EXPECT_EQ(GetMachineSetting(kLockdownMachineSection, "NoTaskbar", "missing"), "0");
    EXPECT_EQ(GetMachineSetting("Global", "Any Lockdown Options Set", "missing"), "True");
    EXPECT_EQ(GetMachineSetting("Global", "Security Level", "missing"), "2");
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Corvane",
                                "missing"),
              ProgramPathName());

    ManageBob(*box);
    // The administrator edits a second user: renames it and assigns it a website.
    {
        User clerk;
        clerk.SetLogin("clerk");
        clerk.SetName("A Clerk");
        clerk.SetAccessLevel(1);
        clerk.AddNew();
        Website site;
        site.SetURL("http://intranet.example/");
        site.AddNew();
    }
    bool editorDone = false;
    test::OnNextModal<frmUserDetails>([&](frmUserDetails* editor) {
        ASSERT_TRUE(WaitFor([&] { return !editor->FormLoad(); }));
        Child<QCheckBox>(editor, "chkEnableInternetAccess")->click();
        auto* defined = Child<QTreeWidget>(editor, "lsvDefinedWebsites");
        defined->setCurrentItem(defined->topLevelItem(0));
        Child<QPushButton>(editor, "cmdAddWebsite")->click();
        Child<QLineEdit>(editor, "txtUserLogin")->setText("cashier");
        Child<QPushButton>(editor, "cmdOK")->click();
        editorDone = true;
    });
    UInterface().EditUser("clerk");
    ASSERT_TRUE(editorDone);
    ReadUserLog(folder.Path());

    // The menu's Log Off; the login follows at once and is cancelled.
    test::OnNextModal<frmLogin>([&](frmLogin* login) {
        secondLoginShown = true;
        Child<QPushButton>(login, "cmdCancel")->click();
    });
    form->Tray().notify(516);
    form->Tray().notify(517);
    ASSERT_NE(form->PopupMenu(), nullptr);
    EXPECT_TRUE(form->PopupMenu()->MenuItem(1)->isEnabled());
    emit form->PopupMenu()->Selected(1);
    ASSERT_TRUE(WaitFor([&] { return secondLoginShown && !QApplication::activeModalWidget(); }));
    EXPECT_FALSE(form->Authenticated());
    EXPECT_FALSE(ConsoleOpen());

    User user;
    ASSERT_TRUE(user.Load("admin"));
    EXPECT_EQ(user.IsAdministrator(), -1);
    EXPECT_EQ(user.FailedLogins(), 0);
    user.CloseTable();
    UserLog log;
    ASSERT_EQ(log.RecordCount(), 2);
    ASSERT_TRUE(log.Load(1));
    EXPECT_EQ(log.UserLogin(), "admin");
    EXPECT_NE(log.Failed(), 0);
    EXPECT_EQ(log.Active(), 0);
    ASSERT_TRUE(log.Load(2));
    EXPECT_EQ(log.UserLogin(), "admin");
    EXPECT_EQ(log.Failed(), 0);
    EXPECT_EQ(log.Active(), 0);
    EXPECT_NE(log.LogoutStamp(), 0);
    EXPECT_GE(log.LogoutStamp(), log.LoginStamp());
    EXPECT_EQ(log.Computer(), "WS-SCENARIO");
    EXPECT_EQ(log.AppName(), "Corvane Standard");
    log.CloseTable();
    EXPECT_TRUE(std::filesystem::exists(folder / "program/users.sec"));

    // The edited user under its new login, with its website.
    User cashier;
    EXPECT_TRUE(cashier.Load("cashier"));
    EXPECT_FALSE(cashier.Load("clerk"));
    UserWebsite assigned;
    EXPECT_TRUE(assigned.Load("http://intranet.example/", "cashier"));
    EXPECT_FALSE(assigned.Load("http://intranet.example/", "clerk"));
}

TEST_F(ScenarioTest, ConsoleItemsLogOffThroughTheConsoleAndAUserStartsAProgram) {
    auto box = ScriptedMsgBox::Install();
    box->SetDefaultAnswer(kMsgOk);
    std::vector<std::vector<std::string>> starts;
    SetSpawnFunction([&](const std::vector<std::string>& argv, const std::string&) {
        starts.push_back(argv);
        return 4242;
    });
    bool adminIn = false;
    FirstAdministratorLogsIn(adminIn);
    Main();
    ASSERT_TRUE(adminIn);
    frmSecureConsole* console = OpenConsole();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(ConsoleTexts(console),
              (std::vector<std::string>{"Web Browser", "Corvane", "Security", "Options", "Change Password", "Log Off"}));
    EXPECT_EQ(console->Panel(2)->text(), "User: admin");

    // The administrator gives Ann a program of the catalogue.
    const std::string calc = folder / "program/calc";
    std::ofstream(calc) << "#!/bin/sh\n";
    {
        User ann;
        ann.SetLogin("ann");
        ann.SetAccessLevel(1);
        ann.SetPassword(Encryption().EnCode("Ann-Pass1", kPasswordPassPhrase));
        ann.SetPasswordCannotChange(-1);
        ann.SetAddProgramsToSecureConsoleAfterLogin(-1);
        ann.AddNew();
        Program program;
        program.SetProgramPathName(calc);
        program.SetDescription("Calculator");
        program.SetAccessLevel(1);
        program.AddNew();
        UserProgram link;
        link.SetUserLogin("ann");
        link.SetProgram(calc);
        link.SetActive(-1);
        link.AddNew();
    }

    // Log Off through the console's item; the login follows and Ann logs in.
    bool annIn = false;
    test::OnNextModal<frmLogin>([&](frmLogin* login) {
        Child<QLineEdit>(login, "txtUserLogin")->setText("ann");
        Child<QLineEdit>(login, "txtPassword")->setText("Ann-Pass1");
        login->cmdOK_Click();
        annIn = true;
    });
    QPointer<frmSecureConsole> adminConsole(console);
    LaunchItem(console, "Log Off");
    ASSERT_TRUE(WaitFor([&] { return annIn && adminConsole.isNull() && OpenConsole(); }));
    EXPECT_TRUE(form->Authenticated());
    console = OpenConsole();
    EXPECT_EQ(ConsoleTexts(console), (std::vector<std::string>{"calc", "Log Off"}));
    EXPECT_EQ(console->Panel(2)->text(), "User: ann");

    LaunchItem(console, "calc");
    EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{{calc}}));
    EXPECT_EQ(box->Count(), 0);
    SetSpawnFunction(nullptr);

    UserLog log;
    ASSERT_EQ(log.RecordCount(), 2);
    ASSERT_TRUE(log.Load(1));
    EXPECT_EQ(log.Active(), 0);
    ASSERT_TRUE(log.Load(2));
    EXPECT_EQ(log.UserLogin(), "ann");
    EXPECT_NE(log.Active(), 0);
    log.CloseTable();
}

TEST_F(ScenarioTest, AUserOpensTheBrowserFromTheConsoleAndTypesARefusedAddress) {
    gRequireLogin = gAlwaysShowSecureConsole = gEnableWebsiteLogging = true;
    SaveGlobalSettingsToRegistry();
    gRequireLogin = gAlwaysShowSecureConsole = gEnableWebsiteLogging = false;
    gDataPath = folder / "program";
    for (const auto& [login, admin] : {std::pair{"admin", true}, std::pair{"ann", false}}) {
        User u;
        u.SetLogin(login);
        u.SetName(login);
        u.SetPassword(Encryption().EnCode("Corv4ne!", kPasswordPassPhrase));
        u.SetIsAdministrator(admin ? -1 : 0);
        u.SetEnableInternetAccess(-1);
        u.SetEnforceWebsites(admin ? 0 : -1);
        u.AddNew();
    }
    Website site;
    site.SetURL("http://allowed.example");
    site.AddNew();
    site.CloseTable();

    auto box = ScriptedMsgBox::Install();
    box->SetDefaultAnswer(kMsgOk);
    FakeControlScope fakeBrowsers;
    bool loginDone = false;
    test::OnNextModal<frmLogin>([&](frmLogin* login) {
        Child<QLineEdit>(login, "txtUserLogin")->setText("ann");
        Child<QLineEdit>(login, "txtPassword")->setText("Corv4ne!");
        login->cmdOK_Click();
        loginDone = true;
    });
    Main();
    ASSERT_TRUE(loginDone);
    ASSERT_TRUE(ConsoleOpen());

    // The console's "Web Browser" item.
    ShowWebBrowser();
    frmWebBrowser* browser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<frmWebBrowser*>(w); b && b->isVisible()) browser = b;
    ASSERT_NE(browser, nullptr);
    auto* address = Child<QComboBox>(browser, "cboAddress");
    address->setEditText(QStringLiteral("http://refused.example/"));
    QTest::keyClick(address->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, std::string("http://refused.example/")));
    EXPECT_TRUE(FakeControlScope::Of(*browser).navigations == std::vector<std::string>{"about:blank"});
    browser->close();

    WebsiteLog log;
    ASSERT_EQ(log.RecordCount(), 1);
    ASSERT_TRUE(log.Load(1));
    EXPECT_EQ(log.UserLogin(), "ann");
    EXPECT_EQ(log.URL(), "http://refused.example/");
    EXPECT_EQ(log.Status(), "URL DENIED");
    EXPECT_EQ(log.Computer(), "WS-SCENARIO");
    EXPECT_EQ(log.AppName(), "Corvane Standard");
    log.CloseTable();
}

}  // namespace
}  // namespace corvane::testing
