#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "errors/error_test_support.h"
#include "ui/ui_test_support.h"
#include "platform/core/error_trap.h"
#include "errors/error_handler.h"
#include "ui/errors/frm_error_debug.h"
#include "ui/errors/frm_xp_error_dialog.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/link_label.h"

using namespace corvane;
using test::OnNextModal;

namespace {

class ErrorDialogWindow : public test::ErrorReportingTest {
protected:
    static ErrorDialogRequest Request() {
        ErrorDialogRequest r;
        r.helpFile = "/opt/corvane/Corvane.chm";
        r.errorReportEmail = "help@corvane.example";
        r.appErrorLog = "/opt/corvane/Corvane_ErrorLog.txt";
        r.caption = "Unexpected Error";
        r.headerCaption = "Corvane Professional has encountered a problem.";
        r.errorMessage = "Bad Occured in A.B";
        r.contactMessage = "If this problem persists contact your software supplier.";
        r.errorReportString = "Error 5 [Bad]\r\nOccured in A.B at 17:45 on the 3/14/2026\r\n"
                              "See help file Located at  for further details.";
        return r;
    }
};

LinkLabel* Link(QWidget* dialog, int i) {
    return dialog->findChild<LinkLabel*>(QStringLiteral("lblErrSelect%1").arg(i));
}

}  // namespace

TEST_F(ErrorDialogWindow, AbortRetryAndIgnoreAnswerAndHideTheDialog) {
    for (const auto& [index, answer] : {std::pair{0, 3}, {1, 4}, {2, 5}}) {
        frmXPErrorDialog dialog;
        dialog.Apply(Request());
        dialog.show();
        QTest::mouseClick(Link(&dialog, index), Qt::LeftButton);
        EXPECT_EQ(dialog.Response, answer) << Link(&dialog, index)->text().toStdString();
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(ErrorDialogWindow, CloseEnterAndEscAnswerNothing) {
    const std::function<void(frmXPErrorDialog*)> ways[] = {
        [](frmXPErrorDialog* d) { QTest::mouseClick(d->findChild<QPushButton*>("cmdClose"), Qt::LeftButton); },
        [](frmXPErrorDialog* d) { QTest::keyClick(d, Qt::Key_Return); },
        [](frmXPErrorDialog* d) { QTest::keyClick(d, Qt::Key_Escape); },
        [](frmXPErrorDialog* d) { d->close(); },
    };
    for (const auto& way : ways) {
        OnNextModal<frmXPErrorDialog>(way);
        EXPECT_EQ(frmXPErrorDialog::Run(Request()), 0);
    }
}

TEST_F(ErrorDialogWindow, ShowsTheTextsItIsGivenAndNoToolTipsUnlessAsked) {
    frmXPErrorDialog dialog;
    dialog.Apply(Request());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Unexpected Error");
    EXPECT_EQ(dialog.findChild<QLabel*>("HeaderCaption")->text(),
              "Corvane Professional has encountered a problem.");
    EXPECT_EQ(dialog.findChild<QLabel*>("ErrorMessage")->text(), "Bad Occured in A.B");
    EXPECT_EQ(dialog.findChild<QLabel*>("SelectOptionsCaption")->text(),
              "Please select the options below to resume work:-");
    EXPECT_FALSE(dialog.FormLoad());
    QStringList captions;
    for (int i = 0; i < 5; ++i) {
        captions << Link(&dialog, i)->text();
        EXPECT_TRUE(Link(&dialog, i)->toolTip().isEmpty());
    }
    EXPECT_EQ(captions.join('/'), "Abort/Retry/Ignore/Help/Debug");
    EXPECT_EQ(dialog.findChild<QWidget*>("picBanner")->width(), dialog.width());

    frmXPErrorDialog tipped;
    tipped.ShowToolTips = true;
    tipped.show();
    EXPECT_EQ(Link(&tipped, 1)->toolTip(), "Retry current Process");
    EXPECT_EQ(Link(&tipped, 4)->toolTip(), "Open the Debugging Window");
}

TEST_F(ErrorDialogWindow, HelpOpensTheHelpFileAndTheDialogStays) {
    std::vector<std::string> opened;
    ui::UiServices s = ui::Services();
    s.fileExists = [](const std::string&) { return true; };
    s.openHelp = [&](const std::string& target, int, int) { opened.push_back(target); };
    test::ServicesScope scope(s);
    frmXPErrorDialog dialog;
    dialog.Apply(Request());
    dialog.show();
    QTest::mouseClick(Link(&dialog, 3), Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<std::string>{"/opt/corvane/Corvane.chm"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Response, 0);
}

TEST_F(ErrorDialogWindow, DebugOpensTheDebugWindowWithTheReportThenRetryStillAnswers) {
    std::string shown, email;
    bool sendVisible = false;
    OnNextModal<frmXPErrorDialog>([&](frmXPErrorDialog* dialog) {
        OnNextModal<frmErrorDebug>([&](frmErrorDebug* debug) {
            shown = debug->ErrorDetailsText();
            email = debug->ErrorReportEmail;
            sendVisible = debug->findChild<QPushButton*>("cmdSendErrorReport")->isVisible();
            QTest::keyClick(debug, Qt::Key_Escape);
        });
        QTest::mouseClick(Link(dialog, 4), Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible());
        QTest::mouseClick(Link(dialog, 1), Qt::LeftButton);
    });
    EXPECT_EQ(frmXPErrorDialog::Run(Request()), kErrorRetry);
    EXPECT_EQ(shown, "Error 5 [Bad]\nOccured in A.B at 17:45 on the 3/14/2026\n"
                     "See help file Located at  for further details.");
    EXPECT_EQ(email, "help@corvane.example");
    EXPECT_TRUE(sendVisible);
}

TEST_F(ErrorDialogWindow, TheHandlerShowsTheRealDialogAndReturnsItsChoice) {
    SetErrorDialogPresenter(std::make_shared<XPErrorDialogPresenter>());
    QString message;
    OnNextModal<frmXPErrorDialog>([&](frmXPErrorDialog* dialog) {
        message = dialog->findChild<QLabel*>("ErrorMessage")->text();
        QTest::mouseClick(Link(dialog, 2), Qt::LeftButton);
    });
    ErrorHandler handler;
    EXPECT_EQ(handler.HandleError(RaisedError(7, "Subs.X", "Out of memory"), "Subs.WriteUserLog"),
              kErrorResume);
    EXPECT_EQ(message, "Out of memory Occured in Subs.WriteUserLog");
}

// An error raised in a busy step (two hourglasses set, as nested steps set
// them) is shown under the default pointer, and the steps' own ends after it
// leave the default pointer too.
TEST_F(ErrorDialogWindow, TheDialogShowsUnderTheDefaultPointerWhateverHourglassesWereSet) {
    SetErrorDialogPresenter(std::make_shared<XPErrorDialogPresenter>());
    bool busyWhileShown = true;
    OnNextModal<frmXPErrorDialog>([&](frmXPErrorDialog* dialog) {
        busyWhileShown = QApplication::overrideCursor() != nullptr;
        QTest::mouseClick(Link(dialog, 1), Qt::LeftButton);
    });
    {
        BusyPointer outer;
        BusyPointer inner;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        ErrorHandler handler;
        EXPECT_EQ(handler.HandleError(RaisedError(7, "Subs.X", "Out of memory"), "Subs.WriteUserLog"), kErrorRetry);
    }
    EXPECT_FALSE(busyWhileShown);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
