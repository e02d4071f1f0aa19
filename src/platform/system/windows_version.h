#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The operating-system version as the program's branches ask for it. Linux
// answers as the NT family (platform id 2), so the branches for the old
// Windows 95 family never run; the numbers are the kernel's release.
class WinverInfo {
public:
    static constexpr std::int32_t kWin32s = 0;
    static constexpr std::int32_t kWindows95Family = 1;
    static constexpr std::int32_t kNtFamily = 2;

    // The release details padded with NUL characters to exactly 128.
    std::string AdditionalInfo() const;
    std::int32_t BuildNumber() const;
    // The platform's name; code receives the platform id.
    std::string GetOSName(std::int32_t& code) const;
    std::int32_t WindowsVersion() const { return kNtFamily; }
    std::int32_t MajorVersion() const;
    std::int32_t MinorVersion() const;
};

}  // namespace corvane
