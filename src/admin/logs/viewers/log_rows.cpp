#include "admin/logs/viewers/log_rows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

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

// Letter case folded for sorting: ASCII and the accented capitals of the code page.
const std::array<unsigned char, 256>& FoldTable() {
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int c = 0; c < 256; ++c) {
            int f = c;
            if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) f = c + 0x20;
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(f);
        }
        return t;
    }();
    return table;
}

int CompareFolded(std::string_view a, std::string_view b) {
    const auto& fold = FoldTable();
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = fold[static_cast<unsigned char>(a[i])];
        const unsigned char y = fold[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace

LogRows::LogRows(Kind kind) : kind_(kind), data_(std::make_shared<Data>()) {}

LogRows LogRows::Load(Kind kind, const std::string& path, int language) {
    const RecordDescription& desc = kind == Kind::User ? UserLog::Table() : WebsiteLog::Table();
    auto data = std::make_shared<Data>();
    data->yes = cp1252::FromUtf8(GetMessageText(47, language));
    data->no = cp1252::FromUtf8(GetMessageText(48, language));
    // A log holds a handful of distinct statuses; a short list finds them fastest.
    std::vector<std::pair<std::string, std::uint8_t>> statusIndex;

    std::error_code ec;
    if (std::filesystem::exists(RecordFile::ResolvePath(path), ec)) {
        RecordFile file(desc.slotLength, desc.dataLength);
        file.Open(path);
        file.BeginScan();
        const std::int32_t slots = RecordFile::SlotCount(file.Length(), desc.slotLength);
        data->records.reserve(static_cast<std::size_t>(slots));
        std::vector<std::uint8_t> slot(desc.dataLength);
        const auto& f = desc.fields;
        const FieldSpec& deleted = f[static_cast<std::size_t>(desc.deletedIndex)];
        const int textFields[2][4] = {
            {UserLog::kUserLogin, UserLog::kUserName, UserLog::kAppName, UserLog::kComputer},
            {WebsiteLog::kUserLogin, WebsiteLog::kAppName, WebsiteLog::kComputer, WebsiteLog::kURL}};
        const int* texts = textFields[kind == Kind::User ? 0 : 1];
        for (std::int32_t n = 1; n <= slots; ++n) {
            file.Read(n, slot.data(), desc.blankRecord.data());
            const std::uint8_t* p = slot.data();
            if (Int16At(p + deleted.offset) == -1) continue;
            if (FieldBytes(p, f[static_cast<std::size_t>(texts[0])]).empty()) continue;
            Record rec;
            rec.logId = n;
            rec.text = static_cast<std::uint32_t>(data->arena.size());
            for (int k = 0; k < 4; ++k) {
                const std::string_view t = FieldBytes(p, f[static_cast<std::size_t>(texts[k])]);
                rec.length[k] = static_cast<std::uint8_t>(std::min<std::size_t>(t.size(), 255));
                data->arena.append(t.data(), rec.length[k]);
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
                const std::string_view status = FieldBytes(p, f[WebsiteLog::kStatus]);
                rec.code = 255;
                for (const auto& [text, index] : statusIndex)
                    if (text == status) {
                        rec.code = index;
                        break;
                    }
                if (rec.code == 255 && data->statusText.size() < 255) {
                    const std::string cell = TranslateLogStatus(cp1252::ToUtf8(status), language);
                    data->statusText.push_back(cp1252::FromUtf8(cell));
                    rec.code = static_cast<std::uint8_t>(data->statusText.size() - 1);
                    statusIndex.emplace_back(std::string(status), rec.code);
                }
            }
            data->records.push_back(rec);
        }
        file.EndScan();
    }
    std::reverse(data->records.begin(), data->records.end());
    data->arena.shrink_to_fit();

    LogRows rows(kind);
    rows.data_ = std::move(data);
    rows.order_.resize(rows.data_->records.size());
    for (std::size_t i = 0; i < rows.order_.size(); ++i) rows.order_[i] = static_cast<std::int32_t>(i);
    return rows;
}

const LogRows::Record& LogRows::At(std::int32_t r) const {
    return data_->records[static_cast<std::size_t>(order_[static_cast<std::size_t>(r)])];
}

std::string_view LogRows::Text(const Record& rec, int field) const {
    std::size_t start = rec.text;
    for (int k = 0; k < field; ++k) start += rec.length[k];
    return std::string_view(data_->arena).substr(start, rec.length[field]);
}

std::int32_t LogRows::LogID(std::int32_t r) const { return At(r).logId; }

std::string LogRows::StampBytes(OleDate d) { return ui::LogStampText(d); }

std::string LogRows::CellBytes(std::int32_t r, int column) const {
    const Record& rec = At(r);
    if (column < 4) return std::string(Text(rec, column));
    if (kind_ == Kind::Website) {
        if (column == 4) return StampBytes(rec.stamp[0]);
        return rec.code < data_->statusText.size() ? data_->statusText[rec.code] : std::string();
    }
    switch (column) {
        case 4:
            if (rec.stamp[0] == 0) return "-";
            return (rec.code & kFailedBit ? "*" : "") + StampBytes(rec.stamp[0]);
        case 5:
            return rec.stamp[1] == 0 ? "-" : StampBytes(rec.stamp[1]);
        default:
            if (rec.code & (kInvalidBit | kFailedBit)) return "-";
            return rec.code & kActiveBit ? data_->yes : data_->no;
    }
}

std::string LogRows::Cell(std::int32_t r, int column) const { return cp1252::ToUtf8(CellBytes(r, column)); }

int LogRows::Icon(std::int32_t r) const {
    if (kind_ == Kind::Website) return 5;
    const Record& rec = At(r);
    if (rec.code & kInvalidBit) return 3;
    return rec.code & kFailedBit ? 2 : 1;
}

bool LogRows::Dimmed(std::int32_t r) const {
    if (kind_ == Kind::Website) return false;
    const Record& rec = At(r);
    return !(rec.code & (kInvalidBit | kFailedBit | kActiveBit));
}

void LogRows::Sort(int column, bool ascending) {
    sorting_ = true;
    sortColumn_ = column;
    ascending_ = ascending;
    const auto& records = data_->records;
    std::vector<std::int32_t> order(records.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::int32_t>(i);
    auto before = [&](int c) { return ascending ? c < 0 : c > 0; };
    if (column < 4) {
        std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
            return before(CompareFolded(Text(records[static_cast<std::size_t>(a)], column),
                                        Text(records[static_cast<std::size_t>(b)], column)));
        });
    } else {
        // Computed cells are made once each, then compared as text.
        std::vector<std::string> keys(records.size());
        order_.swap(order);
        for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = CellBytes(static_cast<std::int32_t>(i), column);
        order_.swap(order);
        std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
            return before(CompareFolded(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)]));
        });
    }
    order_ = std::move(order);
}

void LogRows::SetRecords(const LogRows& loaded) {
    data_ = loaded.data_;
    order_ = loaded.order_;
    if (sorting_) Sort(sortColumn_, ascending_);
}

}  // namespace corvane
