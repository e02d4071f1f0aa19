#pragma once

#include <string>

namespace corvane {

// Opens path with the given open(2) flags, without blocking (a FIFO would wait
// for a writer forever, a device for its data) and keeps it only when it is a
// regular file. The descriptor, or -1 with errno set (EINVAL for anything but
// a regular file).
int OpenRegularFile(const std::string& path, int flags);

// Opens path to append, creating it (mode 0666 less the creation mask) when it
// is missing: never through a symbolic link (O_NOFOLLOW), close-on-exec, without
// blocking, and only a regular file. In a folder others may write
// (OthersMayWriteFolder) a file there of another account is refused (EPERM):
// it may have been planted to catch what is written. The descriptor, or -1
// with errno set.
int OpenAppendFile(const std::string& path);

// Reads from fd to its end into bytes; false on a read error, and (errno EFBIG, bytes
// empty) when more than limit bytes come, however much the file grows meanwhile.
bool ReadToEnd(int fd, std::string& bytes, std::size_t limit = std::string::npos);

}  // namespace corvane
