#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/raised_error.h"

namespace corvane {

class RecordIo;

// The system-call helpers the record file's parts (reading and locking; writing and the
// journal; the journals found standing) share.
namespace record_calls {

// Writes count bytes at offset, retrying short writes; 0, or the errno of the write that
// failed (a short write followed by a failing one leaves the first bytes written).
int WriteAll(RecordIo& io, int fd, const std::uint8_t* buffer, std::size_t count, std::int64_t offset);
// fdatasync, retried on EINTR; 0 or the errno.
int SyncFile(RecordIo& io, int fd);
// The runtime error for a failed call on path.
RaisedError FileError(int err, const std::string& path);
// The error naming a journal and why it stands or cannot be put back.
RaisedError JournalError(std::int32_t number, const std::string& journal, const std::string& why);
// A path's last name, and its folder with the final "/" ("" for a bare name).
std::string FileName(const std::string& path);
std::string FolderPath(const std::string& path);

}  // namespace record_calls
}  // namespace corvane
