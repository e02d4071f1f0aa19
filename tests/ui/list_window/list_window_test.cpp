#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "catalogue/website.h"
#include "platform/core/error_trap.h"
#include "platform/core/event_loop.h"
#include "platform/core/raised_error.h"
#include "platform/core/program_globals.h"
#include "platform/settings/settings_store.h"
#include "ui/helpers/screen_metrics.h"
#include "support/append_in_flight.h"
#include "support/temp_folder.h"
#include "ui/list_window/list_window.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;

namespace {

// A catalogue window over websites.sec that counts its commands.
class WebsiteList : public ListWindow {
public:
    WebsiteList() : ListWindow(QStringLiteral("frmWebsites"), Features{}) {}

    using ListWindow::LoadData;
    int edits = 0, adds = 0, deletes = 0;
    mutable int tables = 0;
    mutable int failures = 0;  // rows of "unreadable" that fail before one reads

protected:
    std::unique_ptr<RecordTable> NewTable() const override {
        ++tables;
        return std::make_unique<Website>();
    }
    ListRow RowFor(const RecordTable& record) const override {
        const auto& w = static_cast<const Website&>(record);
        if (w.URL() == "unreadable" && failures > 0) {
            --failures;
            throw RaisedError(57, "Website", "Device I/O error");
        }
        return {{QString::fromStdString(w.URL()), QString::fromStdString(w.Description())},
                QString::number(w.WebsiteID()), 1, false};
    }
    void ApplyLanguage() override { setWindowTitle(QStringLiteral("Websites")); }
    void NewCommand() override { ++adds; }
    void EditCommand() override { ++edits; }
    void DeleteCommand() override { ++deletes; }
};

class ListWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        gDataPath = folder_.Path();
        gWebsitesFile.clear();
    }
    void TearDown() override {
        SetYieldHook(nullptr);
        gDataPath.clear();
    }

    static std::int32_t AddSite(const std::string& url, const std::string& description = {}) {
        Website w;
        w.SetURL(url);
        w.SetDescription(description);
        w.AddNew();
        return w.WebsiteID();
    }
    static void DeleteSite(std::int32_t id) { Website().Delete(id); }
    static void Tick(ListWindow& window) { QMetaObject::invokeMethod(&window, "AutoRefreshData"); }

    static QStringList Texts(const ListWindow& window, int column = 0) {
        QStringList out;
        for (int i = 0; i < window.ListCount(); ++i) out << window.Rows()->Row(i).cells.value(column);
        return out;
    }
    static QString Status(const ListWindow& window) {
        return window.findChild<QLabel*>(QStringLiteral("StatusBarPanel1"))->text();
    }
    static QPushButton* Button(const ListWindow& window, const char* name) {
        return window.findChild<QPushButton*>(QLatin1String(name));
    }

    test_support::TempFolder folder_;
    ScriptedMsgBox::Guard box_ = ScriptedMsgBox::Install();
};

TEST_F(ListWindowTest, FirstActivationListsTheNewestFirstAndSelectsRowOne) {
    struct Row {
        int records;
        const char* status;
        bool buttons;
    };
    for (const Row& row : {Row{0, "0 Items", false}, Row{1, "1 Item", true}, Row{12, "11 Items", true}}) {
        SCOPED_TRACE(row.records);
        std::filesystem::remove(folder_ / "websites.sec");
        for (int i = 1; i <= row.records; ++i) AddSite("site" + std::to_string(i));
        if (row.records > 1) DeleteSite(2);  // deleted slots never show
        WebsiteList window;
        window.Activate();
        const int shown = row.records > 1 ? row.records - 1 : row.records;
        ASSERT_EQ(window.ListCount(), shown);
        EXPECT_EQ(Status(window), row.status);
        EXPECT_EQ(Button(window, "cmdEdit")->isEnabled(), row.buttons);
        EXPECT_EQ(Button(window, "cmdDelete")->isEnabled(), row.buttons);
        EXPECT_TRUE(Button(window, "cmdAdd")->isEnabled());
        EXPECT_EQ(window.SelectedIndex(), row.records ? 1 : 0);
        if (row.records) EXPECT_EQ(window.SelectedItem(), "site" + std::to_string(row.records));
        EXPECT_EQ(window.RefreshTimer()->interval(), 10000);
        EXPECT_TRUE(window.RefreshTimer()->isActive());
        // Nothing to edit or delete in an empty list.
        QTest::keyClick(window.List(), Qt::Key_Return);
        QTest::keyClick(window.List(), Qt::Key_Delete);
        EXPECT_EQ(window.edits, row.records ? 1 : 0);
        EXPECT_EQ(box_->Count(), row.records ? 1 : 0);
        box_->Clear();
    }
}

TEST_F(ListWindowTest, EachHeaderClickFlipsTheOrderWhateverColumnWasClickedBefore) {
    AddSite("b.example", "10");
    AddSite("A.example", "9");
    AddSite("c.example", "2");
    WebsiteList window;
    window.Activate();
    QHeaderView* header = window.List()->header();
    emit header->sectionClicked(0);
    EXPECT_EQ(Texts(window), (QStringList{"A.example", "b.example", "c.example"}));
    emit header->sectionClicked(0);
    EXPECT_EQ(Texts(window), (QStringList{"c.example", "b.example", "A.example"}));
    emit header->sectionClicked(1);
    EXPECT_EQ(Texts(window, 1), (QStringList{"10", "2", "9"}));  // ascending again, by text
    // A reload keeps the sort; SetLanguage switches it off and empties the list.
    AddSite("d.example", "1");
    window.LoadData();
    EXPECT_EQ(Texts(window, 1), (QStringList{"1", "10", "2", "9"}));
    window.SetLanguage();
    EXPECT_EQ(window.ListCount(), 0);
    Tick(window);  // the count differs from no rows: listed again, newest first
    EXPECT_EQ(Texts(window), (QStringList{"d.example", "c.example", "A.example", "b.example"}));
}

TEST_F(ListWindowTest, WritingSelectedIndexSelectsThatRowAloneOrNothing) {
    for (int i = 0; i < 4; ++i) AddSite("s" + std::to_string(i));
    WebsiteList window;
    window.Activate();
    window.List()->selectAll();
    window.SetSelectedIndex(3);
    EXPECT_EQ(window.SelectedIndex(), 3);
    EXPECT_EQ(window.ItemsSelectedCount(), 1);
    EXPECT_EQ(window.List()->selectionMode(), QAbstractItemView::ExtendedSelection);
    for (int n : {0, -1, 5}) {
        window.SetSelectedIndex(n);
        EXPECT_EQ(window.SelectedIndex(), 3) << n;
    }
}

// An error part-way through a load: the rows read before it stay, whatever
// the answer; a retry goes on from the failed record without repeating any.
TEST_F(ListWindowTest, AnErrorPartWayKeepsTheRowsAlreadyRead) {
    for (const char* url : {"s1", "s2", "unreadable", "s4", "s5"}) AddSite(url);
    const struct {
        int answer;
        QStringList rows;
        QString status;
    } cases[] = {
        {kErrorLeave, {"s5", "s4"}, "0 Items"},
        {kErrorResume, {"s5", "s4"}, "2 Items"},
        {kErrorRetry, {"s5", "s4", "unreadable", "s2", "s1"}, "5 Items"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        int asked = 0;
        SetErrorHandler([&](const RaisedError&, const std::string& place, int, int) {
            ++asked;
            EXPECT_EQ(place, "frmWebsites.LoadData");
            return c.answer;
        });
        WebsiteList window;
        window.SetLanguage();
        window.RefreshStatusBar();
        window.failures = 1;
        window.LoadData();
        SetErrorHandler(nullptr);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(Texts(window), c.rows);
        EXPECT_EQ(Status(window), c.status);
    }
}

// A record another workstation is appending is listed whole once the append ends; one cut
// short at the end of the file is not listed, as before.
TEST_F(ListWindowTest, ARecordAppendedMeanwhileIsListedWholeAndATornOneNotAtAll) {
    AddSite("s1", "first");
    const std::string site = corvane::testing::RecordData<Website>(folder_.Path() + "/scratch.sec", [](Website& w) {
        w.SetURL("https://appended.example/");
        w.SetDescription(std::string(255, 'z'));
    });
    WebsiteList window;
    window.SetLanguage();
    const auto seen = corvane::testing::ReadWhileAppending(Website::Table(), folder_.Path() + "/websites.sec", site, [&] {
        window.LoadData();
        return Texts(window, 1);
    });
    EXPECT_FALSE(seen.endedBeforeTheAppend);
    EXPECT_EQ(seen.result, (QStringList{QString(255, 'z'), "first"}));

    corvane::testing::TearLastRecord(folder_.Path() + "/websites.sec", Website::Table());
    window.LoadData();
    EXPECT_EQ(Texts(window), QStringList{"s1"});
}

TEST_F(ListWindowTest, TheRefreshReloadsOnlyWhenTheCountDiffersAndNotWhileSwitchedOff) {
    const std::int32_t first = AddSite("one");
    AddSite("two");
    WebsiteList window;
    Tick(window);  // not yet set up: its first activation loads the list
    EXPECT_EQ(window.ListCount(), 0);
    window.Activate();
    ASSERT_EQ(window.ListCount(), 2);

    // One deleted and one added elsewhere between two ticks: the count is equal.
    DeleteSite(first);
    AddSite("three");
    Tick(window);
    EXPECT_EQ(Texts(window), (QStringList{"two", "one"}));

    window.SetNoAutoRefresh(true);
    EXPECT_FALSE(window.RefreshTimer()->isActive());
    AddSite("four");
    window.Activate();  // switches the timer on again, but the ticks still rest
    EXPECT_TRUE(window.RefreshTimer()->isActive());
    Tick(window);
    EXPECT_EQ(window.ListCount(), 2);

    window.SetNoAutoRefresh(false);
    Tick(window);
    EXPECT_EQ(Texts(window), (QStringList{"four", "three", "two"}));
    EXPECT_TRUE(window.RefreshTimer()->isActive());
}

TEST_F(ListWindowTest, ATickArrivingWhileTheCountYieldsRunsOnce) {
    AddSite("one");
    WebsiteList window;
    window.Activate();
    AddSite("two");
    int yields = 0;
    SetYieldHook([&] {
        ++yields;
        Tick(window);
        EXPECT_FALSE(window.RefreshTimer()->isActive());  // resting while it counts
    });
    window.tables = 0;
    Tick(window);
    EXPECT_EQ(yields, 1);
    EXPECT_EQ(window.tables, 2);  // one count and one reload
    EXPECT_EQ(window.ListCount(), 2);
    EXPECT_TRUE(window.RefreshTimer()->isActive());
}

TEST_F(ListWindowTest, KeysOnTheList) {
    for (int i = 0; i < 3; ++i) AddSite("s" + std::to_string(i));
    WebsiteList window;
    window.Activate();
    QTreeView* list = window.List();

    box_->Answer(kMsgNo);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);  // any modifier
    EXPECT_EQ(box_->Count(), 1);
    EXPECT_EQ(window.deletes, 0);

    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window.ItemsSelectedCount(), 1);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window.ItemsSelectedCount(), 3);

    AddSite("new");
    QTest::keyClick(list, Qt::Key_F5, Qt::AltModifier);
    EXPECT_EQ(window.ListCount(), 4);
    EXPECT_EQ(window.SelectedIndex(), 0);  // a reload keeps no selection

    window.SetSelectedIndex(2);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(window.edits, 1);
    window.NoEdits = true;
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(window.edits, 1);
}

TEST_F(ListWindowTest, DeleteAsksForOneOrForTheCountAndDeletesOnYes) {
    for (int i = 0; i < 3; ++i) AddSite("s" + std::to_string(i));
    WebsiteList window;
    window.Activate();
    box_->Answers({kMsgYes, kMsgNo});
    Button(window, "cmdDelete")->click();
    EXPECT_EQ(box_->Last().prompt, "Are you sure you want to delete the selected item?");
    EXPECT_EQ(box_->Last().buttons, kMsgYesNo | kMsgQuestion);
    EXPECT_EQ(box_->Last().title, "Corvane");
    EXPECT_EQ(window.deletes, 1);
    window.List()->selectAll();
    Button(window, "cmdDelete")->click();
    EXPECT_EQ(box_->Last().prompt, "Are you sure you want to delete the 3 selected items?");
    EXPECT_EQ(window.deletes, 1);
}

TEST_F(ListWindowTest, ThePopUpRunsTheButtonsCommands) {
    AddSite("s");
    WebsiteList window;
    window.Activate();
    QMenu* menu = window.PopUp();
    QStringList captions;
    for (QAction* a : menu->actions()) captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions, (QStringList{"Add", "Edit", "Delete", "Members", "-", "Cancel"}));
    EXPECT_EQ(menu->defaultAction(), menu->actions().at(0));
    for (int i : {0, 1, 3, 5}) menu->actions().at(i)->trigger();
    EXPECT_EQ(window.adds, 1);
    EXPECT_EQ(window.edits, 1);
    EXPECT_EQ(box_->Count(), 0);
}

}  // namespace

namespace {

TEST_F(ListWindowTest, TheCatalogueLayoutAndTheMetricsKeptPerUser) {
    AddSite("s");
    QSize closedAt;
    {
        WebsiteList window;
        window.Activate();
        window.resize(700, 420);
        window.show();
        QApplication::processEvents();
        const QRect list = window.List()->geometry();
        EXPECT_EQ(list.topLeft(), ui::ToPixels({90, 90, 0, 0}).topLeft());
        for (const char* name : {"cmdAdd", "cmdEdit", "cmdDelete", "cmdCancel"})
            EXPECT_EQ(Button(window, name)->x(), list.right() + 1 + ui::ToPixelsX(90)) << name;
        // The columns share the list's width.
        const QHeaderView* header = window.List()->header();
        EXPECT_NEAR(header->sectionSize(0) + header->sectionSize(1), window.List()->viewport()->width(), 2);
        closedAt = window.size();
        Button(window, "cmdCancel")->click();
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_NE(GetUserSetting("Form Metrics\\frmWebsites", "Width", ""), "");
    WebsiteList again;
    EXPECT_EQ(again.size(), closedAt);
}

}  // namespace
