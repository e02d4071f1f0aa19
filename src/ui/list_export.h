#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane::ui {

// The export width a column header's tag holds: its leading number rounded
// half to even; an empty, non-numeric or negative tag gives 0.
int ExportColumnWidth(std::string_view tag);

// One list row as text: each cell padded to its column's export width and
// followed by the separator. cells[0] is the item's own text, cells[k] its
// k-th sub-item; tags[k] the tag of column k.
std::string ListRowToText(const std::vector<std::string>& tags,
                          const std::vector<std::string>& cells, std::string_view separator);

// The leading-number reading of a text: blanks, tabs and line feeds are
// skipped, the number the text begins with is taken ("&H" hexadecimal, "&O"
// octal), and text without one reads 0.
double LeadingNumber(std::string_view text);

}  // namespace corvane::ui
