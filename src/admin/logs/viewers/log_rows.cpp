#include "admin/logs/viewers/log_rows.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "admin/logs/viewers/folded_text_ranks.h"
#include "admin/logs/viewers/log_sort_keys.h"
#include "admin/logs/viewers/parallel_pieces.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "messages/message_catalogue.h"
#include "platform/core/cp1252.h"
#include "recordstore/record_file.h"
#include "ui_core/date_text.h"
#include "ui_core/display_names.h"

namespace corvane {
namespace {

constexpr std::uint8_t kFailedBit = 1;
constexpr std::uint8_t kActiveBit = 2;
constexpr std::uint8_t kInvalidBit = 4;

std::int16_t Int16At(const std::uint8_t* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

OleDate DateAt(const std::uint8_t* p) {
    double d;
    std::memcpy(&d, p, sizeof d);  // little-endian on every target the program builds for
    return d;
}

// The field trimmed of spaces. Wide fields are mostly trailing blanks, so the
// end is found eight bytes at a time.
std::string_view FieldBytes(const std::uint8_t* slot, const FieldSpec& f) {
    const char* p = reinterpret_cast<const char*>(slot) + f.offset;
    std::size_t end = f.width;
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    while (end >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p + end - 8, 8);
        if (word != kBlanks) break;
        end -= 8;
    }
    while (end > 0 && p[end - 1] == ' ') --end;
    std::size_t start = 0;
    while (start < end && p[start] == ' ') ++start;
    return {p + start, end - start};
}

// A status's cell as a code among the cells a piece has met. Statuses repeat
// endlessly, so a short list of those already met answers most rows; a status
// past the list is translated afresh, never left without its cell.
class StatusCodes {
public:
    explicit StatusCodes(int language) : language_(language) {}

    std::uint8_t Code(std::string_view status, std::vector<std::string>& cells) {
        const auto met = std::find_if(met_.begin(), met_.end(), [&](const auto& m) { return m.first == status; });
        if (met != met_.end()) return met->second;
        const std::string cell = cp1252::FromUtf8(TranslateLogStatus(cp1252::ToUtf8(status), language_));
        auto known = std::find(cells.begin(), cells.end(), cell);
        if (known == cells.end()) known = cells.insert(known, cell);
        const auto code = static_cast<std::uint8_t>(known - cells.begin());
        if (met_.size() < kRemembered) met_.emplace_back(std::string(status), code);
        return code;
    }

private:
    static constexpr std::size_t kRemembered = 64;
    int language_;
    std::vector<std::pair<std::string, std::uint8_t>> met_;
};

// Read-ahead of one piece of a log: whole slots, about a megabyte at a time.
constexpr std::size_t kBlockBytes = 1 << 20;
// A log is cut into pieces parsed side by side only when it is this large.
constexpr std::size_t kMinPieceSlots = 16384;

}  // namespace

LogRows::LogRows(Kind kind) : kind_(kind), data_(std::make_shared<Data>()) {}

// What one piece of the file held besides its rows: their texts, and the
// status cells in the order they first appear (a row's code indexes them).
// However many distinct statuses a log holds, they give a handful of cells
// (the known statuses and the empty one), so a code always fits.
struct LogRows::Piece {
    std::size_t count = 0;
    BulkVector<char> arena;
    std::vector<std::string> cells;
};

// Parses slots first to last into the rows just before end, newest first.
LogRows::Piece LogRows::ReadPiece(Kind kind, const RecordFile& file, std::int32_t first, std::int32_t last,
                                  std::int64_t length, Record* end, int language, BulkVector<char> arena) {
    const RecordDescription& desc = kind == Kind::User ? UserLog::Table() : WebsiteLog::Table();
    const auto& f = desc.fields;
    const FieldSpec& deleted = f[static_cast<std::size_t>(desc.deletedIndex)];
    const int textFields[2][4] = {
        {UserLog::kUserLogin, UserLog::kUserName, UserLog::kAppName, UserLog::kComputer},
        {WebsiteLog::kUserLogin, WebsiteLog::kAppName, WebsiteLog::kComputer, WebsiteLog::kURL}};
    const int* texts = textFields[kind == Kind::User ? 0 : 1];

    Piece piece;
    piece.arena = std::move(arena);
    piece.arena.clear();
    StatusCodes statusCodes(language);
    const auto slots = static_cast<std::size_t>(std::max(0, last - first + 1));
    // Room for the widest texts of every slot: pages never written cost nothing.
    std::size_t widest = 0;
    for (int k = 0; k < 4; ++k) widest += std::min<std::size_t>(f[static_cast<std::size_t>(texts[k])].width, 255);
    piece.arena.reserve(slots * widest);

    const std::size_t perBlock = std::max<std::size_t>(1, std::min<std::size_t>(kBlockBytes / desc.slotLength, slots));
    std::vector<std::uint8_t> block(perBlock * desc.slotLength);
    Record* out = end;
    for (std::int32_t n = first; n <= last;) {
        const auto count = static_cast<std::int32_t>(std::min<std::int64_t>(perBlock, last - n + 1));
        // Bytes past the length the scan measured are not the scan's.
        const std::int64_t start = (static_cast<std::int64_t>(n) - 1) * desc.slotLength;
        const auto got = static_cast<std::int64_t>(file.ReadSlots(n, count, block.data()));
        const std::int64_t held = std::min(got, length - start);
        for (std::int32_t i = 0; i < count; ++i, ++n) {
            const std::int64_t at = static_cast<std::int64_t>(i) * desc.slotLength;
            // A slot the file does not hold whole reads as the blank record.
            const std::uint8_t* p = at + desc.dataLength <= held ? block.data() + at : desc.blankRecord.data();
            if (Int16At(p + deleted.offset) == -1) continue;
            if (FieldBytes(p, f[static_cast<std::size_t>(texts[0])]).empty()) continue;
            Record rec{};
            rec.logId = n;
            rec.text = static_cast<std::uint32_t>(piece.arena.size());
            for (int k = 0; k < 4; ++k) {
                const std::string_view t = FieldBytes(p, f[static_cast<std::size_t>(texts[k])]);
                rec.length[k] = static_cast<std::uint8_t>(std::min<std::size_t>(t.size(), 255));
                const std::size_t at = piece.arena.size();
                piece.arena.resize(at + rec.length[k]);
                std::memcpy(piece.arena.data() + at, t.data(), rec.length[k]);
            }
            if (kind == Kind::User) {
                auto flag = [&](int field) { return Int16At(p + f[static_cast<std::size_t>(field)].offset) != 0; };
                rec.code = static_cast<std::uint8_t>((flag(UserLog::kFailed) ? kFailedBit : 0) |
                                                     (flag(UserLog::kActive) ? kActiveBit : 0) |
                                                     (flag(UserLog::kInvalid) ? kInvalidBit : 0));
                rec.stamp[0] = DateAt(p + f[UserLog::kLoginStamp].offset);
                rec.stamp[1] = DateAt(p + f[UserLog::kLogoutStamp].offset);
            } else {
                rec.stamp[0] = DateAt(p + f[WebsiteLog::kTimeStamp].offset);
                rec.code = statusCodes.Code(FieldBytes(p, f[WebsiteLog::kStatus]), piece.cells);
            }
            *--out = rec;
        }
    }
    piece.count = static_cast<std::size_t>(end - out);
    return piece;
}

LogRows LogRows::Load(Kind kind, const std::string& path, int language) {
    return Load(kind, path, language, LogRows(kind));
}

LogRows LogRows::Load(Kind kind, const std::string& path, int language, LogRows recycled) {
    const RecordDescription& desc = kind == Kind::User ? UserLog::Table() : WebsiteLog::Table();
    std::shared_ptr<Data> data;
    std::vector<BulkVector<char>> spareArenas;
    if (recycled.data_ && recycled.data_.use_count() == 1) {
        data = std::const_pointer_cast<Data>(std::move(recycled.data_));
        data->records.clear();
        spareArenas = std::move(data->arenas);
        data->arenas.clear();
        data->statusText.clear();
    } else {
        data = std::make_shared<Data>();
    }
    data->yes = cp1252::FromUtf8(GetMessageText(47, language));
    data->no = cp1252::FromUtf8(GetMessageText(48, language));

    // A big log is read in pieces side by side, each straight into a block of
    // its own and parsed there, its rows going to the part of the array its
    // slots would take if none were deleted.
    std::vector<Piece> pieces;
    std::size_t slots = 0;
    if (RecordFile::Exists(path)) {
        RecordFile file(desc.slotLength, desc.dataLength);
        file.Open(path);
        file.BeginScan();
        const std::int64_t length = file.Length();
        slots = static_cast<std::size_t>(RecordFile::SlotCount(length, desc.slotLength));
        data->records.resize(slots);
        pieces.resize(PieceCount(slots, kMinPieceSlots));
        RunPieces(pieces.size(), [&](std::size_t k) {
            const std::size_t first = PieceStart(slots, pieces.size(), k);
            const std::size_t last = PieceStart(slots, pieces.size(), k + 1);
            pieces[k] = ReadPiece(kind, file, static_cast<std::int32_t>(first) + 1, static_cast<std::int32_t>(last),
                                  length, data->records.data() + (slots - first), language,
                                  k < spareArenas.size() ? std::move(spareArenas[k]) : BulkVector<char>());
        });
        file.EndScan();
    }

    // The status cells numbered in the order they first appear in the file,
    // as one reader going front to back would number them.
    std::vector<std::vector<std::uint8_t>> codes(pieces.size());
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        for (const std::string& cell : pieces[k].cells) {
            auto known = std::find(data->statusText.begin(), data->statusText.end(), cell);
            if (known == data->statusText.end()) known = data->statusText.insert(known, cell);
            codes[k].push_back(static_cast<std::uint8_t>(known - data->statusText.begin()));
        }
    }
    RunPieces(pieces.size(), [&](std::size_t k) {
        Record* end = data->records.data() + (slots - PieceStart(slots, pieces.size(), k));
        for (Record* rec = end - pieces[k].count; rec != end; ++rec) {
            rec->arena = static_cast<std::uint8_t>(k);
            if (kind == Kind::Website) rec->code = codes[k][rec->code];
        }
    });
    // Close the gaps deleted slots left, the newest piece first.
    std::size_t count = 0;
    for (std::size_t k = pieces.size(); k-- > 0;) {
        const Record* end = data->records.data() + (slots - PieceStart(slots, pieces.size(), k));
        Record* to = data->records.data() + count;
        if (end - pieces[k].count != to) std::copy(end - pieces[k].count, end, to);
        count += pieces[k].count;
    }
    data->records.resize(count);
    for (Piece& piece : pieces) data->arenas.push_back(std::move(piece.arena));

    LogRows rows(kind);
    rows.data_ = std::move(data);
    rows.order_.resize(rows.data_->records.size());
    std::iota(rows.order_.begin(), rows.order_.end(), 0);
    return rows;
}

const LogRows::Record& LogRows::At(std::int32_t r) const {
    return data_->records[static_cast<std::size_t>(order_[static_cast<std::size_t>(r)])];
}

std::string_view LogRows::Text(const Record& rec, int field) const {
    std::size_t start = rec.text;
    for (int k = 0; k < field; ++k) start += rec.length[k];
    return {data_->arenas[rec.arena].data() + start, rec.length[field]};
}

std::int32_t LogRows::LogID(std::int32_t r) const { return At(r).logId; }

std::string_view LogRows::CodeCell(std::uint8_t code) const {
    if (kind_ == Kind::Website) return code < data_->statusText.size() ? data_->statusText[code] : std::string_view();
    if (code & (kInvalidBit | kFailedBit)) return "-";
    return code & kActiveBit ? data_->yes : data_->no;
}

void LogRows::AppendRecordCell(const Record& rec, int column, std::string& out) const {
    if (column < 4) {
        out += Text(rec, column);
    } else if (kind_ == Kind::Website) {
        if (column == 4)
            ui::AppendLogStampText(out, rec.stamp[0]);
        else
            out += CodeCell(rec.code);
    } else if (column > 5) {
        out += CodeCell(rec.code);
    } else if (rec.stamp[column - 4] == 0) {
        out += '-';
    } else {
        if (column == 4 && (rec.code & kFailedBit)) out += '*';
        ui::AppendLogStampText(out, rec.stamp[column - 4]);
    }
}

void LogRows::AppendCellBytes(std::int32_t r, int column, std::string& out) const {
    AppendRecordCell(At(r), column, out);
}

std::string LogRows::CellBytes(std::int32_t r, int column) const {
    std::string cell;
    AppendCellBytes(r, column, cell);
    return cell;
}

std::string LogRows::Cell(std::int32_t r, int column) const { return cp1252::ToUtf8(CellBytes(r, column)); }

int LogRows::Icon(std::int32_t r) const {
    if (kind_ == Kind::Website) return 5;
    const Record& rec = At(r);
    if (rec.code & kInvalidBit) return 3;
    return rec.code & kFailedBit ? 2 : 1;
}

std::int32_t LogRows::ActiveCount() const {
    if (kind_ == Kind::Website || !data_) return 0;
    return static_cast<std::int32_t>(std::count_if(data_->records.begin(), data_->records.end(),
                                                   [](const Record& rec) { return rec.code & kActiveBit; }));
}

bool LogRows::Dimmed(std::int32_t r) const {
    if (kind_ == Kind::Website) return false;
    const Record& rec = At(r);
    return !(rec.code & (kInvalidBit | kFailedBit | kActiveBit));
}

std::shared_ptr<const BulkVector<std::uint64_t>> LogRows::SortKeys(int column) const {
    const auto& records = data_->records;
    if (column < 4) {
        auto& kept = textKeys_[column];
        if (!kept)
            kept = std::make_shared<const BulkVector<std::uint64_t>>(
                log_sort::FoldedRanks(records.size(), [&](std::size_t i) { return Text(records[i], column); }));
        return kept;
    }
    auto made = std::make_shared<BulkVector<std::uint64_t>>(records.size());
    BulkVector<std::uint64_t>& keys = *made;
    if (column > (kind_ == Kind::Website ? 4 : 5)) {
        // A code stands for its cell: rank the cells of the 256 codes once.
        const BulkVector<std::uint64_t> rank =
            log_sort::FoldedRanks(256, [&](std::size_t c) { return CodeCell(static_cast<std::uint8_t>(c)); }, 1);
        for (std::size_t i = 0; i < records.size(); ++i) keys[i] = rank[records[i].code];
        return made;
    }
    // A stamp cell's first character decides ("" < "*" < "-" < a digit), then
    // the stamp's text.
    constexpr int kBits = log_sort::kStampKeyBits;
    constexpr std::uint64_t kStar = std::uint64_t{1} << kBits, kDash = std::uint64_t{2} << kBits,
                            kDigit = std::uint64_t{3} << kBits;
    const bool user = kind_ == Kind::User;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& rec = records[i];
        const OleDate d = rec.stamp[user ? column - 4 : 0];
        const std::uint64_t text = log_sort::StampTextKey(d);
        if (user && d == 0)
            keys[i] = kDash;
        else if (user && column == 4 && (rec.code & kFailedBit))
            keys[i] = kStar | text;
        else
            keys[i] = text == 0 ? 0 : kDigit | text;
    }
    return made;
}

void LogRows::Sort(int column, bool ascending) {
    sorting_ = true;
    sortColumn_ = column;
    ascending_ = ascending;
    // Every sort starts from the newest-first order, so equal cells stay newest first.
    order_ = log_sort::StableOrder(*SortKeys(column), ascending);
}

BulkVector<std::int32_t> LogRows::RowOfEachRecord() const {
    BulkVector<std::int32_t> rows(order_.size());
    for (std::size_t r = 0; r < order_.size(); ++r) rows[static_cast<std::size_t>(order_[r])] = static_cast<std::int32_t>(r);
    return rows;
}

void LogRows::SetRecords(const LogRows& loaded) {
    data_ = loaded.data_;
    order_ = loaded.order_;
    for (auto& keys : textKeys_) keys.reset();
    if (sorting_) Sort(sortColumn_, ascending_);
}

}  // namespace corvane
