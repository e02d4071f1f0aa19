#pragma once

#include <Qt>
#include <string>

class QWidget;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace corvane {

// The role of a list column header's data holding its export width in
// characters, as decimal text (the header's "tag").
inline constexpr int kColumnTagRole = Qt::UserRole;

// Takes away the window's close box; the user can no longer close it, while
// the program still can (close()).
void DisableCloseButton(QWidget* window);

// Shows a window that is no dialog application-modal and returns once it
// has been hidden or deleted.
void RunModal(QWidget* window);

// Puts the window in the middle of its screen, 615 twips above the centre,
// as far as the screen's available area holds it.
void CenterForm(QWidget* window);

// Spreads the list's spare width evenly over its columns (narrowing them
// when they are too wide). A list without columns stays as it is.
void FitListViewColumns(QTreeView* list);

// Selects a text box's or combo box's text from the start, as far as its text
// reaches without trailing spaces.
void SelectAllText(QWidget* control);
// SelectAllText once the focus change under way has settled: called when a
// box takes the focus, as the click that gave it would otherwise place the
// caret over the selection.
void SelectAllTextAfterFocus(QWidget* control);

// The position from 1 of a list's selected row (its current row when that is selected,
// else the first selected one); 0 when no row is selected.
int SelectedRowPosition(const QTreeWidget* list);

// One list row as a line of text: each cell cut or padded to its column's
// export width and followed by the separator.
std::string ListItemToText(QTreeWidget* list, QTreeWidgetItem* item, const std::string& separator);

}  // namespace corvane
