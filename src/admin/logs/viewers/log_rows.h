#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/bulk_allocator.h"
#include "platform/core/ole_date.h"

namespace corvane {

class RecordFile;

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

    // Every valid record of the file, newest first, read in one scan (a large
    // file in pieces side by side). A missing file gives no rows; read errors
    // reach the caller.
    // language picks the texts of "Yes"/"No" and the statuses.
    static LogRows Load(Kind kind, const std::string& path, int language);
    // The same, in the memory of earlier rows nothing else holds (a reload's
    // old rows): their pages are already there, new ones would be zeroed first.
    static LogRows Load(Kind kind, const std::string& path, int language, LogRows recycled);

    Kind GetKind() const { return kind_; }
    int ColumnCount() const { return kind_ == Kind::User ? 7 : 6; }
    std::int32_t Count() const { return static_cast<std::int32_t>(order_.size()); }

    // Row r of the shown order (0-based).
    std::int32_t LogID(std::int32_t r) const;
    // The cell as Windows-1252 bytes, and as UTF-8 for the screen.
    std::string CellBytes(std::int32_t r, int column) const;
    // CellBytes added to the end of out, for callers that write many cells.
    void AppendCellBytes(std::int32_t r, int column, std::string& out) const;
    std::string Cell(std::int32_t r, int column) const;
    // 1 session, 2 refused, 3 unknown login; 5 for every website-log row.
    int Icon(std::int32_t r) const;
    // An ended session.
    bool Dimmed(std::int32_t r) const;
    // The user-log rows whose session is open (Active set), as the records
    // were read: the count a separate scan of the same file would give.
    // 0 for the website log.
    std::int32_t ActiveCount() const;

    // Orders the rows by the text of one column, letter case ignored; equal
    // cells keep their order. Sorting stays on: SetRecords sorts again.
    void Sort(int column, bool ascending);
    bool Sorting() const { return sorting_; }
    void SetSortingOff() { sorting_ = false; }

    // Which record row r shows (a number that stays with the record through
    // every sort), and for each record the row that shows it.
    std::int32_t RecordIndex(std::int32_t r) const { return order_[static_cast<std::size_t>(r)]; }
    BulkVector<std::int32_t> RowOfEachRecord() const;

    // Replaces the records (a reload), keeping the sort.
    void SetRecords(const LogRows& loaded);

private:
    // Plain data: a new array of them is left for the threads that fill it
    // to touch first.
    struct Record {
        std::int32_t logId;
        std::uint32_t text;                  // offset of the texts in their arena
        // User log: login, name, application, computer; website log: login,
        // application, computer, address (at most 255 bytes each).
        std::uint8_t length[4];
        std::uint8_t code;                   // user log: flag bits; website log: status cell index
        std::uint8_t arena;                  // which arena holds the texts
        OleDate stamp[2];
    };
    struct Data {
        BulkVector<Record> records;  // newest first
        std::vector<BulkVector<char>> arenas;  // the texts, one arena per piece of the file read
        std::vector<std::string> statusText;  // each distinct status cell, cp1252
        std::string yes, no;
    };
    struct Piece;

    static Piece ReadPiece(Kind kind, const RecordFile& file, std::int32_t first, std::int32_t last,
                           std::int64_t length, Record* end, int language, BulkVector<char> arena);
    const Record& At(std::int32_t r) const;
    std::string_view Text(const Record& rec, int field) const;
    // The cell a record's code stands for: the website log's status, the user
    // log's "Active".
    std::string_view CodeCell(std::uint8_t code) const;
    void AppendRecordCell(const Record& rec, int column, std::string& out) const;
    // The keys a sort by column orders the records by. The text columns' are made at their
    // first sort and kept with the records, so a later click orders them at once.
    std::shared_ptr<const BulkVector<std::uint64_t>> SortKeys(int column) const;

    Kind kind_;
    std::shared_ptr<const Data> data_;
    BulkVector<std::int32_t> order_;
    bool sorting_ = false;
    int sortColumn_ = 0;
    bool ascending_ = true;
    mutable std::shared_ptr<const BulkVector<std::uint64_t>> textKeys_[4];
};

}  // namespace corvane
