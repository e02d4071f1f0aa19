#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// Display text of a stored log status ("LOGIN SUCCESS", "URL DENIED", ...),
// matched without regard to case but with spaces counting; "" when the
// keyword is not one of the eight.
std::string TranslateLogStatus(std::string_view keyword, std::int32_t language);

// Display text of an access level: Administrator, Standard, Restricted for 0
// to 2 (in the "Language" setting), otherwise the user's own level name.
std::string GetAccessLevelName(std::int16_t level, std::string_view otherAccess);

// The same for a user record, read only when the level is a custom one.
template <class UserRecord>
std::string GetAccessLevelName(std::int16_t level, const UserRecord& user) {
    if (level >= 0 && level <= 2) return GetAccessLevelName(level, std::string_view());
    return GetAccessLevelName(level, std::string_view(user.OtherAccess()));
}

}  // namespace corvane
