#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/core/cp1252.h"
#include "platform/core/ole_date.h"
#include "platform/core/text.h"
#include "recordstore/record_description.h"

namespace corvane {

// One record of a table as it lies in a block read from the file: its fields decoded one at
// a time, on demand, as the table's own members would read them. Valid only during the
// visit that hands it out.
class SlotView {
public:
    SlotView(const RecordDescription& desc, const std::uint8_t* data, std::int32_t number)
        : desc_(desc), data_(data), number_(number) {}

    // The record number (the identity a load of this record gives).
    std::int32_t RecordNumber() const { return number_; }
    // A text field's bytes in the file's code page, trimmed of spaces.
    std::string_view Raw(int field) const {
        const FieldSpec& f = Spec(field);
        return TrimSpaces(reinterpret_cast<const char*>(data_) + f.offset, f.width);
    }
    // A text field as the table's getter gives it: trimmed UTF-8.
    std::string Text(int field) const { return cp1252::ToUtf8(Raw(field)); }
    // A number field as stored: 32 bits for Long, 16 bits (sign-extended) for the rest.
    std::int32_t Number(int field) const {
        const FieldSpec& f = Spec(field);
        const std::uint8_t* p = data_ + f.offset;
        if (f.kind == FieldKind::Long)
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                             (static_cast<std::uint32_t>(p[2]) << 16) |
                                             (static_cast<std::uint32_t>(p[3]) << 24));
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
    }
    OleDate Date(int field) const {
        std::uint64_t u = 0;
        const std::uint8_t* p = data_ + Spec(field).offset;
        for (int i = 7; i >= 0; --i) u = (u << 8) | p[i];
        double d;
        std::memcpy(&d, &u, sizeof d);
        return d;
    }
    // Whether a field equals bytes already trimmed and in the file's code page (MatchBytes),
    // without letter case, as Load compares keys.
    bool Equals(int field, std::string_view matchBytes) const { return text::EqualsBytes(Raw(field), matchBytes); }
    // Not deleted and the key not blank: a record the table's walks land on.
    bool Valid() const {
        if (Number(desc_.deletedIndex) == -1) return false;
        for (int k : desc_.keyIndexes) {
            // A key is rarely blank: its first bytes tell.
            const FieldSpec& f = Spec(k);
            const char* p = reinterpret_cast<const char*>(data_) + f.offset;
            for (std::uint32_t i = 0; i < f.width; ++i)
                if (p[i] != ' ') return true;
        }
        return false;
    }
    // The record's data part as it lies in the file.
    const std::uint8_t* Data() const { return data_; }

private:
    // text::TrimSpaces over a field: a wide field is mostly the padding after a short text,
    // so the trailing spaces go eight at a time.
    static std::string_view TrimSpaces(const char* p, std::size_t n) {
        constexpr std::uint64_t kSpaces = 0x2020202020202020ull;
        for (std::uint64_t w; n >= 8; n -= 8) {
            std::memcpy(&w, p + n - 8, 8);
            if (w != kSpaces) break;
        }
        while (n > 0 && p[n - 1] == ' ') --n;
        std::size_t start = 0;
        while (start < n && p[start] == ' ') ++start;
        return {p + start, n - start};
    }
    const FieldSpec& Spec(int field) const { return desc_.fields[static_cast<std::size_t>(field)]; }

    const RecordDescription& desc_;
    const std::uint8_t* data_;
    std::int32_t number_;
};

}  // namespace corvane
