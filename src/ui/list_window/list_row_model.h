#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <vector>

namespace corvane {

// One row of a list window: its cells (cell 0 is the row's text), its Tag
// (the record's ID as decimal text), its small icon (a 1-based picture of the
// window's image list, 0 for none) and whether it shows dimmed.
struct ListRow {
    QStringList cells;
    QString tag;
    int icon = 0;
    bool dimmed = false;
};

// The data role that answers a row's Tag.
inline constexpr int kRowTagRole = Qt::UserRole + 1;

// The rows of a list window, kept in the order shown. Sorting happens here,
// by the text of one column with letter case ignored ("10" before "9"), and
// stays on once asked for: rows added later take their sorted place. Holds a
// million rows without a widget item per row.
class ListRowModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ListRowModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Sorts by the column in that order and switches sorting on.
    void sort(int column, Qt::SortOrder order) override;

    // Columns: the caption and the export width in characters (the header's
    // Tag, answered under kColumnTagRole).
    void AddColumn(const QString& caption, int exportWidth = 0);
    void ClearColumns();
    void SetColumnCaption(int column, const QString& caption);

    void ClearRows();
    // Appends (or, while sorting is on, inserts in order) and answers the
    // row's position.
    int AddRow(ListRow row);
    // Many rows at once, one insertion for the view; sorted once when sorting is on.
    void AddRows(std::vector<ListRow> rows);
    // Rewrites the row at the position; while sorting is on it moves to its
    // sorted place. Answers its position afterwards.
    int SetRow(int position, ListRow row);
    const ListRow& Row(int position) const { return rows_[static_cast<std::size_t>(position)]; }
    // The position of the first row with the Tag, -1 when none.
    int FindTag(const QString& tag) const;

    // Pictures of the image list, 1-based as the rows name them.
    void SetIcons(std::vector<QIcon> icons);

    bool Sorting() const { return sorting_; }
    void SetSortingOff() { sorting_ = false; }
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }

private:
    bool Before(const ListRow& a, const ListRow& b) const;
    std::vector<int> SortedOrder() const;
    void SortRows();
    // Sorts the rows in place, carrying the view's persistent indexes along;
    // answers each old position's new one.
    std::vector<int> Reorder();

    std::vector<ListRow> rows_;
    QStringList columns_;
    std::vector<int> exportWidths_;
    std::vector<QIcon> icons_;
    bool sorting_ = false;
    int sortColumn_ = 0;
    // Before the first header click; the first click then sorts ascending.
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
};

}  // namespace corvane
