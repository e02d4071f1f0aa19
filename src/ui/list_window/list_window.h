#pragma once

#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/list_window/list_row_model.h"

class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class QTreeView;

namespace corvane {

class RecordTable;
class SlotView;

// A window that lists one record table newest first, with Add, Edit, Delete
// and Cancel beside the list, a row count in its status bar, sorting by
// column header, a right-click pop-up menu and a reload every 10 seconds when
// the table's number of records has changed. The catalogue windows use every
// feature; the user window and the log viewers switch some off (Features).
//
// A window built on it supplies the table (NewTable), one row per record
// (RowFor), its columns and captions (SetupColumns, ApplyLanguage) and its
// three commands (NewCommand, EditCommand, DeleteCommand).
class ListWindow : public QDialog {
    Q_OBJECT

public:
    struct Features {
        bool noAutoRefreshSwitch = true;  // NoAutoRefresh honoured; the timer rests while a tick runs
        bool refreshTimer = true;
        bool listKeys = true;             // Delete, Ctrl+A, F5 on the list
        bool enterEdits = true;
        bool doubleClickEdits = true;
        bool statusBar = true;            // "n Item" / "n Items"
        bool catalogueLayout = true;      // the resize layout of the catalogue windows
        bool formMetrics = true;          // size, place and state kept per user
        bool multiSelect = true;
        // Writing SelectedIndex selects the row without the bound check and
        // without switching multiple selection off, then focuses the list.
        bool directSelectedIndex = false;
        bool buttonsOnActivation = false;  // later activations enable the buttons again
        int assignedMessage = 463;         // confirmation kind 1: 463 websites, 464 programs
        // The pop-up's items by index ("-" a separator; none: no pop-up).
        // Items 0 to 2 run Add, Edit and Delete.
        QStringList popUp = {QStringLiteral("Add"), QStringLiteral("Edit"), QStringLiteral("Delete"),
                             QStringLiteral("Members"), QStringLiteral("-"), QStringLiteral("Cancel")};
    };

    ListWindow(const QString& formName, Features features, QWidget* parent = nullptr);
    ~ListWindow() override;

    // True while the window's delete command runs; editing waits for it.
    bool NoEdits = false;
    // While True the ticks of the refresh timer do nothing; setting it also
    // switches the timer to the opposite.
    bool NoAutoRefresh() const { return noAutoRefresh_; }
    void SetNoAutoRefresh(bool value);
    virtual bool IsDirty() const { return isDirty_; }
    virtual void SetIsDirty(bool value) { isDirty_ = value; }
    // The 1-based position of the current row in the shown order, 0 when none.
    std::int32_t SelectedIndex() const;
    // Makes row n alone the selected, current row; nothing when n is not a row.
    void SetSelectedIndex(std::int32_t n);
    // The current row's text, trimmed; "" when none.
    std::string SelectedItem() const;
    bool ItemSelected() const;
    // The rows marked selected; 0 when there is no current row.
    std::int32_t ItemsSelectedCount() const;
    std::int32_t ListCount() const;
    void RefreshStatusBar();
    // Columns (which empties the list), then captions.
    void SetLanguage();

    // What the window does each time it becomes the active window: the first
    // time it sets itself up and loads the list. The window system calls it
    // (its first showing queues one); tests may call it directly.
    void Activate();

    QTreeView* List() const { return lsvItems_; }
    ListRowModel* Rows() const { return model_; }
    QTimer* RefreshTimer() const { return tmrRefresh_; }
    QMenu* PopUp() const { return mnuPopUp_; }

protected:
    // The record table listed, a new object per use.
    virtual std::unique_ptr<RecordTable> NewTable() const = 0;
    // The row of a valid record.
    virtual ListRow RowFor(const RecordTable& record) const = 0;
    // The row of a valid record as a whole-table read hands it out; table is the object
    // NewTable gave for this read. By default the record's properties go into table and
    // RowFor(table) makes the row; a window may decode only the fields its row shows.
    virtual ListRow RowForRecord(const SlotView& record, RecordTable& table) const;
    // Removes columns and rows, switches sorting off and adds the columns.
    virtual void SetupColumns();
    virtual void ApplyLanguage() = 0;
    virtual void NewCommand() {}
    virtual void EditCommand() {}
    virtual void DeleteCommand() {}
    // The one-time set-up of the first activation.
    virtual void FirstActivation();
    // The Delete button: asks, then DeleteCommand on Yes.
    virtual void DeleteClicked();
    // The Cancel button (and Esc): closes the window.
    virtual void CancelClicked();
    // Kind 0 the delete question, 1 the assigned-items question, 2 the
    // record-lock text; titled with the program's name. Answers the button.
    int AskConfirmation(int kind, std::int32_t buttons, const std::string& text);

    void LoadData();
    void AddListItem(const RecordTable& record);
    // Rewrites the current row; nothing without one or for an invalid record.
    void UpdateListItem(const RecordTable& record);
    void EnableButtons();
    void SelectAllItems();
    void AddClicked();
    void EditClicked();
    // A column of the given width in twips and export width in characters.
    void AddColumn(const QString& caption, double widthTwips, int exportWidth = 0);
    void FitColumns();
    void CatalogueLayout();
    // "<window name>.<procedure>", where errors are reported from.
    std::string Place(const char* procedure) const;

    // Holds the refresh off while a modal window opened from here is up; the
    // timer runs again when it closes.
    class ModalChild {
    public:
        explicit ModalChild(ListWindow* window);
        ~ModalChild();
        ModalChild(const ModalChild&) = delete;
        ModalChild& operator=(const ModalChild&) = delete;

    private:
        ListWindow* window_;
    };

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

public slots:
    void done(int result) override;

protected:
    Features features_;
    bool formLoad_ = true;
    QTreeView* lsvItems_ = nullptr;
    ListRowModel* model_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdEdit_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QLabel* picture_ = nullptr;  // the window's picture under the buttons
    QStatusBar* StatusBar_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QTimer* tmrRefresh_ = nullptr;
    QMenu* mnuPopUp_ = nullptr;

private slots:
    // The refresh timer's tick.
    void AutoRefreshData();

private:
    void InitialiseList();
    void BuildPopUp();
    void SortByHeader(int column);
    void PopUpItemClicked(int index);

    bool noAutoRefresh_ = false;
    bool isDirty_ = false;
    bool refreshing_ = false;
    int modalChildren_ = 0;
    bool activationQueued_ = false;
};

}  // namespace corvane
