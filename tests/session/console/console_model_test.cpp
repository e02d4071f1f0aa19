// The console's list for each kind of session, its status texts and its
// launches, without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_test_support.h"
#include "support/append_in_flight.h"
#include "logs/current_user.h"
#include "messages/message_catalogue.h"
#include "session/console/console_model.h"
#include "support/scratch_desktop.h"
#include "support/services_scope.h"
#include "support/temp_folder.h"
#include "ui_core/help.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane {

void PrintTo(const ConsoleItem& item, std::ostream* os) {
    *os << "{" << item.text << " | " << item.description << " | " << item.pictureKey << " | " << item.key << " | "
        << item.tag << "}";
}

namespace {

using namespace testing;

std::vector<std::string> Tags(const std::vector<ConsoleItem>& items) {
    std::vector<std::string> tags;
    for (const auto& item : items) tags.push_back(item.tag);
    return tags;
}

// What a launch asked of the session and the windows, in order.
class RecordingHost : public ConsoleHost {
public:
    bool authenticated = true;
    std::function<void()> onAuthenticate;
    std::vector<std::string> calls;

    bool Authenticated() override { return authenticated; }
    void Authenticate() override {
        calls.push_back("Authenticate");
        if (onAuthenticate) onAuthenticate();
    }
    void LogOFF() override { calls.push_back("LogOFF"); }
    void SetTrayEnabled(bool on) override { calls.push_back(on ? "tray on" : "tray off"); }
    void ShowUserManagement() override { calls.push_back("ShowUserManagement"); }
    void ShowMainOptions() override { calls.push_back("ShowMainOptions"); }
    void ShowSecurity() override { calls.push_back("ShowSecurity"); }
    void ShowWebBrowser() override { calls.push_back("ShowWebBrowser"); }
    void ShowChangePassword(const std::string& login) override { calls.push_back("ShowChangePassword " + login); }
};

class ConsoleModelTest : public ConsoleTest {};

TEST_F(ConsoleModelTest, FixedItemsCarryTheirTextsPicturesAndTags) {
    AddAccount("root", {.administrator = true});
    LogIn("root");
    const auto items = ConsoleModel::BuildItems(true);
    const std::vector<ConsoleItem> expected{
        {"Web Browser", "Secure Internet Browser", "web browser", "", "Web Browser"},
        {"Corvane", "User Management for Administrators", "corvane", "", "Corvane"},
        {"Security", "Security and Workstation Lockdown options", "security", "", "Security"},
        {"Options", "Corvane Basic Options", "options", "", "Options"},
        {"Change Password", "Change Current User Password", "password", "", "Change Password"},
        {"Log Off", "Log Off Current User", "way out", "", "Log Off"},
    };
    EXPECT_EQ(items, expected);
}

TEST_F(ConsoleModelTest, TheSessionDecidesWhichItemsShow) {
    const std::string calc = Executable("calc");
    AddCatalogueProgram(calc, "Calculator");
    const struct {
        const char* name;
        bool authenticated;
        Rights rights;
        bool recordExists;
        std::vector<std::string> tags;
    } rows[] = {
        {"nobody logged in", false, {}, false, {"Web Browser", "Corvane", "Options"}},
        {"administrator who may not change the password, no programs", true,
         {.administrator = true, .passwordCannotChange = true}, true,
         {"Web Browser", "Corvane", "Security", "Options", "Change Password", "Log Off"}},
        {"administrator with programs", true, {.administrator = true, .programs = true}, true,
         {"Web Browser", "Corvane", "Security", "Options", "Change Password", "Program", "Log Off"}},
        {"user with the internet and the password right", true, {.internet = true}, true,
         {"Web Browser", "Change Password", "Log Off"}},
        {"user without either, with programs", true, {.passwordCannotChange = true, .programs = true}, true,
         {"Program", "Log Off"}},
        {"user whose record is missing", true, {.internet = true, .programs = true}, false, {"Log Off"}},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string login = "user" + std::to_string(++n);
        if (row.recordExists) AddAccount(login, row.rights);
        Assign(login, calc);
        if (row.authenticated) LogIn(login);
        else gAuthenticatedUser.clear();
        EXPECT_EQ(Tags(ConsoleModel::BuildItems(row.authenticated)), row.tags);
    }
}

TEST_F(ConsoleModelTest, ProgramsComeInRecordOrderFromTheCatalogueEachPathOnce) {
    const std::string calc = Executable("calc"), edit = Executable("edit");
    AddCatalogueProgram(edit, "");
    AddCatalogueProgram(Path("gone"), "Deleted file");
    AddCatalogueProgram(calc, "Calculator");
    AddAccount("ann", {.passwordCannotChange = true, .programs = true});
    Assign("ann", calc);
    Assign("ann", Path("stray"));  // not in the catalogue
    Assign("ann", edit);
    Assign("ann", Path("gone"));   // listed: only its launch finds the file missing
    Assign("ann", calc);           // assigned twice, listed once
    Assign("bob", edit);
    LogIn("ann");
    const auto items = ConsoleModel::BuildItems(true);
    const std::vector<ConsoleItem> expected{
        {"calc", "Calculator", "", calc, "Program"},
        {"edit", edit, "", edit, "Program"},  // a blank description shows the path
        {"gone", "Deleted file", "", Path("gone"), "Program"},
        {"Log Off", "Log Off Current User", "way out", "", "Log Off"},
    };
    EXPECT_EQ(items, expected);

    // A catalogue entry deleted since: its assignment is no longer listed.
    Program program;
    ASSERT_TRUE(program.Load(calc));
    program.Delete();
    program.CloseTable();
    EXPECT_EQ(Tags(ConsoleModel::BuildItems(true)), (std::vector<std::string>{"Program", "Program", "Log Off"}));
}

TEST_F(ConsoleModelTest, UnreadableTablesLeaveTheirItemsOut) {
    AddAccount("ann", {.internet = true, .programs = true});
    Assign("ann", Executable("calc"));
    LogIn("ann");
    Block("programs.sec");
    EXPECT_EQ(Tags(ConsoleModel::BuildItems(true)),
              (std::vector<std::string>{"Web Browser", "Change Password", "Log Off"}));
    std::filesystem::remove(Path("users.sec"));
    Block("users.sec");
    EXPECT_EQ(Tags(ConsoleModel::BuildItems(true)), (std::vector<std::string>{"Log Off"}));
}

// A catalogue entry another workstation is appending: the list waits for it and shows it
// whole; an entry cut short at the end of the file is not listed, as before.
TEST_F(ConsoleModelTest, AProgramAppendedMeanwhileIsListedWholeAndATornOneNotAtAll) {
    const std::string calc = Executable("calc"), edit = Executable("edit");
    AddCatalogueProgram(calc, "Calculator");
    AddAccount("ann", {.passwordCannotChange = true, .programs = true});
    Assign("ann", calc);
    Assign("ann", edit);
    LogIn("ann");
    const std::string entry = RecordData<Program>(Path("scratch.sec"), [&](Program& p) {
        p.SetProgramPathName(edit);
        p.SetDescription("An editor with a description long enough to cross the half");
        p.SetAccessLevel(1);
    });
    const auto seen = ReadWhileAppending(Program::Table(), Path("programs.sec"), entry,
                                         [] { return ConsoleModel::BuildItems(true); });
    EXPECT_FALSE(seen.endedBeforeTheAppend);
    ASSERT_EQ(seen.result.size(), 3u);
    EXPECT_EQ(seen.result[1].description, "An editor with a description long enough to cross the half");

    TearLastRecord(Path("programs.sec"), Program::Table());
    EXPECT_EQ(Tags(ConsoleModel::BuildItems(true)), (std::vector<std::string>{"Program", "Log Off"}));
}

TEST_F(ConsoleModelTest, StatusTexts) {
    EXPECT_EQ(ConsoleModel::ItemCountText(1), "1 Item");
    EXPECT_EQ(ConsoleModel::ItemCountText(0), "0 Items");
    EXPECT_EQ(ConsoleModel::ItemCountText(7), "7 Items");
    EXPECT_EQ(ConsoleModel::UserPanelText(), "User: Anonymous");
    LogIn("ann");
    EXPECT_EQ(ConsoleModel::UserPanelText(), "User: ann");
    UseComputerName("WS-7");
    EXPECT_EQ(ConsoleModel::ComputerPanelText(), "Computer: WS-7");
}

TEST_F(ConsoleModelTest, EachTagReachesItsWindowAndModalOnesDisableTheTrayIcon) {
    LogIn("ann");
    const struct {
        const char* tag;
        std::vector<std::string> calls;
    } rows[] = {
        {"Corvane", {"ShowUserManagement"}},
        {"Options", {"tray off", "ShowMainOptions", "tray on"}},
        {"Security", {"tray off", "ShowSecurity", "tray on"}},
        {"Web Browser", {"ShowWebBrowser"}},
        {"Change Password", {"tray off", "ShowChangePassword ann", "tray on"}},
        {"Log Off", {"LogOFF"}},
        {"log off", {}},  // tags compare exactly
        {"Other", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tag);
        RecordingHost host;
        const ConsoleItem item{"x", "", "", "", row.tag};
        ConsoleModel::Launch(host, &item);
        EXPECT_EQ(host.calls, row.calls);
    }
    RecordingHost host;
    ConsoleModel::Launch(host, nullptr);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(ConsoleModelTest, ALaunchThatNeedsALoginEndsAfterTheLogin) {
    const std::string calc = Executable("calc");
    AddAccount("ann", {});
    AddCatalogueProgram(calc, "");
    Assign("ann", calc);
    const ConsoleItem program{"calc", calc, "", calc, "Program"};
    RecordingHost host;
    host.authenticated = false;
    host.onAuthenticate = [&] {
        host.authenticated = true;
        LogIn("ann");
    };
    ConsoleModel::Launch(host, &program);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Authenticate"}));
    EXPECT_TRUE(starts.empty());

    // Without "Require Login" nobody needs to log in first.
    gRequireLogin = false;
    RecordingHost open;
    open.authenticated = false;
    ConsoleModel::Launch(open, &program);
    EXPECT_TRUE(open.calls.empty());
    EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{{calc}}));
}

TEST_F(ConsoleModelTest, AProgramStartsAloneWhenAllowedAndIsRefusedWhenNoLongerAssigned) {
    auto box = ScriptedMsgBox::Install();
    const std::string calc = Executable("calc");
    AddAccount("ann", {});
    AddCatalogueProgram(calc, "");
    AddCatalogueProgram(Path("gone"), "");
    AddCatalogueProgram(calc + " -x", "");
    Assign("ann", calc);
    Assign("ann", Path("gone"));
    Assign("ann", calc + " -x");
    LogIn("ann");
    RecordingHost host;
    const auto launch = [&](const std::string& path) {
        const ConsoleItem item{"", "", "", path, "Program"};
        ConsoleModel::Launch(host, &item);
    };

    launch(calc);
    EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{{calc}}));
    launch(Path("gone"));     // the file is missing: nothing
    launch(calc + " -x");     // arguments fail the file test: nothing
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(box->Count(), 0);

    // Access withdrawn after the list was built.
    UserProgram link;
    ASSERT_TRUE(link.Load(calc, "ann"));
    link.Delete();
    link.CloseTable();
    launch(calc);
    EXPECT_EQ(starts.size(), 1u);
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, std::string()));
    EXPECT_EQ(box->Last().buttons, 48);
    EXPECT_EQ(box->Last().title, "Corvane");
    EXPECT_TRUE(host.calls.empty());
}

// About > System Info starts the tool the machine hive names only through
// the program rule, as the console starts its programs.
TEST_F(ConsoleModelTest, SystemInformationStartsOnlyWhatTheProgramRuleAllows) {
    auto box = ScriptedMsgBox::Install();
    const std::string tool = Executable("sysinfo");
    AddAccount("ann", {});
    AddCatalogueProgram(tool, "");
    LogIn("ann");
    ui::UiServices services = ui::Services();
    std::vector<std::string> started;
    services.readMachineRegistryString = [&](const std::string&, const std::string& value) {
        return value == "PATH" ? std::optional<std::string>(tool) : std::nullopt;
    };
    services.startProgram = [&](const std::string& program) {
        started.push_back(program);
        return true;
    };
    test::ServicesScope scope(services);

    ShowSystemInformation(ConsoleModel::MayStartProgram);
    EXPECT_TRUE(started.empty());
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, std::string()));

    Assign("ann", tool);
    ShowSystemInformation(ConsoleModel::MayStartProgram);
    EXPECT_EQ(started, std::vector<std::string>{tool});
    EXPECT_EQ(box->Count(), 1);
}

// A document opens through the desktop only with a program the program rule
// lets the login start; anything else, or no program at all, is message 425.
TEST_F(ConsoleModelTest, DocumentsOpenOnlyWithAProgramTheRuleAllows) {
    test_support::ScratchDesktop desktop;
    const std::string editor = desktop.Editor();
    test_support::TempFolder dir;
    const std::string readMe = dir.Write("Readme.txt", "read me\n");
    const std::string address = "no-desktop-opens:this";
    AddAccount("ann", {});
    AddAccount("root", {.administrator = true});
    AddCatalogueProgram(editor, "");
    AddAccount("bob", {});
    Assign("bob", editor);
    test_support::DesktopOpenCheckScope check(ConsoleModel::MayOpenDocumentWith);
    const struct {
        const char* name;
        bool requireLogin;
        const char* login;  // "" nobody
        std::string target;
        bool starts;
    } rows[] = {
        {"allowed: assigned", true, "bob", readMe, true},
        {"allowed: an administrator", true, "root", readMe, true},
        {"allowed: no login required", false, "", readMe, true},
        {"refused: not assigned", true, "ann", readMe, false},
        {"refused: nobody logged in", true, "", readMe, false},
        {"unresolvable", true, "root", address, false},
        {"unresolvable without login required", false, "", address, false},
    };
    for (const auto& row : rows) {
        auto box = ScriptedMsgBox::Install();
        starts.clear();
        gRequireLogin = row.requireLogin;
        gAuthenticated = false;
        gAuthenticatedUser.clear();
        if (*row.login) LogIn(row.login);
        const int result = OpenWithDesktop(row.target);
        if (row.starts) {
            EXPECT_EQ(result, 4242) << row.name;
            EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{{editor, readMe}})) << row.name;
            EXPECT_EQ(box->Count(), 0) << row.name;
        } else {
            EXPECT_EQ(result, kDesktopOpenRefused) << row.name;
            EXPECT_TRUE(starts.empty()) << row.name;
            ASSERT_EQ(box->Count(), 1) << row.name;
            EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, std::string())) << row.name;
        }
    }
}

}  // namespace
}  // namespace corvane
