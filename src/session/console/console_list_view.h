#pragma once

#include <QStackedWidget>

class QIcon;
class QListView;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

namespace corvane {

// A list of items in four views over one model and one selection: 0 large
// icons, 1 small icons, 2 list, 3 report (columns with a header). A click on
// a column header sorts by that column, each click flipping the order.
class ConsoleListView : public QStackedWidget {
    Q_OBJECT

public:
    enum View { kLargeIcons = 0, kSmallIcons = 1, kList = 2, kReport = 3 };

    explicit ConsoleListView(QWidget* parent = nullptr);

    int View() const { return view_; }
    void SetView(int view);

    QStandardItemModel* Items() const { return model_; }
    QTreeView* Report() const { return report_; }
    QListView* Icons() const { return icons_; }
    // The view that shows the list now.
    QWidget* Shown() const;

    int ColumnCount() const;
    // Removes every column and row and switches sorting off.
    void ClearColumns();
    void AddColumn(const QString& caption, double widthTwips);
    void ClearRows();
    // Appends a row of cell texts with the icon in its first cell; gives the
    // first cell. Sorting compares the texts without letter case.
    QStandardItem* AppendRow(const QStringList& cells, const QIcon& icon);

    // The report's width at which, once its spare width is shared out over
    // the columns, every column shows its caption and cells whole.
    int ReportWidthForContents() const;

    // The selected row, -1 when none is.
    int SelectedRow() const;
    void SelectRow(int row);

    // The column and order the list is sorted by; column -1 while unsorted.
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }
    void SortBy(int column);

signals:
    // The list shows another view.
    void ViewChanged(int view);

private:
    QStandardItemModel* model_;
    QListView* icons_;
    QTreeView* report_;
    int view_ = kLargeIcons;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
};

}  // namespace corvane
