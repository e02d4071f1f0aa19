#include "errors/error_log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/core/regular_file.h"
#include "ui_core/date_text.h"
#include "errors/system_log.h"

namespace corvane {

std::string ErrorLogPath() {
    return environment::ProgramFolder() + "/" + kProgramTitle + "_ErrorLog.txt";
}

std::string FormatErrorLine(const RaisedError& error, std::string& place) {
    if (place.empty()) place = kUnknownModule;
    return "[" + std::to_string(error.Number()) + "]," + error.Description() + "," +
           error.Source() + "," + place;
}

namespace {

// Appends the entry with one open, write and close, so that the viewer and other copies of
// the program find the file closed between errors. Opened as every append is (OpenAppendFile):
// a FIFO or device in its place must not hold up the first error for ever, and a planted link
// or another account's file must not receive it.
bool AppendEntry(const std::string& path, const std::string& entry) {
    const int fd = OpenAppendFile(path);
    if (fd < 0) return false;
    bool written = true;
    std::size_t done = 0;
    while (written && done < entry.size()) {
        const ssize_t n = ::write(fd, entry.data() + done, entry.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) written = false;
        else done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) written = false;
    return written;
}

}  // namespace

std::vector<std::string> SplitErrorLogText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        else if (end > start && text[end - 1] == '\r') --end;
        lines.emplace_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

ErrorLogLines ReadErrorLogLines(const std::string& path, std::size_t limit) {
    ErrorLogLines result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    struct stat st{};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) ::close(fd);
        result.failed = true;
        return result;
    }
    // A cut log starts one byte early, so that a line beginning right at the cut is kept.
    const auto size = static_cast<std::size_t>(st.st_size);
    const bool cut = size > limit;
    const off_t from = cut ? static_cast<off_t>(size - limit - 1) : 0;
    std::string text(cut ? limit + 1 : size, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::pread(fd, text.data() + got, text.size() - got, from + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) result.failed = true;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(got);
    std::string_view view(text);
    // Started inside a line: that piece is no entry.
    if (cut) {
        const std::size_t lf = view.find('\n');
        view.remove_prefix(lf == std::string_view::npos ? view.size() : lf + 1);
    }
    result.lines = SplitErrorLogText(view);
    return result;
}

bool WriteErrorLog(const std::string& line, const std::string& path) {
    if (path.empty()) return true;
    const std::string entry = line + "," + ui::GeneralDateText(clock::Now()) + "\r\n";
    const bool written = AppendEntry(path, entry);
    try {
        CurrentSystemLog()->WriteError(line);
    } catch (...) {
        // The system log is a second copy; losing it must not lose the answer.
    }
    return written;
}

}  // namespace corvane
