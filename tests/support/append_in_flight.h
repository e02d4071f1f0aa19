#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "recordstore/record_description.h"
#include "recordstore/record_file.h"

namespace corvane::testing {

// What a whole-table read met while another workstation was appending.
template <typename Result>
struct ReadDuringAppend {
    Result result;
    // The read ended while the append was still half on disk.
    bool endedBeforeTheAppend = false;
};

// Runs read (on the calling thread, so it may drive windows) while an append of one record
// (its data part, as a table writes it) is in flight in the table file at path: the append,
// on a thread of its own, holds the file's append lock as every append does and has written
// only the first half of the record when read starts; it writes the rest a moment later and
// lets go. A reader that honours the lock meets the record whole; one that does not would
// meet half a record (or, the slot being torn, none).
template <typename Read>
auto ReadWhileAppending(const RecordDescription& desc, const std::string& path, const std::string& data, Read read)
    -> ReadDuringAppend<decltype(read())> {
    ReadDuringAppend<decltype(read())> seen;
    std::atomic<bool> halfWritten{false}, readEnded{false};
    std::thread append([&] {
        RecordFile holder(desc.slotLength, desc.dataLength);
        holder.Open(path);
        auto lock = std::make_unique<RecordFile::AppendLock>(holder);
        const off_t at =
            static_cast<off_t>(RecordFile::SlotCount(holder.FreshLength(), desc.slotLength)) * desc.slotLength;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        const std::size_t half = data.size() / 2;
        EXPECT_EQ(::pwrite(fd, data.data(), half, at), static_cast<ssize_t>(half));
        halfWritten = true;
        // Time for the reader to reach the lock; it must still be waiting there.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        seen.endedBeforeTheAppend = readEnded;
        EXPECT_EQ(::pwrite(fd, data.data() + half, data.size() - half, at + static_cast<off_t>(half)),
                  static_cast<ssize_t>(data.size() - half));
        ::close(fd);
    });
    while (!halfWritten) std::this_thread::yield();
    seen.result = read();
    readEnded = true;
    append.join();
    return seen;
}

// The data part of the record fill gives a fresh object of Table, as AddNew writes it (made
// in a scratch file at scratchPath, removed after).
template <typename Table, typename Fill>
std::string RecordData(const std::string& scratchPath, Fill fill) {
    {
        Table table;
        table.OpenTable(scratchPath);
        fill(table);
        table.AddNew();
    }
    std::ifstream in(scratchPath, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(scratchPath);
    return bytes.substr(0, Table::Table().dataLength);
}

// Cuts the table file at path inside its last record's data part, as an append cut short
// by a crash leaves it.
inline void TearLastRecord(const std::string& path, const RecordDescription& desc) {
    RecordFile file(desc.slotLength, desc.dataLength);
    file.Open(path);
    const std::int64_t length = file.FreshLength();
    file.Close();
    ::truncate(path.c_str(), length - static_cast<std::int64_t>(desc.dataLength) / 2);
}

}  // namespace corvane::testing
