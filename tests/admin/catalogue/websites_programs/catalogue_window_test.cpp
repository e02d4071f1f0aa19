#include <QFile>
#include <QTest>
#include <QTreeView>

#include <filesystem>

#include "admin/catalogue/websites_programs/catalogue_test_support.h"
#include "admin/catalogue/websites_programs/frm_programs.h"
#include "admin/catalogue/websites_programs/frm_websites.h"
#include "admin/users/corvane/frm_corvane.h"
#include "logs/activity_log.h"
#include "recordstore/record_file.h"
#include "support/activity_lines.h"
#include "support/faulty_record_io.h"
#include "support/step_record_io.h"

namespace corvane::test {
namespace {

// A catalogue window whose editor is answered in place by a script.
template <typename Window>
class ScriptedWindow : public Window {
public:
    using Window::DeleteCommand;
    using Window::EditCommand;
    using Window::NewCommand;

    std::function<void(CatalogueEntryEditor&)> script;
    int editorsShown = 0;

    void Tick() { QMetaObject::invokeMethod(this, "AutoRefreshData"); }

protected:
    void ShowEditor(CatalogueEntryEditor& editor) override {
        ++editorsShown;
        editor.show();
        editor.Activate();
        if (script) script(editor);
    }
};

class CatalogueWindowTest : public CatalogueTest {
protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        gEnableActivityLogging = true;
    }
    void TearDown() override {
        gEnableActivityLogging = false;
        CatalogueTest::TearDown();
    }
    static std::vector<std::string> ActivityLines() { return test_support::ActivityLines(); }
    template <typename Window>
    static void Open(Window& window) {
        window.show();
        window.Activate();
    }
    static void SelectRowWithText(ListWindow& window, const std::string& text) {
        for (int i = 1; i <= window.ListCount(); ++i) {
            window.SetSelectedIndex(i);
            if (window.SelectedItem() == text) return;
        }
        FAIL() << "no row " << text;
    }
};

TEST_F(CatalogueWindowTest, EditCarriesARenamedAddressIntoTheLinksOnly) {
    AddUser("carol");
    AddEntry(Kind::Website, {"a.example", "first", 1});
    AddEntry(Kind::Website, {"b.example", "second", 1});
    AddWebsiteLink("carol", "a.example");
    AddWebsiteLink("dave", "A.example");
    AddWebsiteLink("carol", "b.example");
    frmCorvane users;
    users.show();
    users.Activate();
    ASSERT_EQ(users.ListCount(), 1);
    AddUser("dave");  // seen only if the user window reloads

    ScriptedWindow<frmWebsites> window;
    Open(window);
    bool refreshHeld = false;
    int rowsDuringEdit = -1;
    window.script = [&](CatalogueEntryEditor& editor) {
        refreshHeld = window.NoAutoRefresh();
        AddEntry(Kind::Website, {"elsewhere.example", "", 1});
        window.Tick();
        rowsDuringEdit = window.ListCount();
        editor.DescriptionBox()->setText("changed");
        editor.OkButton()->click();
    };
    SelectRowWithText(window, "a.example");
    window.EditCommand();
    EXPECT_TRUE(refreshHeld);
    EXPECT_EQ(rowsDuringEdit, 2) << "a tick while the editor is open does nothing";
    EXPECT_FALSE(window.NoAutoRefresh());
    EXPECT_EQ(WebsiteLinks(), (std::vector<std::string>{"carol=a.example", "dave=A.example", "carol=b.example"}));
    EXPECT_EQ(users.ListCount(), 1);
    EXPECT_EQ(ActivityLines(), (std::vector<std::string>{"Edit Website - a.example"}));

    window.script = [](CatalogueEntryEditor& editor) {
        editor.KeyBox()->setText(" c.example ");
        editor.OkButton()->click();
    };
    SelectRowWithText(window, "a.example");
    window.EditCommand();
    EXPECT_EQ(window.SelectedItem(), "c.example");
    EXPECT_EQ(WebsiteLinks(), (std::vector<std::string>{"carol=c.example", "dave=A.example", "carol=b.example"}));
    EXPECT_EQ(users.ListCount(), 2);
    EXPECT_EQ(ActivityLines().back(), "Edit Website - c.example");
    users.close();
}

TEST_F(CatalogueWindowTest, AddLogsOnlyASavedEntry) {
    ScriptedWindow<frmWebsites> window;
    Open(window);
    window.script = [](CatalogueEntryEditor& editor) {
        editor.KeyBox()->setText("x.example");
        editor.CancelButton()->click();
    };
    window.NewCommand();
    EXPECT_TRUE(ActivityLines().empty());
    window.script = [](CatalogueEntryEditor& editor) {
        editor.KeyBox()->setText("x.example");
        editor.OkButton()->click();
    };
    window.NewCommand();
    EXPECT_EQ(window.ListCount(), 1);
    EXPECT_EQ(ActivityLines(), (std::vector<std::string>{"New Website - x.example"}));
}

TEST_F(CatalogueWindowTest, DeletingRowsAsksForLinkedOnesAndKeepsAnsweredNo) {
    AddEntry(Kind::Website, {"x.example", "", 1});
    AddEntry(Kind::Website, {"y.example", "", 1});
    AddEntry(Kind::Website, {"z.example", "", 1});
    AddWebsiteLink("carol", "y.example");
    AddWebsiteLink("dave", "Z.example ");
    ScriptedWindow<frmWebsites> window;
    Open(window);
    int rowsDuringQuestion = -1;
    box_->AnswerWith([&](const ScriptedMsgBox::Question& q) {
        if (q.prompt.find("anyway") == std::string::npos) return int(kMsgYes);
        if (q.prompt.find("y.example") == std::string::npos) return int(kMsgYes);
        AddEntry(Kind::Website, {"elsewhere.example", "", 1});
        window.Tick();
        rowsDuringQuestion = window.ListCount();
        return int(kMsgNo);
    });
    QTest::keyClick(window.List(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(window.ItemsSelectedCount(), 3);
    QTest::keyClick(window.List(), Qt::Key_Delete);

    ASSERT_EQ(box_->Count(), 3);
    EXPECT_NE(box_->Questions()[0].prompt.find('3'), std::string::npos);
    EXPECT_EQ(box_->Questions()[1].prompt,
              "Users have been assigned the selected website(s).\r\nDo you wish to continue and delete z.example anyway?");
    EXPECT_EQ(box_->Questions()[1].buttons, kMsgYesNo | kMsgExclamation);
    EXPECT_EQ(rowsDuringQuestion, 3);
    std::vector<std::string> keys;
    for (const Entry& e : Entries(Kind::Website)) keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"y.example", "elsewhere.example"}));
    EXPECT_EQ(WebsiteLinks(), (std::vector<std::string>{"carol=y.example"}));
    EXPECT_EQ(ActivityLines(),
              (std::vector<std::string>{"Delete Website(s) - z.example", "Delete Website(s) - x.example"}));
    EXPECT_EQ(window.ListCount(), 2);
    EXPECT_FALSE(window.NoEdits);
    EXPECT_FALSE(window.NoAutoRefresh());
}

TEST_F(CatalogueWindowTest, EditOfARowDeletedElsewhereOpensNothing) {
    const std::int32_t gone = AddEntry(Kind::Website, {"a.example", "", 1});
    AddEntry(Kind::Website, {"b.example", "", 1});
    ScriptedWindow<frmWebsites> window;
    Open(window);
    SelectRowWithText(window, "a.example");
    Website().Delete(gone);
    window.EditCommand();
    EXPECT_EQ(window.editorsShown, 0);
    EXPECT_EQ(window.ListCount(), 1);
    EXPECT_TRUE(ActivityLines().empty());

    AddEntry(Kind::Website, {"c.example", "", 1});
    QTest::keyClick(window.List(), Qt::Key_F5);
    EXPECT_EQ(window.ListCount(), 2);
}

TEST_F(CatalogueWindowTest, ProgramRowsShowTheFileIconReadOncePerPath) {
    const std::string tool = gDataPath + "/tool.sh";
    QFile file(QString::fromStdString(tool));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    AddEntry(Kind::Program, {"/no/such/program", "", 1});
    AddEntry(Kind::Program, {tool, "", 1});
    ScriptedWindow<frmPrograms> window;
    Open(window);
    ASSERT_EQ(window.ListCount(), 2);
    EXPECT_EQ(window.Rows()->Row(0).icon, 6) << "the file's own icon follows the five design images";
    EXPECT_EQ(window.Rows()->Row(1).icon, 5);
    const int images = window.SmallIcons().size();
    const int read = window.IconsRead();
    QTest::keyClick(window.List(), Qt::Key_F5);
    AddEntry(Kind::Program, {"/another/missing", "", 1});
    QTest::keyClick(window.List(), Qt::Key_F5);
    EXPECT_EQ(window.ListCount(), 3);
    EXPECT_EQ(window.SmallIcons().size(), images);
    EXPECT_EQ(window.IconsRead(), read);
}

TEST_F(CatalogueWindowTest, DeletingALinkedProgramTakesItsLinksAlong) {
    AddEntry(Kind::Program, {"/bin/a", "", 1});
    AddProgramLink("carol", "/bin/a");
    AddProgramLink("dave", "/bin/a");
    AddProgramLink("carol", "/bin/b");
    ScriptedWindow<frmPrograms> window;
    Open(window);
    box_->Answers({kMsgYes, kMsgYes});
    QTest::keyClick(window.List(), Qt::Key_Delete);
    ASSERT_EQ(box_->Count(), 2);
    EXPECT_EQ(box_->Questions()[1].prompt,
              "Users have been assigned the selected program(s).\r\nDo you wish to continue and delete /bin/a anyway?");
    EXPECT_TRUE(Entries(Kind::Program).empty());
    UserProgram links;
    ASSERT_TRUE(links.LoadUsers("/bin/b"));
    EXPECT_EQ(links.UserPrograms()->Count(), 1);
    EXPECT_FALSE(links.LoadUsers("/bin/a"));
    EXPECT_EQ(ActivityLines(), (std::vector<std::string>{"Delete Program(s) - /bin/a"}));
}

// The links go as one change: a disk that fails after the first of them leaves both standing
// (put back by the next open), whatever happened to the entry before them.
TEST_F(CatalogueWindowTest, ADiskFailingAmongTheLinksOfADeletedProgramLeavesThemAll) {
    AddEntry(Kind::Program, {"/bin/a", "", 1});
    AddProgramLink("carol", "/bin/a");
    AddProgramLink("dave", "/bin/a");
    ScriptedWindow<frmPrograms> window;
    Open(window);
    box_->Answers({kMsgYes, kMsgYes});
    box_->SetDefaultAnswer(kMsgOk);
    test_support::FaultyRecordIo io;
    io.BreakAfterTableWrite(2, ENOSPC);  // the entry's write, then the first link's
    {
        test_support::RecordIoScope scope(io);
        QTest::keyClick(window.List(), Qt::Key_Delete);
    }
    UserProgram links;
    ASSERT_TRUE(links.LoadUsers("/bin/a"));
    EXPECT_EQ(links.UserPrograms()->Count(), 2);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(gDataPath + "/userprograms.sec-journal")));
}


// A rename and a delete of an entry with its links, cut at every step of their commit by a
// write failing once or a disk that stays full, with either table opened first afterwards:
// the entry and all its links are old, or all new; a new entry of the old address then holds
// no links. (The kill at every step is the change's own test, in the record store.)
TEST_F(CatalogueWindowTest, ARenameOrDeleteCutAtEveryStepIsAllOldOrAllNew) {
    box_->SetDefaultAnswer(kMsgOk);
    const auto reset = [&] {
        for (const char* f : {"websites.sec", "userwebsites.sec"}) std::filesystem::remove(gDataPath + "/" + f);
        AddEntry(Kind::Website, {"a.example", "", 1});
        AddEntry(Kind::Website, {"b.example", "", 1});
        AddWebsiteLink("carol", "a.example");
        AddWebsiteLink("dave", "a.example");
        AddWebsiteLink("carol", "b.example");
    };
    const auto state = [&] {
        std::string s;
        for (const Entry& e : Entries(Kind::Website)) s += e.key + " ";
        for (const std::string& l : WebsiteLinks()) s += l + " ";
        return s;
    };
    enum class Change { Rename, Delete };
    for (const Change change : {Change::Rename, Change::Delete}) {
        const auto run = [&] {
            ScriptedWindow<frmWebsites> window;
            Open(window);
            window.script = [](CatalogueEntryEditor& editor) {
                editor.KeyBox()->setText("c.example");
                editor.OkButton()->click();
            };
            SelectRowWithText(window, "a.example");
            if (change == Change::Rename) {
                window.EditCommand();
            } else {
                box_->Answers({kMsgYes, kMsgYes});
                window.DeleteCommand();
            }
        };
        reset();
        const std::string before = state();
        test_support::StepRecordIo counting;
        {
            test_support::RecordIoScope scope(counting);
            run();
        }
        const std::string after = state();
        ASSERT_NE(before, after);
        for (const test_support::StepCut& cut : test_support::kStepCuts) {
            if (cut.mode == test_support::StepRecordIo::Mode::Kill) continue;
            for (int at = 1; at <= counting.steps; ++at)
                for (const char* first : {"websites.sec", "userwebsites.sec"}) {
                    SCOPED_TRACE(std::string(change == Change::Rename ? "rename, " : "delete, ") + cut.what +
                                 " at step " + std::to_string(at) + ", opening " + first);
                    reset();
                    test_support::RunCut(cut, at, [&] {
                        run();
                        return false;
                    });
                    {
                        RecordFile file(64, 40);
                        file.Open(gDataPath + "/" + first);
                    }
                    const std::string now = state();
                    EXPECT_TRUE(now == before || now == after) << now;
                    if (now == after) {
                        AddEntry(Kind::Website, {"a.example", "", 1});
                        UserWebsite links;
                        EXPECT_FALSE(links.LoadUsers("a.example"));
                    }
                }
        }
    }
}

}  // namespace
}  // namespace corvane::test
