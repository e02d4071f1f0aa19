// The log details windows over hand-made logs: what they show, the summary
// on the clipboard, records that cannot be read, Up and Down beside a
// viewer, and how they hide, close and reopen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QTreeView>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <memory>

#include "admin/logs/details/frm_log_details.h"
#include "admin/logs/viewers/frm_log_viewers.h"
#include "admin/logs/viewers/log_viewers_test_support.h"
#include "platform/system/workstation_forms.h"
#include "session/launchers/launchers.h"
#include "session/launchers/window_factories.h"
#include "support/x11_window_states.h"
#include "ui/helpers/top_level_form_registry.h"

using namespace corvane;
using namespace corvane::test;

namespace {

class DetailsTest : public LogFolderTest {
protected:
    void SetUp() override {
        LogFolderTest::SetUp();
        ui::InstallTopLevelFormRegistry();
        RegisterLogDetailsWindows();
        QApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void TearDown() override {
        details_.reset();
        web_.reset();
        viewer_.reset();
        webViewer_.reset();
        for (const char* name : {"frmUserLogDetails", "frmWebsiteLogDetails"}) {
            if (QPointer<QWidget>& shared = SharedWindow(QString::fromLatin1(name))) delete shared.data();
        }
        SetFormSource({});
        LogFolderTest::TearDown();
    }

    frmUserLogDetails& UserDetails(std::int32_t id) {
        details_ = std::make_unique<frmUserLogDetails>();
        details_->LogID = id;
        details_->Activate();
        return *details_;
    }
    frmWebsiteLogDetails& WebDetails(std::int32_t id) {
        web_ = std::make_unique<frmWebsiteLogDetails>();
        web_->LogID = id;
        web_->Activate();
        return *web_;
    }
    frmUserLog& OpenViewer() {
        viewer_ = std::make_unique<frmUserLog>();
        viewer_->Activate();
        return *viewer_;
    }
    static QString Text(const LogDetailsDialog& d, const char* box) { return d.Box(box)->text(); }

    // Three closed sessions: the viewer lists them newest first, LogID 3, 2, 1.
    void ThreeSessions() {
        AddUserLog({"ann", "Ann Lee", "Corvane", "WS-1", Stamp(2026, 12, 9, 8, 0, 0), Stamp(2026, 12, 9, 9, 0, 0)});
        AddUserLog({"ben", "Ben Ode", "Corvane", "WS-2", Stamp(2026, 12, 9, 10, 0, 0), Stamp(2026, 12, 9, 11, 0, 0)});
        AddUserLog({"cal", "Cal Poe", "Corvane", "WS-3", Stamp(2026, 12, 9, 12, 0, 0), Stamp(2026, 12, 9, 13, 0, 0)});
    }

    std::unique_ptr<frmUserLogDetails> details_;
    std::unique_ptr<frmWebsiteLogDetails> web_;
    std::unique_ptr<frmUserLog> viewer_;
    std::unique_ptr<frmWebsiteLog> webViewer_;
};

TEST_F(DetailsTest, BothStayOffTheTaskBarAndThePager) {
    const std::int32_t id = AddUserLog({"ann", "Ann Lee", "Corvane", "WS-1", Stamp(2026, 12, 9, 8, 0, 0)});
    {
        SCOPED_TRACE("frmUserLogDetails");
        ExpectOffTheTaskbar(&UserDetails(id));
    }
    SCOPED_TRACE("frmWebsiteLogDetails");
    ExpectOffTheTaskbar(&WebDetails(1));
}

TEST_F(DetailsTest, UserRecordShowsItsTypeTimesAndActive) {
    struct Case {
        const char* what;
        UserEntry entry;
        const char* type;
        const char* login;
        const char* logout;
        const char* active;
    };
    const OleDate in = Stamp(2026, 12, 9, 8, 5, 0), out = Stamp(2026, 12, 9, 17, 48, 3);
    const Case cases[] = {
        {"closed session", {"ann", "Ann Lee", "Corvane", "WS-1", in, out}, "Logoff Success", "12/9/2026 08:05:00",
         "12/9/2026 17:48:03", "No"},
        {"open session", {"ben", "Ben Ode", "Corvane", "WS-2", in, 0, false, true}, "Login Success",
         "12/9/2026 08:05:00", "-", "Yes"},
        {"unknown login", {"zed", "", "Corvane", "WS-3", in, 0, false, false, true}, "Invalid Login",
         "12/9/2026 08:05:00", "-", "No"},
        {"refused password wins", {"cal", "Cal Poe", "Corvane", "WS-4", 0, 0, true, true, true}, "Invalid Password",
         "-", "-", "Yes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::int32_t id = AddUserLog(c.entry);
        frmUserLogDetails& d = UserDetails(id);
        EXPECT_EQ(Text(d, "txtType"), c.type);
        EXPECT_EQ(Text(d, "txtLogID"), QString::number(id));
        EXPECT_EQ(Text(d, "txtUserLogin").toStdString(), c.entry.login);
        EXPECT_EQ(Text(d, "txtName").toStdString(), c.entry.name);
        EXPECT_EQ(Text(d, "txtApp"), "Corvane");
        EXPECT_EQ(Text(d, "txtComputer").toStdString(), c.entry.computer);
        EXPECT_EQ(Text(d, "txtLoginTime"), c.login);
        EXPECT_EQ(Text(d, "txtLogoutTime"), c.logout);
        EXPECT_EQ(Text(d, "txtActive"), c.active);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(DetailsTest, CaptionsComeFromTheMessages) {
    frmUserLogDetails& d = UserDetails(0);
    EXPECT_EQ(d.windowTitle(), "User Log");
    EXPECT_EQ(d.Label("lblType")->text(), "Type:");
    EXPECT_EQ(d.Label("lblLogID")->text(), "Log ID:");
    EXPECT_EQ(d.Label("lblLogoutTime")->text(), "Logout Time:");
    EXPECT_EQ(d.Label("lblDescription")->text(), "Description:");
    EXPECT_EQ(d.OKButton()->text(), "OK");
    EXPECT_EQ(d.CancelButton()->text(), "Cancel");
    EXPECT_TRUE(d.OKButton()->isDefault());
    EXPECT_FALSE(d.FormLoad);

    frmWebsiteLogDetails& w = WebDetails(0);
    EXPECT_EQ(w.windowTitle(), "Website Log");
    EXPECT_EQ(w.Label("lblURL")->text(), "URL:");
    EXPECT_EQ(w.Label("lblTimeStamp")->text(), "Time:");
    EXPECT_EQ(w.Label("lblStatus")->text(), "Status:");
    EXPECT_EQ(w.Box("txtType"), nullptr);
}

TEST_F(DetailsTest, CopyPutsTheNineLineSummaryOnTheClipboard) {
    const std::int32_t id = AddUserLog({"ann", "Ann Lee", "Corvane", "WS-1", Stamp(2026, 12, 9, 8, 5, 0),
                                        Stamp(2026, 12, 9, 17, 48, 0)});
    frmUserLogDetails& d = UserDetails(id);
    d.CopyButton()->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "Type: Logoff Success\r\n"
              "Log ID: 1\r\n"
              "User Login: ann\r\n"
              "Name: Ann Lee\r\n"
              "Application: Corvane\r\n"
              "Computer: WS-1\r\n"
              "Login Time: 12/9/2026 08:05:00\r\n"
              "Logout Time: 12/9/2026 17:48:00\r\n"
              "Active: No\r\n");
    EXPECT_EQ(d.Description()->toPlainText().count('\n'), 9);
}

TEST_F(DetailsTest, WebsiteSummaryHasSevenLinesAndTheWholeAddress) {
    const std::string url = "https://example.org/" + std::string(235, 'a');
    ASSERT_EQ(url.size(), 255u);
    const std::int32_t accepted =
        AddWebsiteLog({"ann", "Corvane", "WS-1", url, Stamp(2026, 12, 9, 8, 5, 0), "URL ACCEPTED"});
    const std::int32_t denied = AddWebsiteLog({"ann", "Corvane", "WS-1", "http://x.org", 0, "url denied"});
    const std::int32_t odd = AddWebsiteLog({"ann", "Corvane", "WS-1", "http://y.org", 0, "SOMETHING ELSE"});

    frmWebsiteLogDetails& w = WebDetails(accepted);
    EXPECT_EQ(Text(w, "txtURL").toStdString(), url);
    EXPECT_EQ(Text(w, "txtStatus"), "URL Accepted");
    w.CopyButton()->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "Log ID: 1\r\nUser Login: ann\r\nApplication: Corvane\r\nComputer: WS-1\r\nURL: " + url +
                  "\r\nTime: 12/9/2026 08:05:00\r\nStatus: URL Accepted\r\n");

    frmWebsiteLogDetails& d = WebDetails(denied);
    EXPECT_EQ(Text(d, "txtStatus"), "URL Denied");
    EXPECT_EQ(Text(d, "txtTimeStamp"), "-");

    frmWebsiteLogDetails& o = WebDetails(odd);
    EXPECT_EQ(Text(o, "txtStatus"), "");
    EXPECT_TRUE(o.Summary().ends_with("\r\nStatus: \r\n"));
}

TEST_F(DetailsTest, ARecordThatCannotBeReadLeavesTheBoxesAsTheyWere) {
    const std::int32_t first = AddUserLog({"ann", "Ann Lee", "Corvane", "WS-1", Stamp(2026, 12, 9, 8, 0, 0)});
    const std::int32_t gone = AddUserLog({"ben", "Ben Ode", "Corvane", "WS-2", Stamp(2026, 12, 9, 9, 0, 0)});
    UserLog().Delete(gone);
    ASSERT_FALSE(UserLog().Load(gone));
    for (std::int32_t id : {0, gone, gone + 5, -1}) {
        SCOPED_TRACE(id);
        frmUserLogDetails& d = UserDetails(id);
        for (const char* box : {"txtType", "txtLogID", "txtUserLogin", "txtLoginTime", "txtActive"})
            EXPECT_EQ(Text(d, box), "") << box;
        d.CopyButton()->click();
        EXPECT_EQ(QApplication::clipboard()->text(), "");
    }
    // Shown once, a later failed read keeps it.
    frmUserLogDetails& d = UserDetails(first);
    d.LogID = gone;
    d.LoadData();
    EXPECT_EQ(Text(d, "txtUserLogin"), "ann");
    EXPECT_EQ(Text(d, "txtLogID"), QString::number(first));
    EXPECT_TRUE(errors.empty());
}

TEST_F(DetailsTest, WithoutAViewerThereIsNoUpOrDown) {
    const std::int32_t id = AddUserLog({"ann", "Ann Lee", "Corvane", "WS-1", Stamp(2026, 12, 9, 8, 0, 0)});
    frmUserLogDetails& d = UserDetails(id);
    EXPECT_TRUE(d.UpButton()->isHidden());
    EXPECT_TRUE(d.DownButton()->isHidden());
    EXPECT_FALSE(d.CopyButton()->isHidden());
    d.cmdDown_Click();
    EXPECT_EQ(d.LogID, id);
    EXPECT_EQ(Text(d, "txtUserLogin"), "ann");
}

TEST_F(DetailsTest, UpAndDownStepThroughTheViewersList) {
    ThreeSessions();
    frmUserLog& viewer = OpenViewer();
    viewer.SetSelectedIndex(1);
    frmUserLogDetails& d = UserDetails(viewer.SelectedID());
    EXPECT_FALSE(d.UpButton()->isHidden());
    EXPECT_EQ(Text(d, "txtUserLogin"), "cal");
    EXPECT_FALSE(d.UpButton()->isEnabled());
    EXPECT_TRUE(d.DownButton()->isEnabled());

    d.DownButton()->click();
    EXPECT_EQ(viewer.SelectedIndex(), 2);
    EXPECT_EQ(d.LogID, 2);
    EXPECT_EQ(Text(d, "txtUserLogin"), "ben");
    EXPECT_TRUE(d.UpButton()->isEnabled());
    EXPECT_TRUE(d.DownButton()->isEnabled());

    d.DownButton()->click();
    EXPECT_EQ(Text(d, "txtUserLogin"), "ann");
    EXPECT_TRUE(d.UpButton()->isEnabled());
    EXPECT_FALSE(d.DownButton()->isEnabled());
    EXPECT_EQ(viewer.ItemsSelectedCount(), 1);

    d.UpButton()->click();
    EXPECT_EQ(Text(d, "txtUserLogin"), "ben");

    // A step starts from the viewer's selection, not from the record shown.
    viewer.SetSelectedIndex(3);
    d.UpButton()->click();
    EXPECT_EQ(Text(d, "txtUserLogin"), "ben");
}

// After a header click Up and Down step from where the shown record went.
TEST_F(DetailsTest, UpAndDownFollowTheRecordThroughASort) {
    ThreeSessions();
    frmUserLog& viewer = OpenViewer();
    viewer.SetSelectedIndex(1);  // cal, the newest
    frmUserLogDetails& d = UserDetails(viewer.SelectedID());
    ASSERT_FALSE(d.UpButton()->isEnabled());
    emit viewer.List()->header()->sectionClicked(0);  // by login, ascending: ann, ben, cal
    EXPECT_EQ(viewer.SelectedIndex(), 3);
    EXPECT_TRUE(d.UpButton()->isEnabled());
    EXPECT_FALSE(d.DownButton()->isEnabled());
    d.UpButton()->click();
    EXPECT_EQ(d.LogID, 2);
    EXPECT_EQ(Text(d, "txtUserLogin"), "ben");
    d.UpButton()->click();
    EXPECT_EQ(Text(d, "txtUserLogin"), "ann");
    EXPECT_FALSE(d.UpButton()->isEnabled());
}

TEST_F(DetailsTest, DownWithNothingSelectedTakesTheTopRow) {
    ThreeSessions();
    frmUserLog& viewer = OpenViewer();
    frmUserLogDetails& d = UserDetails(1);
    ASSERT_EQ(viewer.SelectedIndex(), 0);
    d.cmdDown_Click();
    EXPECT_EQ(viewer.SelectedIndex(), 1);
    EXPECT_EQ(Text(d, "txtUserLogin"), "cal");
}

TEST_F(DetailsTest, AnEmptiedViewerLeavesTheRecordShown) {
    ThreeSessions();
    frmUserLog& viewer = OpenViewer();
    viewer.SetSelectedIndex(2);
    frmUserLogDetails& d = UserDetails(viewer.SelectedID());
    { UserLog log; log.Truncate(); }
    viewer.LoadData();
    ASSERT_EQ(viewer.ListCount(), 0);
    d.cmdDown_Click();
    EXPECT_EQ(d.LogID, 0);
    EXPECT_EQ(Text(d, "txtUserLogin"), "ben");
    EXPECT_TRUE(d.UpButton()->isEnabled());
    EXPECT_FALSE(d.DownButton()->isEnabled());
}

TEST_F(DetailsTest, WebsiteDetailsFollowTheWebsiteViewer) {
    AddWebsiteLog({"ann", "Corvane", "WS-1", "http://only.org", Stamp(2026, 12, 9, 8, 0, 0), "URL ACCEPTED"});
    webViewer_ = std::make_unique<frmWebsiteLog>();
    webViewer_->Activate();
    webViewer_->SetSelectedIndex(1);
    frmWebsiteLogDetails& w = WebDetails(webViewer_->SelectedID());
    EXPECT_FALSE(w.UpButton()->isHidden());
    EXPECT_FALSE(w.UpButton()->isEnabled());
    EXPECT_FALSE(w.DownButton()->isEnabled());
    // The user-log viewer is no neighbour of the website details.
    OpenViewer();
    frmWebsiteLogDetails& again = WebDetails(1);
    EXPECT_FALSE(again.UpButton()->isHidden());
    webViewer_.reset();
    frmWebsiteLogDetails& alone = WebDetails(1);
    EXPECT_TRUE(alone.UpButton()->isHidden());
}

TEST_F(DetailsTest, OkAndCancelHideTheCloseBoxUnloadsReopeningReplaces) {
    const std::int32_t first = AddUserLog({"ann", "Ann Lee", "Corvane", "WS-1", Stamp(2026, 12, 9, 8, 0, 0)});
    const std::int32_t second = AddUserLog({"ben", "Ben Ode", "Corvane", "WS-2", Stamp(2026, 12, 9, 9, 0, 0)});
    const auto shown = [] {
        return qobject_cast<frmUserLogDetails*>(SharedWindow(QStringLiteral("frmUserLogDetails")).data());
    };

    ShowUserLogDetails(first, "");
    QPointer<frmUserLogDetails> d = shown();
    ASSERT_TRUE(d);
    d->Activate();
    EXPECT_EQ(Text(*d, "txtUserLogin"), "ann");
    d->OKButton()->click();
    EXPECT_TRUE(d->isHidden());
    EXPECT_FALSE(d->Cancelled);
    EXPECT_TRUE(IsFormLoaded("frmUserLogDetails"));

    ShowUserLogDetails(second, "");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(d);
    d = shown();
    ASSERT_TRUE(d);
    d->Activate();
    EXPECT_EQ(Text(*d, "txtUserLogin"), "ben");
    d->CancelButton()->click();
    EXPECT_TRUE(d->Cancelled);
    EXPECT_TRUE(d->isHidden());

    ShowUserLogDetails(first, "");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    d = shown();
    ASSERT_TRUE(d);
    d->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(d);
    EXPECT_FALSE(IsFormLoaded("frmUserLogDetails"));
}

TEST_F(DetailsTest, ATableOtherThanTheStandardOneCanBeShown) {
    AddUserLog({"ann", "Ann Lee", "Corvane", "WS-1", Stamp(2026, 12, 9, 8, 0, 0)});
    const std::string elsewhere = Path("copy.sec");
    std::filesystem::copy_file(Path("userlog.sec"), elsewhere);
    { UserLog log; log.Truncate(); }
    details_ = std::make_unique<frmUserLogDetails>();
    details_->OpenTablePathname = elsewhere;
    details_->LogID = 1;
    details_->Activate();
    EXPECT_EQ(Text(*details_, "txtUserLogin"), "ann");
}

}  // namespace
