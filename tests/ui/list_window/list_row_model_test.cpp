#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QTreeView>

#include "ui/helpers/window_helpers.h"
#include "ui/list_window/list_row_model.h"

using namespace corvane;

namespace {

ListRow Row(QStringList cells, QString tag = {}) { return ListRow{std::move(cells), std::move(tag), 0, false}; }

QStringList Column(const ListRowModel& model, int column) {
    QStringList out;
    for (int i = 0; i < model.rowCount(); ++i) out << model.Row(i).cells.value(column);
    return out;
}

}  // namespace

TEST(ListRowModel, SortsByTextIgnoringCaseAndKeepsRowsAddedLaterInOrder) {
    ListRowModel model;
    model.AddColumn("Login");
    model.AddColumn("Failed Logins");
    model.AddRows({Row({"carol", "9"}), Row({"Bob", "10"}), Row({"alice", "2"}), Row({"BOB", "1"})});
    EXPECT_FALSE(model.Sorting());
    EXPECT_EQ(Column(model, 0), (QStringList{"carol", "Bob", "alice", "BOB"}));  // as added

    model.sort(1, Qt::AscendingOrder);
    EXPECT_EQ(Column(model, 1), (QStringList{"1", "10", "2", "9"}));  // by text, not by number
    model.sort(0, Qt::DescendingOrder);
    EXPECT_EQ(Column(model, 0), (QStringList{"carol", "BOB", "Bob", "alice"}));  // equal texts keep their order

    EXPECT_EQ(model.AddRow(Row({"Dave", "0"})), 0);
    model.AddRows({Row({"aaron"}), Row({"Bea"})});
    EXPECT_EQ(Column(model, 0), (QStringList{"Dave", "carol", "BOB", "Bob", "Bea", "alice", "aaron"}));

    // A rewritten row moves to its sorted place; sorting off keeps it where it is.
    EXPECT_EQ(model.SetRow(0, Row({"abe"})), 5);  // between "alice" and "aaron"
    model.SetSortingOff();
    EXPECT_EQ(model.SetRow(6, Row({"zed"})), 6);
    EXPECT_EQ(model.AddRow(Row({"last"})), 7);
}

TEST(ListRowModel, AnswersCellsTagsIconsDimmingAndColumnTags) {
    ListRowModel model;
    model.AddColumn("Name", 25);
    model.AddColumn("Description", 40);
    model.SetIcons({QIcon(), QIcon()});
    model.AddRow(ListRow{{"a", "first"}, "7", 2, true});
    model.AddRow(ListRow{{"b"}, "9", 0, false});
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(), "first");
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), "");  // a missing cell is blank
    EXPECT_EQ(model.data(model.index(0, 0), kRowTagRole).toString(), "7");
    EXPECT_TRUE(model.data(model.index(0, 0), Qt::DecorationRole).isValid());
    EXPECT_FALSE(model.data(model.index(1, 0), Qt::DecorationRole).isValid());
    EXPECT_EQ(model.data(model.index(0, 1), Qt::ForegroundRole).value<QColor>(),
              QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    EXPECT_FALSE(model.data(model.index(1, 0), Qt::ForegroundRole).isValid());
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, kColumnTagRole).toString(), "40");
    EXPECT_EQ(model.FindTag("9"), 1);
    EXPECT_EQ(model.FindTag("8"), -1);
}

// The log viewers fill the list with a million rows.
TEST(ListRowModel, CarriesAMillionRowsAndSortsThem) {
    constexpr int kRows = 1'000'000;
    ListRowModel model;
    model.AddColumn("LogID");
    model.AddColumn("User");
    std::vector<ListRow> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        rows.push_back(ListRow{{QString::number(kRows - i), QStringLiteral("user%1").arg(i % 97)}, QString::number(i), 1, false});
    QTreeView view;
    view.setModel(&model);
    model.AddRows(std::move(rows));
    ASSERT_EQ(model.rowCount(), kRows);
    view.selectionModel()->setCurrentIndex(model.index(5, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    model.sort(0, Qt::AscendingOrder);
    EXPECT_EQ(model.Row(0).cells[0], "1");
    EXPECT_EQ(model.Row(1).cells[0], "10");
    EXPECT_EQ(model.Row(kRows - 1).cells[0], "999999");
    // The selected row travelled with the sort.
    EXPECT_EQ(model.Row(view.selectionModel()->currentIndex().row()).tag, "5");
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 1);
}
