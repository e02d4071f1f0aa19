#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QMenu;
class QPushButton;
class QTreeWidget;

namespace corvane {

// "Error Log": the lines of the error-log file in a five-column list (Error,
// Description, Source, Location, Time Stamp), read once at the first
// activation. Open shows the file with the desktop's opener, Delete Log
// removes it after asking, Print prints it, a double click or the menu's
// Details shows one entry in frmErrorLogDetails. Its size and place are kept
// per user. Its messages go through the message-box seam, titled "Error Log".
class frmErrorLog : public QDialog {
    Q_OBJECT

public:
    explicit frmErrorLog(QWidget* parent = nullptr);

    // The file's path.
    std::string AppErrorLog;

    // The list has rows and one of them is selected.
    bool ItemSelected() const;
    // The 1-based position of the selected row, 0 when none.
    std::int32_t SelectedIndex() const;
    // Nothing when the list is empty or n is past its end; below 1 selects
    // nothing; otherwise selects row n alone.
    void SetSelectedIndex(std::int32_t n);
    std::int32_t ListCount() const;
    // The text of a column (0 to 4) of the selected row; "" when none.
    std::string SelectedText(int column) const;
    // Whether several rows may be selected at once.
    void SetMultiSelect(bool on);
    bool MultiSelect() const;

    // Fills the list from the file, in file order.
    void LoadErrorLog();
    void OpenLog();
    void DeleteLog();
    void PrintLog();
    // Shows the selected row in the details window, modally.
    void ShowDetails();
    // Shows the selected row's five fields, trimmed, on a fresh quick-view
    // card at the pointer, modal over the viewer, and unloads the card once
    // it has hidden itself; nothing when no row is selected. Errors are
    // ignored.
    void ShowItemPopup();

    QTreeWidget* List() const { return lsvItems_; }
    QMenu* PopUpMenu() const { return mnuPopUp_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

public slots:
    void done(int result) override;

private:
    void SetColumnHeaders();
    void SortByColumn(int column);
    void Layout();
    void Tell(const std::string& text, std::int32_t icon);
    bool LogExists() const;

    QTreeWidget* lsvItems_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdView_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QMenu* mnuPopUp_ = nullptr;
    bool firstActivation_ = true;
    bool sortAscending_ = false;
};

}  // namespace corvane
