#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLabel>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QLabel>
#include <QSpontaneKeyEvent>
#include <QTreeWidget>
#include <QWindow>

#include "ui_core/display_names.h"
#include "ui_core/list_export.h"
#include "messages/message_catalogue.h"
#include "ui/helpers/screen_metrics.h"
#include "ui_core/window_geometry.h"
#include "ui/helpers/window_helpers.h"
#include "ui/ui_test_support.h"

using namespace corvane;
using namespace corvane::ui;

TEST(WindowGeometry, CentresAbove) {
    // A window half as high as the screen: a quarter of the screen height
    // less 615; one higher than the screen goes above the top edge.
    EXPECT_EQ(CenteredPosition(14400, 10800, 4000, 5400), (TwipsPoint{5200, 2700 - 615}));
    EXPECT_EQ(CenteredPosition(14400, 10800, 4000, 12000), (TwipsPoint{5200, -600 - 615}));
    EXPECT_EQ(TwipsPerPixel(96), 15);
    EXPECT_EQ(TwipsPerPixel(120), 12);
}

TEST(WindowGeometry, ColumnsShareTheSpareWidth) {
    struct Case {
        double list;
        std::vector<double> widths, fitted;
    };
    const Case cases[] = {
        {5000, {1000, 1000, 1000}, {1667, 1667, 1667}},
        {5000, {3000, 3000}, {2500, 2500}},
        {1000, {}, {}},
        {3001, {1000, 1000}, {1500, 1500}},  // 500.5 rounds half to even
        {3003, {1000, 1000}, {1502, 1502}},  // 501.5 rounds to 502
        // Wider than 32767 twips in all: no overflow of the sum.
        {60000, {20000, 20000}, {30000, 30000}},
    };
    for (const auto& c : cases) EXPECT_EQ(FitColumnWidths(c.list, c.widths), c.fitted) << c.list;
}

TEST(WindowHelpers, FitListViewColumnsFillsTheList) {
    QTreeWidget list;
    list.setColumnCount(3);
    list.header()->setStretchLastSection(false);
    list.resize(400, 200);
    list.show();
    for (int i = 0; i < 3; ++i) list.header()->resizeSection(i, 50);
    FitListViewColumns(&list);
    const int viewport = list.viewport()->width();
    int sum = 0;
    for (int i = 0; i < 3; ++i) sum += list.header()->sectionSize(i);
    EXPECT_NEAR(sum, viewport, 3);
    EXPECT_EQ(list.header()->sectionSize(0), list.header()->sectionSize(2));

    QTreeWidget empty;
    empty.setColumnCount(0);
    FitListViewColumns(&empty);  // nothing to do, nothing breaks
    FitListViewColumns(nullptr);
}

TEST(WindowHelpers, SelectAllTextStopsBeforeTrailingSpaces) {
    QLineEdit edit;
    edit.setText("abc  ");
    SelectAllText(&edit);
    EXPECT_EQ(edit.selectedText(), "abc");
    edit.setText("  abc");
    SelectAllText(&edit);
    EXPECT_EQ(edit.selectedText(), "  a");

    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText("Standard ");
    SelectAllText(&combo);
    EXPECT_EQ(combo.lineEdit()->selectedText(), "Standard");
    SelectAllText(nullptr);
}

TEST(WindowHelpers, ListItemToTextPadsEachCellToItsTag) {
    QTreeWidget list;
    list.setColumnCount(2);
    list.headerItem()->setData(0, kColumnTagRole, "5");
    list.headerItem()->setData(1, kColumnTagRole, "3");
    auto* item = new QTreeWidgetItem(&list, QStringList{"abcdefg", "x"});
    EXPECT_EQ(ListItemToText(&list, item, "\t"), "abcde\tx  \t");

    // An empty or non-numeric tag leaves the cell empty; characters count,
    // not bytes.
    list.headerItem()->setData(0, kColumnTagRole, "");
    list.headerItem()->setData(1, kColumnTagRole, "2.5");
    item->setText(1, QString::fromUtf8("\u00E9t\u00E9"));
    EXPECT_EQ(ListItemToText(&list, item, "|"), "|\u00E9t|");
}

TEST(ListExport, TagsAndCells) {
    const std::pair<const char*, int> tags[] = {
        {"20", 20}, {" 1 5", 15}, {"12abc", 12}, {"abc", 0}, {"", 0},
        {"3.5", 4}, {"-4", 0},    {"&H10", 16},
    };
    for (const auto& [tag, width] : tags) EXPECT_EQ(ExportColumnWidth(tag), width) << tag;
    EXPECT_EQ(ListRowToText({"4", "4"}, {"a", "b"}, ","), "a   ,b   ,");
}

TEST(DisplayNames, LogStatusKeywords) {
    const std::pair<const char*, int> known[] = {
        {"INVALID LOGIN", 341}, {"INVALID PASSWORD", 342}, {"login success", 343},
        {"LOGOFF SUCCESS", 344}, {"URL ACCEPTED", 166},    {"Url Denied", 165},
        {"FILE UPLOADED", 345},  {"FILE DOWNLOADED", 346},
    };
    for (const auto& [keyword, message] : known)
        EXPECT_EQ(TranslateLogStatus(keyword, 1), GetMessageText(message, 1, std::string(), 0))
            << keyword;
    EXPECT_EQ(TranslateLogStatus("login success", 0), "Login Success");
    for (const char* other : {" LOGIN SUCCESS", "LOGIN SUCCESS ", "LOGIN", ""})
        EXPECT_EQ(TranslateLogStatus(other, 0), "") << other;
}

TEST(DisplayNames, AccessLevelNames) {
    struct FakeUser {
        mutable int reads = 0;
        std::string OtherAccess() const {
            ++reads;
            return "Night Shift";
        }
    };
    FakeUser user;
    EXPECT_EQ(GetAccessLevelName(3, user), "Night Shift");
    EXPECT_EQ(GetAccessLevelName(-1, user), "Night Shift");
    EXPECT_EQ(user.reads, 2);
    for (std::int16_t level = 0; level <= 2; ++level)
        EXPECT_EQ(GetAccessLevelName(level, user), GetMessageText(60 + level, 0, std::string(), 0));
    EXPECT_EQ(user.reads, 2);  // the custom name is not read for a known level
    EXPECT_EQ(GetAccessLevelName(2, user), "Restricted");
}

TEST(WindowHelpers, DisableCloseButtonRefusesTheUserButNotTheProgram) {
    // A window with controls of its own as well: none of them is taken for the guard.
    for (bool withControls : {false, true}) {
        SCOPED_TRACE(withControls);
        QWidget window;
        window.setObjectName("frmSecureConsole");
        if (withControls) new QLabel(QStringLiteral("text"), &window);
        window.show();
        DisableCloseButton(&window);
        DisableCloseButton(&window);  // once is enough; twice changes nothing
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));

        // A close request of the window system arrives spontaneously.
        QCloseEvent fromUser;
        QSpontaneKeyEvent::setSpontaneous(&fromUser);
        QCoreApplication::instance()->notify(&window, &fromUser);
        EXPECT_FALSE(fromUser.isAccepted());
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.close());
        EXPECT_FALSE(window.isVisible());
    }
}

TEST(WindowHelpers, DisableCloseButtonOnAWindowWithControls) {
    QWidget window;
    new QLabel(QStringLiteral("a control"), &window);
    window.show();
    DisableCloseButton(&window);
    DisableCloseButton(&window);
    QCloseEvent fromUser;
    QSpontaneKeyEvent::setSpontaneous(&fromUser);
    QCoreApplication::instance()->notify(&window, &fromUser);
    EXPECT_FALSE(fromUser.isAccepted());
    EXPECT_EQ(window.findChildren<QObject*>(QStringLiteral("CloseBoxGuard")).size(), 1);
}

TEST(WindowHelpers, CenterFormPutsTheWindowAboveTheMiddle) {
    QWidget window;
    window.resize(300, 200);
    CenterForm(&window);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window.x(), screen.width() / 2 - 150);
    EXPECT_EQ(window.y(), screen.height() / 2 - 100 - ToPixelsY(615));
}
