#pragma once

// An independent reading of a record file's bytes, written from the format alone, and the
// scratch data folder the table targets read their files from.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane::fuzz {

// One table's shape: slot and data lengths, the key fields ({offset, width}) and Deleted.
struct TableFormat {
    const char* fileName;
    std::size_t slot;
    std::size_t data;
    std::vector<std::pair<std::size_t, std::size_t>> keys;
    std::size_t deleted;
};

class Oracle {
public:
    Oracle(std::string bytes, const TableFormat& format);

    // Length / slot, to the nearest whole number, an exact half to the even one.
    std::int32_t Slots() const { return slots_; }
    // The file holds record n's whole data part.
    bool Whole(std::int32_t n) const;
    // Whole, Deleted not -1 and some key field not all spaces.
    bool Valid(std::int32_t n) const;
    // Whole slots whose key is not blank, deleted or not.
    std::int32_t Keyed() const;
    // Key field k of record n with spaces trimmed at both ends (raw Windows-1252 bytes).
    std::string Key(std::int32_t n, std::size_t k) const;
    std::vector<std::int32_t> ValidIds() const;
    const std::string& Bytes() const { return bytes_; }

private:
    bool KeyBlank(std::int32_t n) const;
    std::string_view Data(std::int32_t n) const;

    std::string bytes_;
    const TableFormat& format_;
    std::int32_t slots_ = 0;
};

// Stops the run with the message when the condition fails.
void Require(bool condition, const std::string& what);

// A data folder of this process's own (in memory when /dev/shm is there), made the data path.
const std::string& ScratchFolder();
// Writes the bytes as the table's file in the scratch folder; its path.
std::string WriteTableFile(const TableFormat& format, const std::uint8_t* data, std::size_t size);
std::string ReadWholeFile(const std::string& path);

}  // namespace corvane::fuzz
