#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace corvane {

// One row of the advanced window's lockdown list.
struct LockdownListRow {
    std::int32_t option;
    int captionMessage;
    bool notRecommended;  // could lock everyone out: asks before it is ticked
};

inline constexpr std::size_t kLockdownListRowCount = 19;

// The rows in display order.
inline constexpr std::array<LockdownListRow, kLockdownListRowCount> kLockdownListRows = {{
    {14, 250, false}, {5, 339, true},   {16, 251, false}, {2, 252, false},  {0, 253, false},
    {1, 254, false},  {17, 255, false}, {15, 256, false}, {9, 257, false},  {3, 258, false},
    {10, 259, false}, {21, 340, true},  {6, 260, false},  {7, 261, false},  {12, 262, false},
    {13, 263, false}, {20, 180, true},  {19, 264, false}, {18, 265, false},
}};

// The order in which the rows' options are read and written.
inline constexpr std::array<std::int32_t, kLockdownListRowCount> kLockdownListLoadOrder = {
    0, 10, 14, 5, 3, 1, 15, 9, 7, 12, 13, 17, 16, 19, 18, 6, 2, 20, 21};

// "L" and the option number: "L5", "L21".
std::string LockdownRowKey(const LockdownListRow& row);
// The option's name, and for a not-recommended one " - [Not Recommended]".
std::string LockdownRowCaption(const LockdownListRow& row, int language);
// The display index of an option's row; -1 when the list has none.
int LockdownRowIndex(std::int32_t option);

}  // namespace corvane
