#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "errors/error_test_support.h"
#include "ui/ui_test_support.h"
#include "platform/system/desktop_opener.h"
#include "platform/system/process_spawn.h"
#include "support/scratch_desktop.h"
#include "errors/error_log_rows.h"
#include "errors/printouts.h"
#include "ui/errors/frm_error_log.h"
#include "ui/errors/frm_error_log_details.h"
#include "ui/helpers/print_job.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;
using test::OnNextModal;

namespace {

// Three entries as the handler writes them; the second's description held a
// comma, the third's a line break.
const std::string kLog =
    "[-2147221484],Operation is not allowed when the object is closed,ActivityLog.BOF,"
    "Subs.WriteActivityLog,12/9/2026 12:47:03 AM\r\n"
    "[5],Invalid procedure call, or argument,Corvane,frmMain.Form_Load,12/9/2026 1:02:00 AM\r\n"
    "[-2147221500],Data Engine Misbehaved on SaveChanges, Error Number: [70]\r\n"
    "Description: Permission denied,User.SaveChanges,frmUser.cmdOK_Click,12/9/2026 1:05:10 AM\r\n";

class ErrorLogViewer : public test::ErrorReportingTest {
protected:
    void SetUp() override {
        ErrorReportingTest::SetUp();
        box_ = std::make_shared<ScriptedMsgBox>();
        previousBox_ = SetMsgBoxPresenter(box_);
    }
    void TearDown() override {
        SetMsgBoxPresenter(previousBox_);
        SetPrintDialog(nullptr);
        SetSpawnFunction(nullptr);
        ErrorReportingTest::TearDown();
    }

    ScriptedMsgBox& Box() { return *box_; }

    // A viewer on the log, shown (which loads it).
    std::unique_ptr<frmErrorLog> Viewer(const std::string& content) {
        WriteFile(LogPath(), content);
        auto viewer = std::make_unique<frmErrorLog>();
        viewer->AppErrorLog = LogPath();
        viewer->show();
        return viewer;
    }

    static QString Cell(frmErrorLog& viewer, int row, int column) {
        return viewer.List()->topLevelItem(row)->text(column);
    }

    static void ClickHeader(frmErrorLog& viewer, int column) {
        QHeaderView* header = viewer.List()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }

    void PrintTo(const std::string& pdf) {
        SetPrintDialog([pdf](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
    }

private:
    std::shared_ptr<ScriptedMsgBox> box_;
    std::shared_ptr<MsgBoxPresenter> previousBox_;
};

std::string Lines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "[" + std::to_string(i) + "],Bad,Src,A.B,12/9/2026 12:47:03 AM\r\n";
    return text;
}

}  // namespace

TEST(ErrorLogRows, TheFirstPieceIsTheNumberTheLastThreeSourcePlaceAndTime) {
    struct Case {
        std::string line;
        int pieces;
        std::array<std::string, 5> fields;
    } cases[] = {
        {"[5],Bad,Src,A.B,12/9/2026 12:47:03 AM", 5, {"[5]", "Bad", "Src", "A.B", "12/9/2026 12:47:03 AM"}},
        {"[5],a, b,Src,A.B,T", 6, {"[5]", "a, b", "Src", "A.B", "T"}},
        {"[5], a,b,,c ,Src,A.B,T", 8, {"[5]", "a,b,,c", "Src", "A.B", "T"}},
        {"  [5] ,  Bad  , Src,A.B , T ", 5, {"[5]", "Bad", "Src", "A.B", "T"}},
        {"[5],Data Engine Misbehaved on OpenTable, Error Number: [70]", 3,
         {"[5]", "Data Engine Misbehaved on OpenTable", "Error Number: [70]", "", ""}},
        {"Description: Permission denied,User.OpenTable,AppMain.Main,T", 4,
         {"Description: Permission denied", "User.OpenTable", "AppMain.Main", "T", ""}},
        {"   ", 0, {}},
        {"", 0, {}},
    };
    for (const auto& c : cases) {
        const ErrorLogRow row = SplitErrorLogLine(c.line);
        EXPECT_EQ(row.pieces, c.pieces) << c.line;
        EXPECT_EQ(row.fields, c.fields) << c.line;
    }
    EXPECT_EQ(ErrorLogRowToolTip(SplitErrorLogLine("[5],Bad,Src,A.B,T")),
              "Error [5] Bad Occured in Src, Location: A.B at T");
}

TEST(ErrorLogPrintoutPages, AHeadingOnEveryPageAndANewPageAfterEverySixtySixLines) {
    ErrorLogPrintout printout(*FromParts({2026, 12, 9, 0, 47, 3}));
    const auto begin = printout.Begin();
    const std::string heading = "Page 1: Error Log, printed on 09-Dec-2026 00:47:03";
    ASSERT_EQ(begin.size(), 3u);
    EXPECT_EQ(begin[0].text, heading);
    EXPECT_EQ(begin[1].text, std::string(heading.size(), '*'));
    EXPECT_EQ(begin[2].text, "");
    for (int i = 1; i < 66; ++i) ASSERT_EQ(printout.Add("x").size(), 1u);
    const auto full = printout.Add("line 66");
    ASSERT_EQ(full.size(), 2u);
    EXPECT_EQ(full[0].text, "line 66");
    EXPECT_EQ(full[1], (PrintedLine{"Page 2: Error Log, printed on 09-Dec-2026 00:47:03", 10, false, true}));
    EXPECT_EQ(printout.Add("line 67").size(), 1u);
}

TEST_F(ErrorLogViewer, LoadsEveryLineInFileOrderCommasAndAll) {
    auto viewer = Viewer(kLog + "\r\n   \r\n");
    EXPECT_EQ(Box().Count(), 0);
    ASSERT_EQ(viewer->ListCount(), 4) << "the entry with a line break takes two rows, blank lines none";
    EXPECT_EQ(Cell(*viewer, 1, 1), "Invalid procedure call, or argument");
    EXPECT_EQ(Cell(*viewer, 1, 2), "Corvane");
    EXPECT_EQ(Cell(*viewer, 1, 3), "frmMain.Form_Load");
    EXPECT_EQ(Cell(*viewer, 1, 4), "12/9/2026 1:02:00 AM");
    EXPECT_EQ(Cell(*viewer, 2, 0), "[-2147221500]");
    EXPECT_EQ(Cell(*viewer, 3, 0), "Description: Permission denied");
    EXPECT_EQ(viewer->List()->topLevelItem(0)->toolTip(2).toStdString(),
              "Error [-2147221484] Operation is not allowed when the object is closed Occured in "
              "ActivityLog.BOF, Location: Subs.WriteActivityLog at 12/9/2026 12:47:03 AM");
    EXPECT_EQ(viewer->List()->headerItem()->text(4), "Time Stamp");
}

TEST_F(ErrorLogViewer, WithoutALogEveryCommandSaysThereIsNone) {
    frmErrorLog viewer;
    viewer.AppErrorLog = LogPath();
    viewer.show();
    viewer.OpenLog();
    viewer.DeleteLog();
    viewer.PrintLog();
    ASSERT_EQ(Box().Count(), 4);
    for (const auto& q : Box().Questions()) {
        EXPECT_EQ(q.prompt, "An Error Log has not been created.");
        EXPECT_EQ(q.buttons, 64);
        EXPECT_EQ(q.title, "Error Log");
    }
    EXPECT_EQ(viewer.ListCount(), 0);
}

TEST_F(ErrorLogViewer, AnUnreadableLogSaysSoAndKeepsTheWindow) {
    std::filesystem::create_directory(LogPath());  // a folder where the file should be
    ui::UiServices s = ui::Services();
    s.fileExists = [](const std::string&) { return true; };
    test::ServicesScope scope(s);
    frmErrorLog viewer;
    viewer.AppErrorLog = LogPath();
    viewer.show();
    ASSERT_EQ(Box().Count(), 1);
    EXPECT_EQ(Box().Last().prompt, "An Unexpected Error prevented the Error Log being Loaded");
    EXPECT_EQ(Box().Last().buttons, 48);
    EXPECT_TRUE(viewer.isVisible());
}

TEST_F(ErrorLogViewer, ADeviceOrFifoInTheLogsPlaceIsRefusedAtOnce) {
    std::filesystem::create_symlink("/dev/zero", Path("zero"));
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0666), 0);
    for (const char* name : {"zero", "fifo"}) {
        Box().Clear();
        frmErrorLog viewer;
        viewer.AppErrorLog = Path(name);
        viewer.show();
        ASSERT_EQ(Box().Count(), 1) << name;
        EXPECT_EQ(Box().Last().prompt, "An Unexpected Error prevented the Error Log being Loaded");
        EXPECT_EQ(viewer.ListCount(), 0) << name;
        const std::string pdf = OutsidePath(std::string(name) + ".pdf");
        PrintTo(pdf);
        viewer.PrintLog();
        EXPECT_EQ(Box().Last().prompt, "An Unexpected Error prevented the Error Log being Printed") << name;
    }
}

TEST_F(ErrorLogViewer, EachHeaderClickFlipsTheOrder) {
    auto viewer = Viewer(kLog);
    ClickHeader(*viewer, 2);
    EXPECT_EQ(Cell(*viewer, 0, 2), "ActivityLog.BOF");
    ClickHeader(*viewer, 2);
    EXPECT_EQ(Cell(*viewer, 0, 2), "frmUser.cmdOK_Click");
    ClickHeader(*viewer, 0);
    EXPECT_EQ(Cell(*viewer, 0, 0), "[-2147221484]") << "ascending again, as text";
    EXPECT_EQ(Cell(*viewer, 3, 0), "Description: Permission denied");
}

TEST_F(ErrorLogViewer, SelectedIndexFollowsItsRules) {
    auto viewer = Viewer(kLog);
    EXPECT_FALSE(viewer->ItemSelected());
    viewer->SetSelectedIndex(2);
    EXPECT_EQ(viewer->SelectedIndex(), 2);
    EXPECT_TRUE(viewer->ItemSelected());
    EXPECT_TRUE(viewer->MultiSelect()) << "the setting it found is back";
    viewer->SetSelectedIndex(9);
    EXPECT_EQ(viewer->SelectedIndex(), 2) << "past the end: nothing";
    viewer->SetSelectedIndex(0);
    EXPECT_EQ(viewer->SelectedIndex(), 0);
}

TEST_F(ErrorLogViewer, DetailsShowTheSelectedRowAndStepThroughTheList) {
    auto viewer = Viewer(kLog);
    viewer->SetSelectedIndex(4);
    frmErrorLogDetails details(viewer.get());
    details.show();
    auto text = [&](const char* name) { return details.findChild<QLineEdit*>(name)->text(); };
    auto up = details.findChild<QPushButton*>("cmdUp");
    auto down = details.findChild<QPushButton*>("cmdDown");
    EXPECT_EQ(text("ErrorNumber"), "Description: Permission denied");
    EXPECT_FALSE(down->isEnabled());
    EXPECT_TRUE(up->isEnabled());
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(viewer->SelectedIndex(), 2);
    EXPECT_EQ(text("Source"), "Corvane");
    EXPECT_EQ(details.findChild<QPlainTextEdit*>("txtDetails")->toPlainText(),
              "Error Number: [5]\nSource: Corvane\nLocation: frmMain.Form_Load\n"
              "Description: Invalid procedure call, or argument\nTime Stamp: 12/9/2026 1:02:00 AM\n");
    EXPECT_TRUE(up->isEnabled());
    EXPECT_TRUE(down->isEnabled());
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_FALSE(up->isEnabled());
    EXPECT_TRUE(down->isEnabled());

    auto single = Viewer(Lines(1));
    single->SetSelectedIndex(1);
    frmErrorLogDetails one(single.get());
    one.show();
    EXPECT_FALSE(one.findChild<QPushButton*>("cmdUp")->isEnabled());
    EXPECT_FALSE(one.findChild<QPushButton*>("cmdDown")->isEnabled());
}

TEST_F(ErrorLogViewer, DetailsAreCancelledByCancelEscAndTheCloseBoxButNotByOk) {
    auto viewer = Viewer(kLog);
    viewer->SetSelectedIndex(1);
    const std::function<void(frmErrorLogDetails&)> ways[] = {
        [](frmErrorLogDetails& d) { QTest::mouseClick(d.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton); },
        [](frmErrorLogDetails& d) { QTest::keyClick(d.findChild<QLineEdit*>("ErrorNumber"), Qt::Key_Escape); },
        [](frmErrorLogDetails& d) { d.close(); },
        [](frmErrorLogDetails& d) { QTest::mouseClick(d.findChild<QPushButton*>("cmdOK"), Qt::LeftButton); },
    };
    std::vector<bool> cancelled;
    for (const auto& way : ways) {
        frmErrorLogDetails details(viewer.get());
        details.show();
        way(details);
        EXPECT_FALSE(details.isVisible());
        cancelled.push_back(details.Cancelled);
    }
    EXPECT_EQ(cancelled, (std::vector<bool>{true, true, true, false}));
}

TEST_F(ErrorLogViewer, EveryOpeningOfTheDetailsShowsTheRowSelectedThen) {
    auto viewer = Viewer(kLog);
    QStringList shown;
    for (int row : {1, 3}) {
        QTreeWidgetItem* item = viewer->List()->topLevelItem(row - 1);
        const QRect place = viewer->List()->visualItemRect(item);
        OnNextModal<frmErrorLogDetails>([&](frmErrorLogDetails* details) {
            shown << details->findChild<QLineEdit*>("ErrorNumber")->text();
            QTest::mouseClick(details->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        });
        // A double click is a press and release followed by the double click.
        QTest::mouseClick(viewer->List()->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(viewer->List()->viewport(), Qt::LeftButton, {}, place.center());
    }
    EXPECT_EQ(shown.join(' '), "[-2147221484] [-2147221500]");
}

TEST_F(ErrorLogViewer, DeleteAsksFirst) {
    auto viewer = Viewer(kLog);
    Box().Answer(kMsgNo);
    QTest::mouseClick(viewer->findChild<QPushButton*>("cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(Box().Last().prompt, "Confirm. Are you sure that you want to delete the Error Log ?");
    EXPECT_EQ(Box().Last().buttons, 4 + 32);
    EXPECT_TRUE(std::filesystem::exists(LogPath()));
    EXPECT_EQ(viewer->ListCount(), 4);

    Box().Answer(kMsgYes);
    viewer->PopUpMenu()->findChild<QAction*>("mnuPopUpItem1")->trigger();
    EXPECT_FALSE(std::filesystem::exists(LogPath()));
    EXPECT_EQ(Box().Last().prompt, "The Error Log has been deleted");
    EXPECT_EQ(viewer->ListCount(), 0);
}

TEST_F(ErrorLogViewer, OpenStartsTheDesktopsProgramForTheLogOnlyWhenTheCheckAllowsIt) {
    test_support::ScratchDesktop desktop;
    const std::string editor = desktop.Program("editor");
    desktop.Application("editor.desktop", editor + " %f");
    auto viewer = Viewer(kLog);
    for (const auto& type : DocumentTypes(LogPath())) desktop.Associate(type, "editor.desktop");
    std::vector<std::string> argv;
    SetSpawnFunction([&](const std::vector<std::string>& a, const std::string&) {
        argv = a;
        return 42;
    });
    bool allowed = true;
    std::vector<std::string> asked;
    test_support::DesktopOpenCheckScope check([&](const std::string& program) {
        asked.push_back(program);
        // A refusal is the check's to tell.
        if (!allowed) ShowMsgBox("refused", kMsgExclamation | kMsgOkOnly, "Corvane");
        return allowed;
    });
    QTest::mouseClick(viewer->findChild<QPushButton*>("cmdView"), Qt::LeftButton);
    EXPECT_EQ(argv, (std::vector<std::string>{editor, LogPath()}));
    EXPECT_EQ(Box().Count(), 0);

    // Refused: nothing starts and the viewer adds no message of its own.
    argv.clear();
    allowed = false;
    QTest::mouseClick(viewer->findChild<QPushButton*>("cmdView"), Qt::LeftButton);
    EXPECT_TRUE(argv.empty());
    ASSERT_EQ(Box().Count(), 1);
    EXPECT_EQ(Box().Last().prompt, "refused");
    EXPECT_EQ(asked, (std::vector<std::string>{editor, editor}));

    allowed = true;
    SetSpawnFunction([](const std::vector<std::string>&, const std::string&) { return 0; });
    viewer->OpenLog();
    EXPECT_EQ(Box().Last().prompt,
              "An Unexpected Error prevented the Error Log being opened with Notepad");
}

TEST_F(ErrorLogViewer, PrintingGivesAPageForEverySixtySixLinesAndAHeadingOnlyPageAfterAFullOne) {
    for (const auto& [lines, pages] : {std::pair{1, 1}, {65, 1}, {66, 2}, {67, 2}, {132, 3}}) {
        auto viewer = Viewer(Lines(lines));
        const std::string pdf = OutsidePath("log" + std::to_string(lines) + ".pdf");
        PrintTo(pdf);
        QTest::mouseClick(viewer->findChild<QPushButton*>("cmdPrint"), Qt::LeftButton);
        EXPECT_EQ(test::PdfPageCount(ReadFile(pdf)), pages) << lines << " lines";
    }
    EXPECT_EQ(Box().Count(), 0);
}

TEST_F(ErrorLogViewer, PrintingOverTheErrorLogIsRefusedAndLeavesItAsItWas) {
    auto viewer = Viewer(Lines(3));
    const std::string before = ReadFile(LogPath());
    PrintTo(LogPath());
    QTest::mouseClick(viewer->findChild<QPushButton*>("cmdPrint"), Qt::LeftButton);
    ASSERT_EQ(Box().Count(), 1);
    EXPECT_NE(Box().Last().prompt.find("holds Corvane's own files"), std::string::npos);
    EXPECT_EQ(ReadFile(LogPath()), before);
}

TEST_F(ErrorLogViewer, ClosingKeepsItsSizeAndPlaceForTheUser) {
    std::map<std::string, std::string> saved;
    ui::UiServices s = ui::Services();
    s.saveUserSetting = [&](const std::string& section, const std::string& key, const std::string& value) {
        saved[section + "|" + key] = value;
    };
    test::ServicesScope scope(s);
    auto viewer = Viewer(kLog);
    QTest::mouseClick(viewer->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_TRUE(saved.count("Form Metrics\\frmErrorLog|Height"));
    EXPECT_TRUE(saved.count("Form Metrics\\frmErrorLog|WindowState"));
}
