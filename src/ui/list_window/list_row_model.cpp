#include "ui/list_window/list_row_model.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <numeric>

#include "ui/helpers/window_helpers.h"

namespace corvane {
namespace {

const QString& Cell(const ListRow& row, int column) {
    static const QString empty;
    return column < row.cells.size() ? row.cells[column] : empty;
}

}  // namespace

ListRowModel::ListRowModel(QObject* parent) : QAbstractTableModel(parent) {}

int ListRowModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListRowModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListRowModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const ListRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return Cell(row, index.column());
        case Qt::DecorationRole:
            if (index.column() == 0 && row.icon > 0 && row.icon <= static_cast<int>(icons_.size()))
                return icons_[static_cast<std::size_t>(row.icon - 1)];
            return {};
        case Qt::ForegroundRole:
            if (row.dimmed) return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
            return {};
        case kRowTagRole:
            return row.tag;
        default:
            return {};
    }
}

QVariant ListRowModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) return {};
    if (role == Qt::DisplayRole) return columns_[section];
    if (role == kColumnTagRole) return QString::number(exportWidths_[static_cast<std::size_t>(section)]);
    return {};
}

void ListRowModel::AddColumn(const QString& caption, int exportWidth) {
    const int at = static_cast<int>(columns_.size());
    beginInsertColumns({}, at, at);
    columns_ << caption;
    exportWidths_.push_back(exportWidth);
    endInsertColumns();
}

void ListRowModel::ClearColumns() {
    if (columns_.isEmpty()) return;
    beginRemoveColumns({}, 0, static_cast<int>(columns_.size()) - 1);
    columns_.clear();
    exportWidths_.clear();
    endRemoveColumns();
}

void ListRowModel::SetColumnCaption(int column, const QString& caption) {
    if (column < 0 || column >= columns_.size()) return;
    columns_[column] = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void ListRowModel::ClearRows() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    endResetModel();
}

bool ListRowModel::Before(const ListRow& a, const ListRow& b) const {
    const int c = Cell(a, sortColumn_).toCaseFolded().compare(Cell(b, sortColumn_).toCaseFolded());
    return sortOrder_ == Qt::AscendingOrder ? c < 0 : c > 0;
}

int ListRowModel::AddRow(ListRow row) {
    auto at = rows_.end();
    if (sorting_)
        at = std::upper_bound(rows_.begin(), rows_.end(), row,
                              [this](const ListRow& a, const ListRow& b) { return Before(a, b); });
    const int position = static_cast<int>(at - rows_.begin());
    beginInsertRows({}, position, position);
    rows_.insert(at, std::move(row));
    endInsertRows();
    return position;
}

void ListRowModel::AddRows(std::vector<ListRow> rows) {
    if (rows.empty()) return;
    if (sorting_) {
        // One layout change for the lot instead of a search per row.
        beginResetModel();
        rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
        SortRows();
        endResetModel();
        return;
    }
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

int ListRowModel::SetRow(int position, ListRow row) {
    if (position < 0 || position >= rowCount()) return -1;
    rows_[static_cast<std::size_t>(position)] = std::move(row);
    emit dataChanged(index(position, 0), index(position, std::max(0, columnCount() - 1)));
    if (!sorting_) return position;
    const std::vector<int> newPosition = Reorder();
    return newPosition[static_cast<std::size_t>(position)];
}

int ListRowModel::FindTag(const QString& tag) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].tag == tag) return static_cast<int>(i);
    return -1;
}

void ListRowModel::SetIcons(std::vector<QIcon> icons) {
    icons_ = std::move(icons);
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

std::vector<int> ListRowModel::SortedOrder() const {
    // Case-folded keys once per row rather than once per comparison.
    std::vector<QString> keys;
    keys.reserve(rows_.size());
    for (const ListRow& row : rows_) keys.push_back(Cell(row, sortColumn_).toCaseFolded());
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
        return ascending ? c < 0 : c > 0;
    });
    return order;
}

void ListRowModel::SortRows() {
    const std::vector<int> order = SortedOrder();
    std::vector<ListRow> sorted;
    sorted.reserve(rows_.size());
    for (int i : order) sorted.push_back(std::move(rows_[static_cast<std::size_t>(i)]));
    rows_ = std::move(sorted);
}

std::vector<int> ListRowModel::Reorder() {
    // The view keeps its selected and current rows through the move.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> order = SortedOrder();
    std::vector<int> newPosition(rows_.size());
    std::vector<ListRow> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newPosition[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after << index(newPosition[static_cast<std::size_t>(i.row())], i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return newPosition;
}

void ListRowModel::sort(int column, Qt::SortOrder order) {
    if (column < 0) return;
    sortColumn_ = column;
    sortOrder_ = order;
    sorting_ = true;
    Reorder();
}

}  // namespace corvane
