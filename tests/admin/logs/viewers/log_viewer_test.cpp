// The two log viewers: status, refresh, clearing, export, printing, the
// selection members and the kept view settings.
#include <gtest/gtest.h>

#include <QAction>
#include <QItemSelectionModel>
#include <QCoreApplication>
#include <QPointer>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

#include "admin/logs/viewers/frm_log_viewers.h"
#include "admin/logs/viewers/log_viewers_test_support.h"
#include "platform/settings/settings_store.h"
#include "platform/system/process_spawn.h"
#include "platform/system/workstation_forms.h"
#include "support/scratch_desktop.h"
#include "ui/helpers/top_level_form_registry.h"
#include "ui/helpers/file_dialog.h"
#include "ui/helpers/print_job.h"
#include "ui/platform_qt/default_printer.h"
#include "logs/log_clearing.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;
using namespace corvane::test;

namespace {

std::string Shell(const std::string& command) {
    std::string out;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer{};
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
        ::pclose(pipe);
    }
    return out;
}

class ViewerTest : public LogFolderTest {
protected:
    void SetUp() override {
        LogFolderTest::SetUp();
        gEnableActivityLogging = true;
    }
    void TearDown() override {
        user_.reset();
        web_.reset();
        SetFileDialog(nullptr);
        SetPrintDialog(nullptr);
        LogFolderTest::TearDown();
    }
    frmUserLog& OpenUserLog() {
        user_ = std::make_unique<frmUserLog>();
        user_->Activate();
        return *user_;
    }
    frmWebsiteLog& OpenWebsiteLog() {
        web_ = std::make_unique<frmWebsiteLog>();
        web_->Activate();
        return *web_;
    }
    // Prints to a PDF file, counting the dialogs.
    void PrintTo(const std::string& pdf) {
        SetPrintDialog([this, pdf](QPrinter& printer, QWidget*) {
            ++printDialogs;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
    }
    void AddSessions(int n, bool active) {
        for (int i = 0; i < n; ++i)
            AddUserLog({"user" + std::to_string(i), "Name", "Corvane", "pc", Stamp(2026, 12, 9, 8, 0, i), 0, false,
                        active});
    }

    ScriptedMsgBox::Guard box_ = ScriptedMsgBox::Install();
    std::unique_ptr<frmUserLog> user_;
    std::unique_ptr<frmWebsiteLog> web_;
    int printDialogs = 0;
};

TEST_F(ViewerTest, StatusPanelsAndButtonsFollowTheRows) {
    struct Case {
        int rows;
        int active;
        const char* items;
        const char* users;
    };
    const Case cases[] = {{0, 0, "0 Items", "0 Active Users"}, {1, 1, "1 Item", "1 Active User"},
                          {3, 2, "3 Items", "2 Active Users"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        std::filesystem::remove(UserLog().GetPathName(""));
        AddSessions(c.active, true);
        AddSessions(c.rows - c.active, false);
        frmUserLog& w = OpenUserLog();
        EXPECT_EQ(w.StatusPanel(1)->text(), c.items);
        EXPECT_EQ(w.StatusPanel(2)->text(), c.users);
        EXPECT_EQ(w.PrintButton()->isEnabled(), c.rows > 0);
        EXPECT_EQ(w.ClearButton()->isEnabled(), c.rows > 0);
        EXPECT_TRUE(w.ActionItem(0)->isEnabled());
        EXPECT_TRUE(w.ActionItem(3)->isEnabled());
    }
    // The website viewer's one panel uses fixed words; its Clear keeps its caption.
    AddWebsiteLog({"ann", "Corvane", "pc", "https://a/", Stamp(2026, 1, 1, 0, 0, 0), "URL ACCEPTED"});
    frmWebsiteLog& web = OpenWebsiteLog();
    EXPECT_EQ(web.StatusPanel(1)->text(), "1 Item");
    EXPECT_EQ(web.windowTitle(), "Website Log");
    EXPECT_EQ(web.ClearButton()->text(), "Clear");
    EXPECT_EQ(web.Model()->headerData(3, Qt::Horizontal, kLogTagRole).toString(), "255");
}

TEST_F(ViewerTest, TickReloadsOnlyWhenTheRecordCountChanged) {
    const std::int32_t ben = AddUserLog({"ben", "Ben", "Corvane", "pc", Stamp(2026, 12, 9, 8, 0, 0), 0, false, true});
    frmUserLog& w = OpenUserLog();
    EXPECT_TRUE(w.RefreshTimer()->isActive());
    {
        UserLog log;  // ben logs off elsewhere: the count stays
        ASSERT_TRUE(log.Load(ben));
        log.SetActive(0);
        log.SetLogoutStamp(Stamp(2026, 12, 9, 9, 0, 0));
        log.SaveChanges();
    }
    w.AutoRefreshData();
    EXPECT_EQ(w.Model()->Rows().Cell(0, 6), "Yes");
    AddSessions(1, true);  // a new login elsewhere
    w.AutoRefreshData();
    ASSERT_EQ(w.ListCount(), 2);
    EXPECT_EQ(w.Model()->Rows().Cell(1, 6), "No");
}

TEST_F(ViewerTest, ClearingTheUserLogAsksAgainWhileSessionsAreOpen) {
    struct Case {
        int active;
        std::vector<int> answers;
        int questions;
        bool cleared;
    };
    const Case cases[] = {
        {0, {7}, 1, false}, {0, {6}, 1, true}, {2, {6, 7}, 2, false}, {2, {6, 6}, 2, true}, {2, {7}, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.active << " active, answers " << c.answers.size());
        std::filesystem::remove(UserLog().GetPathName(""));
        std::filesystem::remove(Path("activity.sec"));
        AddSessions(1, false);
        AddSessions(c.active, true);
        frmUserLog& w = OpenUserLog();
        box_->Clear();
        for (int a : c.answers) box_->Answer(a);
        w.ClearLog();
        ASSERT_EQ(box_->Count(), c.questions);
        EXPECT_EQ(box_->Questions()[0].prompt, "Are you sure you want to Clear User Log?");
        EXPECT_EQ(box_->Questions()[0].buttons, 36);
        if (c.questions == 2) {
            EXPECT_EQ(box_->Questions()[1].prompt,
                      "There are 2 active user(s). Do you wish to clear the User Log anyway?");
            EXPECT_EQ(box_->Questions()[1].buttons, 308);
        }
        EXPECT_EQ(w.ListCount(), c.cleared ? 0 : 1 + c.active);
        EXPECT_EQ(ActivityLines(), c.cleared ? std::vector<std::string>{"Clear User Log"} : std::vector<std::string>{});
    }
    AddWebsiteLog({"ann", "Corvane", "pc", "https://a/", Stamp(2026, 1, 1, 0, 0, 0), "URL ACCEPTED"});
    frmWebsiteLog& web = OpenWebsiteLog();
    box_->Clear();
    box_->Answer(6);
    web.ClearLog();
    EXPECT_EQ(box_->Last().prompt, "Are you sure you want to clear the Log file?");
    EXPECT_EQ(web.ListCount(), 0);
}

TEST_F(ViewerTest, ExportWritesTheShownOrderAndRemembersTheFolder) {
    AddSessions(3, true);
    SaveUserSetting("Form Metrics\\frmUserLog", "Export List Init Dir", gDataPath + "/");
    frmUserLog& w = OpenUserLog();
    emit w.List()->header()->sectionClicked(0);  // user0 first
    const std::string out = OutsidePath("sub/");
    std::filesystem::create_directory(out);
    FileDialogRequest asked;
    SetFileDialog([&](const FileDialogRequest& r, QWidget*) {
        asked = r;
        return std::optional<QString>(QString::fromStdString(out + "log.txt"));
    });
    w.ExportList();
    EXPECT_EQ(asked.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(asked.fileName, "User Log.txt");
    EXPECT_EQ(asked.title, "Export");
    EXPECT_EQ(asked.startFolder.toStdString(), gDataPath + "/");
    EXPECT_EQ(asked.defaultSuffix, "txt");
    EXPECT_TRUE(asked.confirmOverwrite);
    std::ifstream in(out + "log.txt", std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(file.size(), 168u + 3 * 166u);
    EXPECT_EQ(file.substr(168, 5), "user0");
    EXPECT_EQ(file.substr(168 + 2 * 166, 5), "user2");
    EXPECT_EQ(GetUserSetting("Form Metrics\\frmUserLog", "Export List Init Dir", ""), out);
    EXPECT_EQ(ActivityLines(), std::vector<std::string>{"User Log Export"});

    // Cancel stores and logs nothing; an unwritable target is reported under the export.
    SetFileDialog([](const FileDialogRequest&, QWidget*) { return std::optional<QString>(); });
    SaveUserSetting("Form Metrics\\frmUserLog", "Export List Init Dir", "/kept/");
    w.ExportList();
    SetFileDialog([&](const FileDialogRequest&, QWidget*) {
        return std::optional<QString>(QString::fromStdString(OutsidePath("missing/dir/log.txt")));
    });
    w.ExportList();
    EXPECT_EQ(errors, std::vector<std::string>{"frmUserLog.ExportList"});
    EXPECT_EQ(ActivityLines().size(), 1u);
}

// Export and print to a file refuse Corvane's own files however the name
// reaches them, say so naming the folder, and write nothing.
TEST_F(ViewerTest, ExportAndPrintRefuseTheDataFolder) {
    AddSessions(2, true);
    const std::string users = Path("users.sec");
    { std::ofstream(users, std::ios::binary) << std::string(250, 'U'); }
    std::filesystem::create_directory(OutsidePath("out"));
    std::filesystem::create_directory_symlink(Path(""), OutsidePath("to-data"));
    const std::string data = std::filesystem::canonical(Path("")).string();
    frmUserLog& w = OpenUserLog();
    for (const std::string& target :
         {users, OutsidePath("out/../") + "../" + std::filesystem::path(data).filename().string() + "/users.sec",
          OutsidePath("to-data/users.sec"), Path("report.pdf")}) {
        SCOPED_TRACE(target);
        for (bool print : {false, true}) {
            box_->Clear();
            SetFileDialog([&](const FileDialogRequest&, QWidget*) { return std::optional<QString>(QString::fromStdString(target)); });
            PrintTo(target);
            if (print)
                w.PrintLog();
            else
                w.ExportList();
            ASSERT_EQ(box_->Count(), 1);
            EXPECT_NE(box_->Last().prompt.find("The folder " + data + " holds Corvane's own files"), std::string::npos)
                << box_->Last().prompt;
        }
    }
    std::ifstream in(users, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), std::string(250, 'U'));
    EXPECT_FALSE(std::filesystem::exists(Path("report.pdf")));
    EXPECT_TRUE(ActivityLines().empty());
    EXPECT_TRUE(errors.empty());
}

// Export and print to a file (whatever format the dialog leaves set) refuse what the account's
// next login reads, and write a visible file of the home folder.
TEST_F(ViewerTest, ExportAndPrintRefuseWhatTheNextLoginReads) {
    AddSessions(2, true);
    test_support::TempFolder home;
    const char* savedHome = std::getenv("HOME");
    const std::string keptHome = savedHome ? savedHome : "";
    ::setenv("HOME", home.Path().c_str(), 1);
    std::filesystem::create_directories(home / ".config/autostart");
    const std::string profile = home.Write(".profile", "PATH=$HOME/bin:$PATH\n");
    const std::string h = std::filesystem::canonical(home.Path()).string();
    frmUserLog& w = OpenUserLog();
    struct Row { std::string target; std::string place; };
    const Row rows[] = {{profile, h + "/.profile"},
                        {home / ".config/autostart/x.desktop", h + "/.config"},
                        {home / "report.txt", ""}};
    for (const Row& row : rows)
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(row.target + " way " + std::to_string(way));
            box_->Clear();
            std::filesystem::remove(home / "report.txt");
            SetFileDialog([&](const FileDialogRequest&, QWidget*) { return std::optional<QString>(QString::fromStdString(row.target)); });
            SetPrintDialog([&](QPrinter& printer, QWidget*) {
                printer.setOutputFormat(way == 2 ? QPrinter::NativeFormat : QPrinter::PdfFormat);
                printer.setOutputFileName(QString::fromStdString(row.target));
                return true;
            });
            if (way == 0) w.ExportList();
            else w.PrintLog();
            if (row.place.empty()) {
                EXPECT_EQ(box_->Count(), 0);
                EXPECT_TRUE(std::filesystem::exists(row.target));
                continue;
            }
            ASSERT_EQ(box_->Count(), 1);
            EXPECT_EQ(box_->Last().prompt, "Nothing was saved. " + row.place +
                                               " decides which programs start, and cannot be written from here. "
                                               "Choose another folder.");
        }
    std::ifstream in(profile, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "PATH=$HOME/bin:$PATH\n");
    EXPECT_FALSE(std::filesystem::exists(home / ".config/autostart/x.desktop"));
    if (savedHome) ::setenv("HOME", keptHome.c_str(), 1);
    else ::unsetenv("HOME");
}

TEST_F(ViewerTest, SelectionMembers) {
    AddSessions(3, true);
    frmUserLog& w = OpenUserLog();
    EXPECT_EQ(w.SelectedID(), 0);
    EXPECT_FALSE(w.ItemSelected());
    for (std::int32_t n : {0, -1, 4}) {
        w.SetSelectedIndex(n);
        EXPECT_EQ(w.SelectedIndex(), 0) << n;
    }
    w.SetSelectedIndex(2);
    EXPECT_EQ(w.SelectedIndex(), 2);
    EXPECT_EQ(w.SelectedID(), 2);  // newest first: row 2 is record 2 of 3
    EXPECT_EQ(w.ItemsSelectedCount(), 1);
    EXPECT_TRUE(w.ItemSelected());
}

// A header click moves the records; the selection, the current row and the
// selected ID stay with theirs, in every column, both orders, both viewers.
TEST_F(ViewerTest, TheSelectionFollowsItsRecordsThroughEverySort) {
    const char* logins[] = {"dan", "Ann", "cal", "ben", "eve", "bob"};
    for (int i = 0; i < 6; ++i) {
        AddUserLog({logins[i], "Name " + std::to_string(5 - i), "App" + std::to_string(i % 3), "pc" + std::to_string(i % 4),
                    Stamp(2026, 12, 9 - i, 8 + i, 0, 0), i % 2 ? Stamp(2026, 12, 10, 9, 0, 0) : 0, i == 4, i == 1});
        AddWebsiteLog({logins[i], "App" + std::to_string(i % 3), "pc" + std::to_string(i % 4),
                       "https://" + std::to_string(5 - i) + ".example/", Stamp(2026, 12, 9 - i, 8 + i, 0, 0),
                       i % 2 ? "URL DENIED" : "URL ACCEPTED"});
    }
    for (LogViewer* w : {static_cast<LogViewer*>(&OpenUserLog()), static_cast<LogViewer*>(&OpenWebsiteLog())}) {
        SCOPED_TRACE(w->objectName().toStdString());
        auto selectedIds = [&] {
            std::set<std::int32_t> ids;
            for (const QModelIndex& row : w->List()->selectionModel()->selectedRows())
                ids.insert(w->Model()->Rows().LogID(row.row()));
            return ids;
        };
        // Row 2 selected and current, row 5 selected beside it.
        w->SetSelectedIndex(5);
        w->List()->selectionModel()->setCurrentIndex(w->Model()->index(1, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const std::int32_t current = w->SelectedID();
        const std::set<std::int32_t> selected = selectedIds();
        ASSERT_EQ(selected.size(), 2u);
        for (int column = 0; column < w->Model()->columnCount(); ++column) {
            for (int click = 0; click < 2; ++click) {
                SCOPED_TRACE(column * 10 + click);
                emit w->List()->header()->sectionClicked(column);
                EXPECT_EQ(w->SelectedID(), current);
                EXPECT_EQ(w->Model()->Rows().LogID(w->SelectedIndex() - 1), current);
                EXPECT_EQ(selectedIds(), selected);
                EXPECT_EQ(w->ItemsSelectedCount(), 2);
            }
        }
    }
}

TEST_F(ViewerTest, ViewAndStatusBarAreKeptPerUser) {
    {
        frmWebsiteLog& w = OpenWebsiteLog();
        w.SetViewMode(4);
        w.ViewItem(1)->setChecked(false);
        w.ViewItem(1)->trigger();
        w.close();
    }
    EXPECT_EQ(GetUserSetting("Form Metrics\\frmWebsiteLog", "List View", ""), "4");
    EXPECT_EQ(GetUserSetting("Form Metrics\\frmWebsiteLog", "HideStatusbar", ""), "True");
    frmWebsiteLog& again = OpenWebsiteLog();
    EXPECT_EQ(again.ViewMode(), 1);
    EXPECT_TRUE(again.ViewItem(4)->isChecked());
    EXPECT_TRUE(again.ViewItem(1)->isChecked());
}

TEST_F(ViewerTest, PrintedUserLogPdf) {
    for (int i = 0; i < 300; ++i)
        AddUserLog({"user" + std::to_string(i), "Name " + std::to_string(i), "Corvane", "pc",
                    Stamp(2026, 12, 9, 8, i / 60, i % 60), 0, false, i % 2 == 0});
    frmUserLog& w = OpenUserLog();
    const std::string pdf = OutsidePath("report.pdf");
    PrintTo(pdf);
    w.PrintLog();
    EXPECT_EQ(ActivityLines(), std::vector<std::string>{"Printed - User Log"});
    const std::string fonts = Shell("pdffonts '" + pdf + "' 2>/dev/null | tail -n +3 | awk '{print $1}' | "
                                  "sed 's/^[A-Z]*+//' | sed 's/-.*//' | sort -u");
    EXPECT_EQ(std::count(fonts.begin(), fonts.end(), '\n'), 1) << fonts;
    const std::string text = Shell("pdftotext -layout '" + pdf + "' - 2>/dev/null");
    EXPECT_NE(text.find("User Log, Printed"), std::string::npos);
    EXPECT_NE(text.find(std::string(157, '-')), std::string::npos);
    // Where each heading word starts, in characters from the rule's start.
    const std::string boxes = Shell("pdftotext -bbox -f 1 -l 1 '" + pdf + "' - 2>/dev/null");
    struct Word {
        double x, y;
        std::string text;
    };
    std::vector<Word> words;
    for (std::size_t at = boxes.find("<word "); at != std::string::npos; at = boxes.find("<word ", at + 1)) {
        Word w{};
        std::sscanf(boxes.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\"", &w.x, &w.y);
        const std::size_t open = boxes.find('>', at) + 1;
        w.text = boxes.substr(open, boxes.find('<', open) - open);
        words.push_back(w);
    }
    const auto rule = std::find_if(words.begin(), words.end(), [](const Word& w) { return w.text == std::string(157, '-'); });
    ASSERT_NE(rule, words.end());
    const double charWidth = 6 * 0.6;  // a fixed-pitch face at 6 points
    const double headingY = std::next(rule)->y;
    std::vector<std::pair<int, std::string>> heading;
    for (const Word& w : words)
        if (w.y == headingY) heading.emplace_back(static_cast<int>((w.x - rule->x) / charWidth + 0.5), w.text);
    const std::vector<std::pair<int, std::string>> expected = {
        {0, "User"}, {5, "Login"}, {20, "User"}, {25, "Name"}, {50, "Application"}, {80, "Computer"},
        {100, "Login"}, {106, "Time"}, {121, "Logout"}, {128, "Time"}, {142, "Active"}};
    EXPECT_EQ(heading, expected);
    EXPECT_GT(std::count(text.begin(), text.end(), '\f'), 1);  // several pages
    const std::size_t secondPage = text.find('\f');
    EXPECT_EQ(text.find("User Login", secondPage), std::string::npos);  // headings on page 1 only
}

TEST_F(ViewerTest, ReportCancelRetryAndAReloadWhilePrinting) {
    AddSessions(5, true);
    frmUserLog& w = OpenUserLog();
    // Cancel: silent, nothing logged.
    SetPrintDialog([this](QPrinter&, QWidget*) { return ++printDialogs, false; });
    w.PrintLog();
    EXPECT_EQ(box_->Count(), 0);
    // A printer that fails: Retry asks the dialog again, Cancel ends.
    SetPrintDialog([this](QPrinter& printer, QWidget*) {
        ++printDialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(OutsidePath("no/such/dir/x.pdf")));
        return true;
    });
    box_->Answers({4, 2});
    w.PrintLog();
    EXPECT_EQ(printDialogs, 3);
    ASSERT_EQ(box_->Count(), 2);
    EXPECT_EQ(box_->Last().prompt, "An Unexpected Error prevented the Print being completed.");
    EXPECT_EQ(box_->Last().buttons, 53);
    EXPECT_TRUE(ActivityLines().empty());

    // The log cleared and reloaded mid-print, and a second Print: the report prints whole, once.
    const std::string pdf = OutsidePath("whole.pdf");
    PrintTo(pdf);
    printDialogs = 0;
    bool once = false;
    SetYieldHook([&] {
        if (once) return;
        once = true;
        ClearUserLogFile("");
        w.LoadData();
        w.PrintLog();
    });
    w.PrintLog();
    SetYieldHook(nullptr);
    EXPECT_EQ(printDialogs, 1);
    EXPECT_EQ(w.ListCount(), 0);
    const std::string text = Shell("pdftotext -layout '" + pdf + "' - 2>/dev/null");
    for (int i = 0; i < 5; ++i) EXPECT_NE(text.find("user" + std::to_string(i)), std::string::npos) << i;
}

// A viewer closed while its report prints, by each way a window closes: the
// report ends quietly, never touching the freed window; a Retry answered
// after the close opens no print dialog.
TEST_F(ViewerTest, ReportEndsQuietlyWhenItsWindowClosesMidPrint) {
    ui::InstallTopLevelFormRegistry();
    AddSessions(600, true);  // more than one block of rows, so the report yields between rows
    struct Way {
        const char* name;
        std::function<void(LogViewer*)> close;
    };
    const std::vector<Way> ways = {
        {"close box", [](LogViewer* w) { w->close(); }},
        {"Action > Exit", [](LogViewer* w) { w->ActionItem(9)->trigger(); }},
        {"log-off", [](LogViewer*) { UnloadAllForms(false); }},
    };
    auto flushDeletes = [] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        for (bool failing : {false, true}) {
            SCOPED_TRACE(failing ? "closed under the Retry question" : "closed between two blocks");
            box_->Clear();
            printDialogs = 0;
            QPointer<LogViewer> w = new frmUserLog;
            w->setAttribute(Qt::WA_DeleteOnClose);
            w->Activate();
            const std::string pdf = OutsidePath("closed.pdf");
            SetPrintDialog([&](QPrinter& printer, QWidget* parent) {
                ++printDialogs;
                EXPECT_TRUE(w && parent == w.data());
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(QString::fromStdString(failing ? OutsidePath("no/such/dir/x.pdf") : pdf));
                return true;
            });
            int yields = 0;
            SetYieldHook([&] {
                if (++yields == 2 && w) {
                    way.close(w);
                    flushDeletes();
                }
            });
            box_->AnswerWith([&](const ScriptedMsgBox::Question&) {
                if (w) way.close(w);
                flushDeletes();
                return 4;  // Retry
            });
            w->PrintLog();
            SetYieldHook(nullptr);
            box_->AnswerWith(nullptr);
            flushDeletes();
            EXPECT_FALSE(w);
            EXPECT_EQ(printDialogs, 1);
            EXPECT_EQ(box_->Count(), failing ? 1 : 0);
            EXPECT_TRUE(ActivityLines().empty());
            EXPECT_FALSE(std::filesystem::exists(pdf));
            delete w.data();
        }
    }
}

TEST_F(ViewerTest, ReportsLeaveTheDefaultPrinterAsItWas) {
    // The dialog makes its choice the default, as the system's dialog may,
    // before the job prints, fails, is cancelled or the dialog itself fails.
    enum class Job { Printed, Failed, Cancelled, DialogThrows };
    struct Case {
        Job job;
        std::optional<std::string> before;
    };
    const std::optional<std::string> office = "Office Laser,winspool,Ne01:";
    const Case cases[] = {
        {Job::Printed, std::nullopt}, {Job::Printed, office},   {Job::Failed, std::nullopt},
        {Job::Failed, office},        {Job::Cancelled, office}, {Job::DialogThrows, std::nullopt},
        {Job::DialogThrows, office},
    };
    AddSessions(2, true);
    AddWebsiteLog({"ann", "Corvane", "pc", "https://a/", Stamp(2026, 1, 1, 0, 0, 0), "URL ACCEPTED"});
    LogViewer* viewers[] = {&OpenUserLog(), &OpenWebsiteLog()};
    const std::optional<std::string> kept = DefaultPrinterChoice();
    for (LogViewer* viewer : viewers) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << viewer->objectName().toStdString() << ", job "
                                              << static_cast<int>(c.job) << ", before " << c.before.value_or("none"));
            RestoreDefaultPrinterChoice(c.before);
            const bool hadPrinter = GetDefaultPrinter().has_value();
            const std::string pdf = c.job == Job::Failed ? OutsidePath("no/such/dir/x.pdf") : OutsidePath("report.pdf");
            SetPrintDialog([&](QPrinter& printer, QWidget*) {
                SetDefaultPrinter("Chosen In Dialog", "winspool", "Ne02:");
                if (c.job == Job::DialogThrows) throw RaisedError(482, "CommonDialog", "Printer error");
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(QString::fromStdString(pdf));
                return c.job != Job::Cancelled;
            });
            box_->Clear();
            box_->Answer(2);  // Cancel at "An Unexpected Error prevented the Print being completed."
            viewer->PrintLog();
            EXPECT_EQ(DefaultPrinterChoice(), c.before);
            EXPECT_EQ(GetDefaultPrinter().has_value(), hadPrinter);
            const bool failed = c.job == Job::Failed || c.job == Job::DialogThrows;
            EXPECT_EQ(box_->Count(), failed ? 1 : 0);
            EXPECT_TRUE(errors.empty());
        }
    }
    RestoreDefaultPrinterChoice(kept);
}

// Both viewers open the first time whole on the screen, centred, with every
// column whole; a place saved off every screen is pulled back onto it.
TEST_F(ViewerTest, AFirstOpeningShowsEveryColumnWholeOnTheScreen) {
    AddSessions(3, true);
    AddWebsiteLog({"ann", "Corvane", "pc", "https://example.org/", Stamp(2026, 1, 1, 0, 0, 0), "URL ACCEPTED"});
    // Whatever other tests saved: an empty "List View" is what no save leaves.
    for (const char* section : {"Form Metrics\\frmUserLog", "Form Metrics\\frmWebsiteLog"})
        SaveUserSetting(section, "List View", "");
    const auto check = [](LogViewer& w) {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        const QRect area = w.screen()->availableGeometry();
        // The first activation places the window once it has run from the event loop.
        QTest::qWaitFor([&] {
            const QPoint centre = w.frameGeometry().center();
            return std::abs(centre.x() - area.center().x()) <= 16 && std::abs(centre.y() - area.center().y()) <= 16;
        }, 5000);
        const QRect frame = w.frameGeometry();
        EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                          << frame.height();
        // Centred, give or take the frame that is only guessed before it shows.
        EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 16);
        EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 16);
        // Every column whole, unless the screen is too narrow for them: then
        // the window takes the screen's whole width.
        QTreeView* list = w.List();
        if (frame.width() >= area.width() - 16) return;
        int used = 0;
        for (int c = 0; c < list->model()->columnCount(); ++c) {
            const int shown = list->columnWidth(c);
            list->resizeColumnToContents(c);
            EXPECT_GE(shown, list->columnWidth(c)) << "column " << c;
            used += shown;
        }
        EXPECT_LE(used, list->viewport()->width());
    };
    {
        SCOPED_TRACE("frmUserLog");
        user_ = std::make_unique<frmUserLog>();
        check(*user_);
        user_->close();
    }
    {
        SCOPED_TRACE("frmWebsiteLog");
        web_ = std::make_unique<frmWebsiteLog>();
        check(*web_);
        web_->close();
    }
    SaveUserSetting("Form Metrics\\frmUserLog", "Left", "-90000");
    SaveUserSetting("Form Metrics\\frmUserLog", "Top", "90000");
    user_ = std::make_unique<frmUserLog>();
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(user_->geometry()));
}

// Help > Read Me opens with the desktop's program for it, started directly
// once the open check allowed it; a refusal starts nothing.
TEST_F(ViewerTest, ReadMeOpensOnlyWithAProgramTheCheckAllows) {
    test_support::TempFolder programFolder;
    ::setenv("CORVANE_PROGRAM_DIR", programFolder.Path().c_str(), 1);
    test_support::ScratchDesktop desktop;
    const std::string editor = desktop.Editor();
    const std::string readMe = programFolder.Write("Readme.txt", "read me\n");
    std::vector<std::vector<std::string>> started;
    SetSpawnFunction([&](const std::vector<std::string>& argv, const std::string&) {
        started.push_back(argv);
        return 42;
    });
    bool allowed = true;
    test_support::DesktopOpenCheckScope check([&](const std::string& program) {
        if (!allowed || program != editor) ShowMsgBox("refused", kMsgExclamation | kMsgOkOnly, "Corvane");
        return allowed && program == editor;
    });
    frmWebsiteLog& w = OpenWebsiteLog();
    w.HelpItem(5)->trigger();
    EXPECT_EQ(started, (std::vector<std::vector<std::string>>{{editor, readMe}}));
    EXPECT_EQ(box_->Count(), 0);

    allowed = false;
    w.HelpItem(5)->trigger();
    EXPECT_EQ(started.size(), 1u);
    ASSERT_EQ(box_->Count(), 1);  // the check's refusal, nothing of the window's own
    EXPECT_EQ(box_->Last().prompt, "refused");
    SetSpawnFunction(nullptr);
    ::unsetenv("CORVANE_PROGRAM_DIR");
}

}  // namespace
