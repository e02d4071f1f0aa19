#include "admin/logs/viewers/log_table_model.h"

#include <QColor>

namespace corvane {

LogTableModel::LogTableModel(LogRows::Kind kind, QObject* parent) : QAbstractTableModel(parent), rows_(kind) {}

int LogTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_.Count(); }

int LogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.Count() || index.column() >= rows_.ColumnCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(rows_.Cell(index.row(), index.column()));
        case Qt::DecorationRole: {
            if (index.column() != 0) return {};
            const auto picture = static_cast<std::size_t>(rows_.Icon(index.row()));
            return picture >= 1 && picture <= icons_.size() ? QVariant(icons_[picture - 1]) : QVariant();
        }
        case Qt::ForegroundRole:
            return rows_.Dimmed(index.row()) ? QVariant(dim_) : QVariant();
        case kLogTagRole:
            return QString::number(rows_.LogID(index.row()));
        default:
            return {};
    }
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= captions_.size()) return {};
    if (role == Qt::DisplayRole) return captions_[section];
    if (role == kLogTagRole) return tags_[section];
    return {};
}

void LogTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= rows_.ColumnCount()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selection and the current row stay on their records, wherever the
    // sort moves them.
    const QModelIndexList before = persistentIndexList();
    std::vector<std::int32_t> records;
    records.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) records.push_back(rows_.RecordIndex(index.row()));
    rows_.Sort(column, order == Qt::AscendingOrder);
    if (!before.isEmpty()) {
        const BulkVector<std::int32_t> rowOf = rows_.RowOfEachRecord();
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after << index(rowOf[static_cast<std::size_t>(records[static_cast<std::size_t>(i)])], before[i].column());
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LogTableModel::SetColumns(QStringList captions, QStringList tags) {
    beginResetModel();
    captions_ = std::move(captions);
    tags_ = std::move(tags);
    endResetModel();
}

void LogTableModel::ResetColumns() {
    beginResetModel();
    captions_.clear();
    tags_.clear();
    rows_ = LogRows(rows_.GetKind());
    endResetModel();
}

void LogTableModel::ClearRows() {
    beginResetModel();
    rows_.SetRecords(LogRows(rows_.GetKind()));
    endResetModel();
}

LogRows LogTableModel::TakeRows() {
    beginResetModel();
    LogRows taken = rows_;
    rows_.SetRecords(LogRows(rows_.GetKind()));
    endResetModel();
    return taken;
}

void LogTableModel::SetRecords(const LogRows& loaded) {
    beginResetModel();
    rows_.SetRecords(loaded);
    endResetModel();
}

}  // namespace corvane
