#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <vector>

#include "admin/logs/viewers/log_rows.h"

namespace corvane {

// The data role answering a column header's Tag (its export width) and a
// row's Tag (its LogID as decimal text).
inline constexpr int kLogTagRole = Qt::UserRole + 1;

// A log viewer's rows for every view of the window: the report view and the
// icon and list views share it and its selection model. Cells are made when
// a view asks for them.
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit LogTableModel(LogRows::Kind kind, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    void SetColumns(QStringList captions, QStringList tags);
    QStringList Captions() const { return captions_; }
    QStringList Tags() const { return tags_; }
    // Switches sorting off and removes every row.
    void ResetColumns();
    void ClearRows();
    // Removes every row and hands back the rows it showed (for their memory).
    LogRows TakeRows();
    // A reload: the new records take their sorted places when sorting is on.
    void SetRecords(const LogRows& loaded);
    const LogRows& Rows() const { return rows_; }
    void SetIcons(std::vector<QIcon> icons) { icons_ = std::move(icons); }
    void SetDimColour(const QColor& colour) { dim_ = colour; }

private:
    LogRows rows_;
    QStringList captions_;
    QStringList tags_;
    std::vector<QIcon> icons_;  // 1-based as the rows name them
    QColor dim_ = Qt::gray;
};

}  // namespace corvane
