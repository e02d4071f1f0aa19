#include "admin/users/editor/assignment_list.h"

#include <algorithm>

#include "platform/core/text.h"

namespace corvane {

void AssignmentList::Append(AssignmentRow row) {
    // A set of the keys, so that filling a long list is not a search per row.
    if (!row.key.empty() && !keys_.insert(text::ToLower(row.key)).second) row.key.clear();
    const std::size_t place = sorted_ ? SortedPlace(row.text) : rows_.size();
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(place), std::move(row));
}

void AssignmentList::RemoveAt(std::vector<std::size_t> positions) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        if (*it >= rows_.size()) continue;
        if (!rows_[*it].key.empty()) keys_.erase(text::ToLower(rows_[*it].key));
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*it));
    }
}

void AssignmentList::HeaderClick() {
    descending_ = !descending_;
    sorted_ = true;
    SortRows();
}

void AssignmentList::SetSelection(const std::vector<bool>& selected, int current) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].selected = i < selected.size() && selected[i];
        rows_[i].current = static_cast<int>(i) == current;
    }
}

int AssignmentList::CurrentIndex() const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].current) return static_cast<int>(i);
    return -1;
}

std::int16_t AssignmentList::SelectedIndex() const {
    return ItemSelected() ? static_cast<std::int16_t>(CurrentIndex() + 1) : 0;
}

std::int32_t AssignmentList::ItemsSelectedCount() const {
    if (!ItemSelected()) return 0;
    return static_cast<std::int32_t>(
        std::count_if(rows_.begin(), rows_.end(), [](const AssignmentRow& r) { return r.selected; }));
}

void AssignmentList::SelectFirstItemInList() {
    if (rows_.empty()) return;
    for (auto& r : rows_) r.selected = r.current = false;
    rows_.front().selected = rows_.front().current = true;
}

std::size_t AssignmentList::SortedPlace(const std::string& text) const {
    // After the rows that sort with it, so equal texts keep their arrival order.
    const auto before = [&](const AssignmentRow& r) {
        const int c = text::Compare(r.text, text);
        return descending_ ? c >= 0 : c <= 0;
    };
    std::size_t i = 0;
    while (i < rows_.size() && before(rows_[i])) ++i;
    return i;
}

void AssignmentList::SortRows() {
    std::stable_sort(rows_.begin(), rows_.end(), [&](const AssignmentRow& a, const AssignmentRow& b) {
        const int c = text::Compare(a.text, b.text);
        return descending_ ? c > 0 : c < 0;
    });
}

}  // namespace corvane
