#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "errors/error_test_support.h"
#include "ui/ui_test_support.h"
#include "errors/printouts.h"
#include "ui/errors/frm_error_debug.h"
#include "ui/errors/frm_error_log.h"
#include "ui/helpers/print_job.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;
using test::OnNextModal;

namespace {

const std::string kReport = "Error 5 [Bad]\r\nOccured in A.B at 17:45 on the 3/14/2026\r\n"
                            "See help file Located at  for further details.";

class DebugWindow : public test::ErrorReportingTest {
protected:
    void TearDown() override {
        SetPrintDialog(nullptr);
        ErrorReportingTest::TearDown();
    }

    // Prints to a PDF file instead of asking.
    void PrintTo(const std::string& pdf) {
        SetPrintDialog([pdf](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
    }

    QPushButton* Button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(name); }

    void Open(frmErrorDebug& window, bool enableSend, const std::string& email) {
        window.EnableSendErrorReport = enableSend;
        window.ErrorReportEmail = email;
        window.SetErrorDetails(kReport);
        window.show();
    }
};

}  // namespace

TEST(ErrorDetailsPrintout, AnEmptyLineTheHeadingTheRuleAndTheReport) {
    const auto lines = ErrorDetailsPrintout(kReport, *FromParts({2026, 3, 14, 17, 45, 9}));
    const std::vector<PrintedLine> expected{
        {"", 10, true},
        {"Error Details, Printed 3/14/2026 at 17:45", 8, true},
        {std::string(60, '-'), 6, false},
        {"", 6, false},
        {"Error 5 [Bad]", 6, false},
        {"Occured in A.B at 17:45 on the 3/14/2026", 6, false},
        {"See help file Located at  for further details.", 6, false},
        {"", 6, false},
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(ErrorDetailsPrintout("a\nb", 0).size(), 7u) << "lines as a text box gives them back";
}

TEST_F(DebugWindow, SendErrorReportShowsOnlyWhenEnabled) {
    for (bool enabled : {false, true}) {
        frmErrorDebug window;
        Open(window, enabled, "help@corvane.example");
        EXPECT_EQ(window.windowTitle(), "Debug and Error Reporting");
        EXPECT_EQ(Button(&window, "cmdSendErrorReport")->isVisible(), enabled);
        EXPECT_EQ(window.findChild<QWidget*>("lblSendReportMessage")->isVisible(), enabled);
    }
}

TEST_F(DebugWindow, SendingMailsTheReportAndSaysNothingEitherWay) {
    auto box = ScriptedMsgBox::Install();
    for (bool delivered : {true, false}) {
        mail_->sent.clear();
        mail_->answer = delivered;
        frmErrorDebug window;
        Open(window, true, "help@corvane.example");
        QTest::mouseClick(Button(&window, "cmdSendErrorReport"), Qt::LeftButton);
        ASSERT_TRUE(mail_->WaitForSent(1)) << "sent on a thread of its own";
        ASSERT_EQ(mail_->sent.size(), 1u);
        EXPECT_EQ(mail_->sent[0].to, "help@corvane.example");
        EXPECT_EQ(mail_->sent[0].subject, "Error Report");
        EXPECT_EQ(mail_->sent[0].text, window.ErrorDetailsText());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the default pointer is back";
        EXPECT_TRUE(window.isVisible());
    }
    frmErrorDebug noAddress;
    Open(noAddress, true, "");
    mail_->sent.clear();
    QTest::mouseClick(Button(&noAddress, "cmdSendErrorReport"), Qt::LeftButton);
    EXPECT_TRUE(mail_->sent.empty());
    EXPECT_EQ(box->Count(), 0);
}

TEST_F(DebugWindow, CopyPutsTheReportOnTheClipboard) {
    frmErrorDebug window;
    Open(window, false, "");
    QApplication::clipboard()->setText("something else");
    QTest::mouseClick(Button(&window, "cmdCopy"), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), window.ErrorDetailsText());
}

TEST_F(DebugWindow, PrintingGivesOnePageAndCancelPrintsNothing) {
    auto box = ScriptedMsgBox::Install();
    frmErrorDebug window;
    Open(window, false, "");
    PrintTo(OutsidePath("details.pdf"));
    QTest::mouseClick(Button(&window, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(test::PdfPageCount(ReadFile(OutsidePath("details.pdf"))), 1);

    bool asked = false;
    SetPrintDialog([&](QPrinter&, QWidget*) { return !(asked = true); });
    window.PrintError();
    EXPECT_TRUE(asked);
    EXPECT_EQ(box->Count(), 0) << "cancelling says nothing";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DebugWindow, APrintFailureSaysSo) {
    auto box = ScriptedMsgBox::Install();
    frmErrorDebug window;
    Open(window, false, "");
    PrintTo(OutsidePath("no-such-folder/details.pdf"));
    window.PrintError();
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, "An Unexpected Error prevented the Error Details being Printed");
    EXPECT_EQ(box->Last().buttons, 48);
    EXPECT_EQ(box->Last().title, "Debug and Error Reporting");
}

TEST_F(DebugWindow, PrintingIntoTheProgramFolderIsRefused) {
    auto box = ScriptedMsgBox::Install();
    frmErrorDebug window;
    Open(window, false, "");
    PrintTo(Path("details.pdf"));
    window.PrintError();
    ASSERT_EQ(box->Count(), 1);
    EXPECT_NE(box->Last().prompt.find("The folder " + std::filesystem::canonical(Path("")).string() + " holds"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Path("details.pdf")));
}

TEST_F(DebugWindow, TheErrorLogButtonOpensTheViewerOnTheLog) {
    auto box = ScriptedMsgBox::Install();
    frmErrorDebug window;
    window.AppErrorLog = LogPath();
    Open(window, false, "");
    std::string given;
    OnNextModal<frmErrorLog>([&](frmErrorLog* viewer) {
        given = viewer->AppErrorLog;
        viewer->reject();
    });
    QTest::mouseClick(Button(&window, "cmdErrorLog"), Qt::LeftButton);
    EXPECT_EQ(given, LogPath());
    EXPECT_EQ(box->Count(), 1) << "no log yet";
}
