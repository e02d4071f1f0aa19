#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace corvane {

// One row of an assignment list: the catalogue key as the catalogue holds it, the
// catalogue record's number, and in the assigned lists "M" and the link's record number.
struct AssignmentRow {
    std::string text;
    std::int32_t tag = 0;
    std::string key;
    bool selected = false;
    bool current = false;
};

// A single-column list of the user editor, held without a window: rows in the order shown,
// the header, sorting, and the enabled state and colour that the internet box gives it.
class AssignmentList {
public:
    std::string header;
    bool headerVisible = false;
    bool enabled = true;
    bool windowColour = true;  // false: the menu colour of a disabled list

    const std::vector<AssignmentRow>& Rows() const { return rows_; }
    std::int32_t Count() const { return static_cast<std::int32_t>(rows_.size()); }
    bool Sorted() const { return sorted_; }
    bool Descending() const { return descending_; }

    void Clear() {
        rows_.clear();
        keys_.clear();
    }
    // Appends the row, or puts it in its sorted place once the list is sorted. A key the
    // list already holds (letter case aside) is dropped and the row stays without one.
    void Append(AssignmentRow row);
    // Removes the rows at the given positions (0-based, any order).
    void RemoveAt(std::vector<std::size_t> positions);
    // A click on the column header: the order flips (anything but ascending becomes
    // ascending) and the list is kept sorted by text, letter case aside.
    void HeaderClick();

    // Selection as the window reports it: every row's selected mark and the current row
    // (-1 for none).
    void SetSelection(const std::vector<bool>& selected, int current);
    void Select(std::size_t position, bool selected) { rows_.at(position).selected = selected; }
    // The position (0-based) of the current row, -1 when there is none.
    int CurrentIndex() const;

    // The list members of the editor.
    bool ItemSelected() const { return !rows_.empty() && CurrentIndex() >= 0; }
    // 1-based position of the current row when ItemSelected, else 0.
    std::int16_t SelectedIndex() const;
    std::int32_t ItemsSelectedCount() const;
    // Selects the first row alone and makes it current; nothing on an empty list.
    void SelectFirstItemInList();

private:
    std::size_t SortedPlace(const std::string& text) const;
    void SortRows();

    std::vector<AssignmentRow> rows_;
    std::unordered_set<std::string> keys_;  // the rows' keys with letter case folded
    bool sorted_ = false;
    bool descending_ = false;
};

}  // namespace corvane
