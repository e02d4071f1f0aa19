#include "session/console/console_list_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QStyle>
#include <algorithm>
#include <QStandardItemModel>
#include <QTreeView>

#include "ui/helpers/screen_metrics.h"

namespace corvane {
namespace {

constexpr int kSortRole = Qt::UserRole + 100;

}  // namespace

ConsoleListView::ConsoleListView(QWidget* parent)
    : QStackedWidget(parent),
      model_(new QStandardItemModel(this)),
      icons_(new QListView(this)),
      report_(new QTreeView(this)) {
    icons_->setObjectName(QStringLiteral("lsvItemsIcons"));
    report_->setObjectName(QStringLiteral("lsvItemsReport"));
    model_->setSortRole(kSortRole);
    report_->setModel(model_);
    report_->setRootIsDecorated(false);
    report_->setUniformRowHeights(true);
    report_->setSelectionMode(QAbstractItemView::SingleSelection);
    report_->setSelectionBehavior(QAbstractItemView::SelectRows);
    report_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    report_->setIconSize(QSize(16, 16));
    report_->header()->setSectionsClickable(true);
    report_->header()->setStretchLastSection(false);
    connect(report_->header(), &QHeaderView::sectionClicked, this, &ConsoleListView::SortBy);

    // Both views share the one selection.
    icons_->setModel(model_);
    QItemSelectionModel* own = icons_->selectionModel();
    icons_->setSelectionModel(report_->selectionModel());
    delete own;
    icons_->setSelectionMode(QAbstractItemView::SingleSelection);
    // A click in an icon view selects the whole row, as the report does, so
    // that every view sees the same selected item.
    icons_->setSelectionBehavior(QAbstractItemView::SelectRows);
    icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    icons_->setMovement(QListView::Static);
    icons_->setResizeMode(QListView::Adjust);

    addWidget(icons_);
    addWidget(report_);
    SetView(kLargeIcons);
}

QWidget* ConsoleListView::Shown() const { return currentWidget(); }

void ConsoleListView::SetView(int view) {
    if (view < kLargeIcons || view > kReport) return;
    view_ = view;
    if (view == kReport) {
        setCurrentWidget(report_);
        emit ViewChanged(view);
        return;
    }
    if (view == kLargeIcons) {
        icons_->setViewMode(QListView::IconMode);
        icons_->setIconSize(QSize(32, 32));
        icons_->setGridSize(QSize(100, 76));
        icons_->setWordWrap(true);
        icons_->setFlow(QListView::LeftToRight);
    } else {
        icons_->setViewMode(QListView::ListMode);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize());
        icons_->setWordWrap(false);
        icons_->setFlow(view == kSmallIcons ? QListView::LeftToRight : QListView::TopToBottom);
        icons_->setSpacing(view == kSmallIcons ? 4 : 1);
    }
    icons_->setWrapping(true);
    setCurrentWidget(icons_);
    emit ViewChanged(view);
}

int ConsoleListView::ColumnCount() const { return model_->columnCount(); }

void ConsoleListView::ClearColumns() {
    sortColumn_ = -1;
    sortOrder_ = Qt::DescendingOrder;
    model_->clear();
    report_->header()->setSortIndicatorShown(false);
}

void ConsoleListView::AddColumn(const QString& caption, double widthTwips) {
    const int column = model_->columnCount();
    model_->setColumnCount(column + 1);
    model_->setHeaderData(column, Qt::Horizontal, caption);
    report_->header()->resizeSection(column, ui::ToPixelsX(widthTwips));
}

void ConsoleListView::ClearRows() { model_->removeRows(0, model_->rowCount()); }

QStandardItem* ConsoleListView::AppendRow(const QStringList& cells, const QIcon& icon) {
    QList<QStandardItem*> row;
    for (const QString& cell : cells) {
        auto* item = new QStandardItem(cell);
        item->setData(cell.toCaseFolded(), kSortRole);
        item->setEditable(false);
        row.append(item);
    }
    if (row.isEmpty()) return nullptr;
    row.first()->setIcon(icon);
    model_->appendRow(row);
    return row.first();
}

int ConsoleListView::ReportWidthForContents() const {
    const QFontMetrics text(report_->font());
    const QFontMetrics caption(report_->header()->font());
    constexpr int kPadding = 16;
    int sum = 0;
    int shortest = 0;  // the most any column lacks
    for (int column = 0; column < model_->columnCount(); ++column) {
        int need = caption.horizontalAdvance(model_->headerData(column, Qt::Horizontal).toString()) + kPadding;
        const int icon = column == 0 ? report_->iconSize().width() + 8 : 0;
        for (int row = 0; row < model_->rowCount(); ++row)
            need = std::max(need, text.horizontalAdvance(model_->index(row, column).data().toString()) + icon +
                                      kPadding);
        const int width = report_->header()->sectionSize(column);
        sum += width;
        shortest = std::max(shortest, need - width);
    }
    return sum + model_->columnCount() * shortest + 2 * report_->frameWidth() +
           report_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

int ConsoleListView::SelectedRow() const {
    // The first cell is enough: in an icon view it is the whole item.
    for (const QModelIndex& index : report_->selectionModel()->selectedIndexes())
        if (index.column() == 0) return index.row();
    return -1;
}

void ConsoleListView::SelectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        report_->selectionModel()->clearSelection();
        return;
    }
    report_->selectionModel()->setCurrentIndex(
        model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ConsoleListView::SortBy(int column) {
    // Unsorted counts as descending, so that the first click sorts ascending.
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    sortColumn_ = column;
    model_->sort(column, sortOrder_);
    report_->header()->setSortIndicatorShown(true);
    report_->header()->setSortIndicator(column, sortOrder_);
}

}  // namespace corvane
