#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/ole_date.h"

namespace corvane {

// The rows of a log viewer: one per valid record of the user log or the
// website log, the newest first, kept compactly (a million website-log rows
// take tens of megabytes, not the file's size). Texts stay in the file's
// Windows-1252 bytes; dates, flags and statuses become cell text only when a
// cell is asked for. Sorting reorders a permutation of the rows, so every
// view, the export and the printed report see one order.
//
// Copying is cheap: the records are shared, only the order is copied. A
// report takes a copy at its start and so prints whole even when the window
// reloads meanwhile.
class LogRows {
public:
    enum class Kind { User, Website };

    explicit LogRows(Kind kind = Kind::User);

    // Every valid record of the file, read forward in one scan and then
    // reversed. A missing file gives no rows; read errors reach the caller.
    // language picks the texts of "Yes"/"No" and the statuses.
    static LogRows Load(Kind kind, const std::string& path, int language);

    Kind GetKind() const { return kind_; }
    int ColumnCount() const { return kind_ == Kind::User ? 7 : 6; }
    std::int32_t Count() const { return static_cast<std::int32_t>(order_.size()); }

    // Row r of the shown order (0-based).
    std::int32_t LogID(std::int32_t r) const;
    // The cell as Windows-1252 bytes, and as UTF-8 for the screen.
    std::string CellBytes(std::int32_t r, int column) const;
    std::string Cell(std::int32_t r, int column) const;
    // 1 session, 2 refused, 3 unknown login; 5 for every website-log row.
    int Icon(std::int32_t r) const;
    // An ended session.
    bool Dimmed(std::int32_t r) const;

    // Orders the rows by the text of one column, letter case ignored; equal
    // cells keep their order. Sorting stays on: SetRecords sorts again.
    void Sort(int column, bool ascending);
    bool Sorting() const { return sorting_; }
    void SetSortingOff() { sorting_ = false; }

    // Replaces the records (a reload), keeping the sort.
    void SetRecords(const LogRows& loaded);

private:
    struct Record {
        std::int32_t logId = 0;
        std::uint32_t text = 0;              // offset of the texts in the arena
        // User log: login, name, application, computer; website log: login,
        // application, computer, address (at most 255 bytes each).
        std::uint8_t length[4] = {0, 0, 0, 0};
        std::uint8_t code = 0;               // user log: flag bits; website log: status index
        OleDate stamp[2] = {0, 0};
    };
    struct Data {
        std::vector<Record> records;  // newest first
        std::string arena;
        std::vector<std::string> statusText;  // cp1252 cell of each distinct status
        std::string yes, no;
    };

    const Record& At(std::int32_t r) const;
    std::string_view Text(const Record& rec, int field) const;
    static std::string StampBytes(OleDate d);

    Kind kind_;
    std::shared_ptr<const Data> data_;
    std::vector<std::int32_t> order_;
    bool sorting_ = false;
    int sortColumn_ = 0;
    bool ascending_ = true;
};

}  // namespace corvane
