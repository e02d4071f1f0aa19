#include "platform/system/windows_version.h"

#include <sys/utsname.h>

#include <cstdlib>

namespace corvane {
namespace {

// The kernel release "6.1.0-18-amd64" read as major, minor and build.
struct Release {
    std::int32_t major = 0, minor = 0, build = 0;
    std::string details;
};

Release ReadRelease() {
    Release r;
    utsname u{};
    if (uname(&u) != 0) return r;
    const char* p = u.release;
    char* end = nullptr;
    std::int32_t* parts[] = {&r.major, &r.minor, &r.build};
    for (auto* part : parts) {
        *part = static_cast<std::int32_t>(std::strtol(p, &end, 10));
        if (end == p || *end != '.') break;
        p = end + 1;
    }
    r.details = u.release;
    return r;
}

}  // namespace

std::string WinverInfo::AdditionalInfo() const {
    std::string info = ReadRelease().details;
    info.resize(128, '\0');
    info.back() = '\0';
    return info;
}

std::int32_t WinverInfo::BuildNumber() const { return ReadRelease().build; }

std::string WinverInfo::GetOSName(std::int32_t& code) const {
    code = WindowsVersion();
    switch (code) {
        case kWin32s: return "Win32s on Win 3.1x";
        case kWindows95Family: return "Windows 95";
        case kNtFamily: return "Windows NT";
        default: return {};
    }
}

std::int32_t WinverInfo::MajorVersion() const { return ReadRelease().major; }
std::int32_t WinverInfo::MinorVersion() const { return ReadRelease().minor; }

}  // namespace corvane
