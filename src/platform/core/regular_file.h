#pragma once

#include <string>

namespace corvane {

// Opens path with the given open(2) flags, without blocking (a FIFO would wait
// for a writer forever, a device for its data) and keeps it only when it is a
// regular file. The descriptor, or -1 with errno set (EINVAL for anything but
// a regular file).
int OpenRegularFile(const std::string& path, int flags);

// Reads from fd to its end into bytes; false on a read error.
bool ReadToEnd(int fd, std::string& bytes);

}  // namespace corvane
