#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/settings/ini_lines.h"

namespace corvane::profile {

// A settings file above this size is damaged (a zero-filled tail after a
// crash, say): it is neither read nor rewritten.
inline constexpr std::size_t kMaxFileSize = 1024 * 1024;

// Reads an open file from where it stands to its end into bytes, but never
// more than kMaxFileSize: false when it is larger or a read fails, with errno
// EFBIG for the first.
bool ReadCapped(int fd, std::string& bytes);

// One read of a whole INI file (under the shared lock the writers respect),
// parsed once, for any number of lookups. Texts are Windows-1252 bytes as the
// file holds them; names match without regard to case and the first of
// duplicate sections or keys wins.
class Snapshot {
public:
    enum class State { kRead, kMissing, kUnreadable };

    static Snapshot Read(std::string_view fileName);

    State Status() const { return state_; }
    // Why the file was not read ("" when it was): "is missing", "is not a
    // file", "is larger than 1 MiB" or "cannot be read: " and the system's
    // reason.
    const std::string& Problem() const { return problem_; }

    // Section names, each once, in file order.
    std::vector<std::string> SectionNames() const;
    // The first section of that name: its keys, each once, with their values
    // trimmed and unquoted, in file order; nothing when the file or the
    // section is missing.
    std::optional<std::vector<std::pair<std::string, std::string>>> Keys(std::string_view section) const;

private:
    State state_ = State::kMissing;
    std::string problem_;
    std::vector<Line> lines_;
};

}  // namespace corvane::profile
