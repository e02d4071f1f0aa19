// Several workstations (processes with computer names of their own) sharing one data folder
// for a few seconds: logins and logouts, wrong passwords on one shared account, a lockout, a
// workstation clearing the user log and an administrator editing, renaming, assigning and
// deleting accounts. Afterwards the files hold every workstation's changes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "admin/users/editor/user_editor_model.h"
#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "login_test_support.h"
#include "logs/log_clearing.h"
#include "messages/message_catalogue.h"
#include "session/login/login_validator.h"
#include "session/login/password_change.h"
#include "session/login/stored_password.h"
#include "session/login/security.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

constexpr int kWorkstations = 4;
constexpr int kAccounts = 16;
constexpr auto kRunFor = std::chrono::seconds(4);
constexpr const char* kProgram = "/usr/bin/calc";

std::string AccountName(int n) { return "u" + std::to_string(n); }

// A child process writing its report into a pipe; the parent reads it once the child ends.
struct Child {
    pid_t pid = -1;
    int out = -1;
};

// go: the start pipe; every process starts once the parent closes its writing end.
Child Start(const int go[2], const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::close(go[1]);
        char c;
        (void)!::read(go[0], &c, 1);
        std::string report;
        try {
            report = body();
        } catch (const std::exception& e) {
            report = std::string("threw ") + e.what();
        }
        (void)!::write(fds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

std::string Finish(const Child& child) {
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(child.out, buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(n));
    ::close(child.out);
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    if (!WIFEXITED(status)) report += "\nended by a signal";
    return report;
}

// The lines of a report as "word value" pairs.
std::multimap<std::string, std::string> Lines(const std::string& report) {
    std::multimap<std::string, std::string> lines;
    std::istringstream in(report);
    for (std::string word, value; in >> word && std::getline(in, value);) lines.emplace(word, value.substr(1));
    return lines;
}

bool Running(std::chrono::steady_clock::time_point end) { return std::chrono::steady_clock::now() < end; }

class WorkstationRace : public LoginTest {
protected:
    void SetUp() override {
        LoginTest::SetUp();
        AddUser({.login = "shared"});
        AddUser({.login = "gate", .lockout = true, .maxFailed = 2});
        Program program;
        program.SetProgramPathName(kProgram);
        program.AddNew();
        for (int n = 0; n < kAccounts; ++n) {
            AddUser({.login = AccountName(n)});
            AddMember("Staff", AccountName(n));
        }
    }

    // Logs in and out on the accounts, guesses at "shared" and "gate". Each workstation's
    // clock runs its own number of years ahead, so a log record closed by another workstation
    // shows a logout years away from its login.
    std::string Workstation(int k, std::chrono::steady_clock::time_point end) {
        UseComputerName(("WS-" + std::to_string(k)).c_str());
        clock::SetNowSource([k] { return std::chrono::system_clock::now() + std::chrono::hours(24 * 3650 * k); });
        auto box = ScriptedMsgBox::Install();
        box->SetDefaultAnswer(kMsgOk);
        std::mt19937 random(static_cast<unsigned>(k));
        const std::string lockedOut = GetMessageText(441);
        int refused = 0, sessions = 0;
        bool sawLockout = false;
        while (Running(end)) {
            const int pick = static_cast<int>(random() % 10);
            if (pick < 4) {
                LoginValidator().ValidateLogin({"shared", "guess", "", false, true, ""});
                ++refused;
            } else if (pick == 4) {
                const bool right = random() % 2 == 0;
                LoginValidator().ValidateLogin({"gate", right ? "secret" : "guess", "", false, true, ""});
                sawLockout = sawLockout || (box->Count() > 0 && box->Last().prompt == lockedOut);
            } else {
                const std::string login =
                    AccountName(static_cast<int>(random() % kAccounts)) + (random() % 2 == 0 ? "x" : "");
                const auto previous = SetLoginWindowOpener([&] {
                    LoginValidator v;
                    const bool in = v.ValidateLogin({login, "secret", "", false, true, ""});
                    return LoginWindowResult{in, v.AuthenticatedUser, "", v.LogID, v.SessionRecord};
                });
                Security session;
                if (session.Login()) {
                    ++sessions;
                    session.Logout();
                }
                SetLoginWindowOpener(previous);
            }
            box->Clear();
        }
        std::ostringstream report;
        report << "refused " << refused << "\nsessions " << sessions << "\nlockout " << sawLockout << "\nerrors " << errors.size() << "\n";
        for (const auto& e : errors) report << "error " << e.place << ": " << e.description << "\n";
        return report.str();
    }

    static std::string ClearingWorkstation(std::chrono::steady_clock::time_point end) {
        UseComputerName("WS-CLEAR");
        while (Running(end)) {
            ::usleep(200000);
            ClearUserLogFile();
        }
        return "errors 0\n";
    }

    // Edits, renames, assigns and deletes accounts one after another; reports the description
    // each account it kept was last given, and every account it deleted.
    std::string Administrator(std::chrono::steady_clock::time_point end) {
        UseComputerName("WS-ADMIN");
        auto box = ScriptedMsgBox::Install();
        box->SetDefaultAnswer(kMsgOk);
        std::mt19937 random(99);
        std::vector<std::string> accounts;
        for (int n = 0; n < kAccounts; ++n) accounts.push_back(AccountName(n));
        std::map<std::string, std::string> described;
        std::vector<std::int32_t> deleted;
        int edits = 0;
        while (Running(end) && accounts.size() > kAccounts / 2) {
            const std::size_t i = random() % accounts.size();
            const std::string login = accounts[i];
            const int pick = static_cast<int>(random() % 50);
            ::usleep(10000);  // an administrator's pace, so the deletions spread over the run
            if (pick < 40) {
                User user;
                if (!user.Load(login)) continue;
                const std::string text = "edit " + std::to_string(++edits);
                user.SetDescription(text);
                user.SetIsAdministrator(Flag(edits % 2 == 0));
                user.SaveChanges();
                described[login] = text;
            } else if (pick < 49) {
                UserEditorModel editor;
                editor.UserLogin = login;
                editor.Activate();
                // Back and forth between two logins, so the workstations keep finding it.
                const std::string renamed = login.back() == 'x' ? login.substr(0, login.size() - 1) : login + "x";
                editor.SetLoginText(renamed);
                editor.OK();
                accounts[i] = editor.UserLogin;
                if (described.count(login)) {
                    described[editor.UserLogin] = described[login];
                    if (editor.UserLogin != login) described.erase(login);
                }
                UserEditorModel assign;
                assign.UserLogin = accounts[i];
                assign.Activate();
                if (assign.definedPrograms.Rows().empty()) continue;
                assign.definedPrograms.SetSelection(std::vector<bool>(assign.definedPrograms.Rows().size(), true), 0);
                assign.AddPrograms();
            } else {
                User user;
                if (!user.Load(login)) continue;
                const auto gone = User().DeleteValid(user.UserID());
                if (!gone) continue;
                UserMember members;
                if (members.LoadGroup(*gone))
                    for (const auto& m : *members.UserMembers()) members.Delete(m->MemberID());
                UserProgram programs;
                if (programs.LoadPrograms(*gone))
                    for (const auto& p : *programs.UserPrograms()) programs.Delete(p->UserProgramID());
                deleted.push_back(user.UserID());
                described.erase(login);
                accounts.erase(accounts.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        std::ostringstream report;
        for (const auto& [login, text] : described) report << "described " << login << "=" << text << "\n";
        for (std::int32_t id : deleted) report << "deleted " << id << "\n";
        report << "errors " << errors.size() << "\n";
        for (const auto& e : errors) report << "error " << e.place << ": " << e.description << "\n";
        return report.str();
    }
};

TEST_F(WorkstationRace, EveryWorkstationsChangeStays) {
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    const auto end = std::chrono::steady_clock::now() + kRunFor + std::chrono::milliseconds(300);
    std::vector<Child> stations;
    for (int k = 1; k <= kWorkstations; ++k) stations.push_back(Start(go, [&, k] { return Workstation(k, end); }));
    // The clearer stops early, so the log ends with sessions to look at.
    const Child clearer = Start(go, [&] { return ClearingWorkstation(end - std::chrono::seconds(1)); });
    const Child admin = Start(go, [&] { return Administrator(end); });
    ::close(go[0]);
    ::close(go[1]);  // go

    long refused = 0, sessions = 0;
    bool sawLockout = false;
    for (const Child& station : stations) {
        const auto lines = Lines(Finish(station));
        for (const auto& [word, value] : lines) {
            if (word == "refused") refused += std::stol(value);
            if (word == "sessions") sessions += std::stol(value);
            if (word == "lockout") sawLockout = sawLockout || value == "1";
            if (word == "errors") {
                EXPECT_EQ(value, "0");
            }
            if (word == "error") ADD_FAILURE() << value;
        }
    }
    EXPECT_EQ(Lines(Finish(clearer)).count("error"), 0u);
    const auto adminLines = Lines(Finish(admin));
    for (const auto& [word, value] : adminLines)
        if (word == "error") ADD_FAILURE() << "administrator: " << value;

    // No deleted account is valid again.
    const std::string users = ReadFile(UsersPath());
    int deletions = 0;
    for (auto [it, last] = adminLines.equal_range("deleted"); it != last; ++it, ++deletions) {
        const std::size_t slot = static_cast<std::size_t>(std::stoi(it->second) - 1) * kUserSlot;
        ASSERT_LE(slot + kUserData, users.size());
        EXPECT_EQ(Int16At(users, slot + 2078), -1) << "record " << it->second << " came back";
    }
    // Every administrator's edit kept.
    int edited = 0;
    for (auto [it, last] = adminLines.equal_range("described"); it != last; ++it, ++edited) {
        const auto eq = it->second.find('=');
        User user;
        ASSERT_TRUE(user.Load(it->second.substr(0, eq))) << it->second;
        EXPECT_EQ(user.Description(), it->second.substr(eq + 1));
    }
    // Every refused attempt counted, and a lockout stays.
    EXPECT_GT(refused, 0);
    EXPECT_EQ(Stored("shared")->FailedLogins(), refused);
    if (sawLockout) {
        EXPECT_EQ(Stored("gate")->Locked(), kFlagTrue);
    }
    // No session record closed by another workstation (whose clock runs years apart).
    UserLog log;
    int closed = 0;
    for (log.MoveFirst(); !log.IsEOF(); log.MoveNext()) {
        if (log.LogoutStamp() == 0) continue;
        ++closed;
        EXPECT_LT(std::fabs(log.LogoutStamp() - log.LoginStamp()), 1.0) << "record " << log.LogID() << " of "
                                                                          << log.Computer();
        EXPECT_EQ(log.Active(), 0);
    }
    // Every password still "secret", hashed by a login or in the old form: no
    // rewrite at a login lost or mixed up a password.
    int hashed = 0;
    User account;
    for (account.MoveFirst(); !account.IsEOF(); account.MoveNext()) {
        EXPECT_TRUE(StoredPasswordMatches(account.Password(), "secret", true)) << account.Login();
        if (!IsOldPasswordForm(account.Password())) ++hashed;
    }
    RecordProperty("hashedPasswords", hashed);
    // No link of a login that no account has.
    int links = 0;
    UserMember member;
    for (member.MoveFirst(); !member.IsEOF(); member.MoveNext(), ++links)
        EXPECT_TRUE(User().Load(member.UserLogin())) << "membership of " << member.UserLogin();
    UserProgram program;
    if (!program.IsEmpty()) {
        for (program.MoveFirst(); !program.IsEOF(); program.MoveNext(), ++links)
            EXPECT_TRUE(User().Load(program.UserLogin())) << "program link of " << program.UserLogin();
    }
    RecordProperty("refused", static_cast<int>(refused));
    RecordProperty("deletions", deletions);
    RecordProperty("edits", edited);
    RecordProperty("closedSessions", closed);
    RecordProperty("links", links);
    EXPECT_GT(sessions, 0);
    std::printf("refused %ld, lockout %d, sessions %ld, deleted %d, edited %d, closed sessions left %d, links %d\n",
                refused, sawLockout ? 1 : 0, sessions, deletions, edited, closed, links);
}

// One workstation sets a user's password again and again while an administrator keeps saving
// the same account in the user editor. Before each change the workstation finds the password
// it set last: no save of the editor put an older one back.
TEST_F(WorkstationRace, AnEditorsSaveKeepsAPasswordSetMeanwhile) {
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    const Child station = Start(go, [&] {
        UseComputerName("WS-1");
        std::string last = "secret";
        int changes = 0, reverted = 0;
        while (Running(end)) {
            if (!StoredPasswordMatches(Stored("shared")->Password(), last, true)) ++reverted;
            last = "pass" + std::to_string(++changes);
            PasswordChange change(PasswordChange::Kind::kSet, "frmSetPassword");
            change.UserLogin = "shared";
            if (!change.SaveData(last)) return std::string("errors 1\n");
        }
        return "changes " + std::to_string(changes) + "\nreverted " + std::to_string(reverted) + "\nerrors " +
               std::to_string(errors.size()) + "\n";
    });
    const Child admin = Start(go, [&] {
        UseComputerName("WS-ADMIN");
        int saves = 0;
        while (Running(end)) {
            UserEditorModel editor;
            editor.UserLogin = "shared";
            editor.Activate();
            editor.description = "save " + std::to_string(++saves);
            editor.OK();
        }
        return "saves " + std::to_string(saves) + "\nerrors " + std::to_string(errors.size()) + "\n";
    });
    ::close(go[0]);
    ::close(go[1]);

    const auto stationLines = Lines(Finish(station));
    const auto adminLines = Lines(Finish(admin));
    ASSERT_EQ(stationLines.count("reverted"), 1u) << "the workstation did not report";
    EXPECT_EQ(stationLines.find("reverted")->second, "0") << "changes " << stationLines.find("changes")->second
                                                          << ", saves " << adminLines.find("saves")->second;
    EXPECT_EQ(stationLines.find("errors")->second, "0");
    EXPECT_EQ(adminLines.find("errors")->second, "0");
}

}  // namespace
}  // namespace corvane::testing
