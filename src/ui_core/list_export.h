#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane::ui {

// The export width a column header's tag holds: its leading number (Val)
// rounded half to even; an empty, non-numeric or negative tag gives 0. A
// number too large to read raises the overflow error.
int ExportColumnWidth(std::string_view tag);

// One list row as text: each cell padded to its column's export width and
// followed by the separator. cells[0] is the item's own text, cells[k] its
// k-th sub-item; tags[k] the tag of column k.
std::string ListRowToText(const std::vector<std::string>& tags,
                          const std::vector<std::string>& cells, std::string_view separator);

}  // namespace corvane::ui
