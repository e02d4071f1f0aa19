#pragma once

#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "admin/logs/viewers/log_rows.h"
#include "admin/logs/viewers/log_table_model.h"
#include "ui/helpers/print_job.h"

class QAction;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTimer;
class QTreeView;

namespace corvane {

// What differs between the user-log and the website-log viewer.
struct LogViewerSpec {
    const char* formName;
    LogRows::Kind kind;
    int titleMessage;                 // 297 "User Log", 164 "Website Log"
    std::vector<int> columnMessages;  // the column captions
    std::vector<int> exportWidths;    // held in the header Tags
    bool activeUsersPanel;            // the second status panel
    bool refreshTimer;
    bool popUp;
    bool clearCaptioned;              // cmdClear takes message 41
    std::string loadPlace;            // the procedure name LoadData reports under
};

// A log viewer: the list of a log newest first in four views, a status bar,
// Print / Refresh / Clear / Close, the Action, View and Help menus, export
// to a text file and the printed report.
class LogViewer : public QMainWindow {
    Q_OBJECT

public:
    explicit LogViewer(LogViewerSpec spec, QWidget* parent = nullptr);
    ~LogViewer() override;

    bool ItemSelected() const;
    std::int32_t SelectedIndex() const;
    // Makes row n the only selected row; nothing when n is not a row.
    void SetSelectedIndex(std::int32_t n);
    std::int32_t ItemsSelectedCount() const;
    std::int32_t ListCount() const;
    std::int32_t SelectedID() const;
    void SetMultiSelect(bool on);
    void SetLanguage();
    void LoadData();
    void RefreshStatusBar();

    void ClearLog();
    void ExportList();
    void PrintLog();
    void PrintSetup();
    void ShowDetails();
    // The first-activation set-up; the window system calls it, tests may too.
    void Activate();

    QTreeView* List() const { return lsvItems_; }
    QListView* IconList() const { return iconView_; }
    LogTableModel* Model() const { return model_; }
    QLabel* StatusPanel(int panel) const { return panels_.at(static_cast<std::size_t>(panel - 1)); }
    QPushButton* PrintButton() const { return cmdPrint_; }
    QPushButton* ClearButton() const { return cmdClear_; }
    QTimer* RefreshTimer() const { return tmrRefresh_; }
    QAction* ActionItem(int index) const { return mnuAction_.at(index); }
    QAction* ViewItem(int index) const { return mnuView_.at(index); }
    QAction* HelpItem(int index) const { return mnuHelp_.at(index); }
    QMenu* PopUp() const { return mnuPopUp_; }
    const PrintSetupChoice& PrintChoice() const { return printChoice_; }
    const LogViewerSpec& Spec() const { return spec_; }
    // The column captions as shown and the report's copy of the rows.
    std::vector<std::string> Headings() const;
    // Tick of the refresh timer: reloads when the number of records changed.
    void AutoRefreshData();
    // View item 3 to 6 (list view mode 0 to 3); 7 and others change nothing.
    void SetViewMode(int item);
    int ViewMode() const { return viewMode_; }
    // Refuses a second report while one prints.
    bool reportRunning = false;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildControls();
    void ApplyLanguage();
    void SetColumnHeaders();
    void UpdateButtons();
    void Layout();
    // Each column's width as its cells and caption need it.
    std::vector<int> ColumnContentWidths();
    // A first opening (no saved metrics): wide enough for every column.
    void FitFirstOpening();
    void LoadMetrics();
    void SaveMetrics();
    void SortByHeader(int column);
    void ToggleStatusBar();
    void HelpItemClicked(int index);
    std::string Place(const std::string& procedure) const;
    std::string Section() const;
    int ShowMessage(int mode, std::int32_t buttons, const std::string& parameter);

    LogViewerSpec spec_;
    bool formLoad_ = true;
    bool firstOpening_ = false;
    bool ticking_ = false;
    bool ascending_ = false;
    int viewMode_ = 3;
    PrintSetupChoice printChoice_;
    QTabWidget* tabDetails_ = nullptr;
    QStackedWidget* views_ = nullptr;
    QTreeView* lsvItems_ = nullptr;
    QListView* iconView_ = nullptr;
    LogTableModel* model_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdRefresh_ = nullptr;
    QPushButton* cmdClear_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    std::vector<QLabel*> panels_;
    QTimer* tmrRefresh_ = nullptr;
    QMenu* menuAction_ = nullptr;
    QMenu* menuView_ = nullptr;
    QMenu* menuHelp_ = nullptr;
    QMenu* mnuPopUp_ = nullptr;
    std::map<int, QAction*> mnuAction_;
    std::map<int, QAction*> mnuView_;
    std::map<int, QAction*> mnuHelp_;
    // While the first opening fits the window, the columns' content widths measured once:
    // neither the rows nor the first row shown change meanwhile, only the window's width.
    bool holdWidths_ = false;
    std::vector<int> heldWidths_;
};

}  // namespace corvane
