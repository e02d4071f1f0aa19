#include "platform/system/file_info.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "platform/system/file_helpers.h"
#include "platform/core/text.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

OleDate ToDate(const statx_timestamp& t) {
    // Milliseconds are dropped, as the stored times always had whole seconds.
    const auto point = std::chrono::system_clock::time_point(std::chrono::seconds(t.tv_sec));
    return FromSystemTime(point);
}

// "1,234,567"
std::string WithThousands(std::int64_t n) {
    const bool negative = n < 0;
    const auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(n)
                                    : static_cast<unsigned long long>(n);
    const std::string digits = std::to_string(magnitude);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

// size / divisor rounded half away from zero to the given decimals, exactly.
std::string Scaled(std::int64_t size, std::int64_t divisor, int decimals) {
    __int128 scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const __int128 num = static_cast<__int128>(size) * scale;
    const __int128 q = (2 * num + divisor) / (2 * static_cast<__int128>(divisor));
    const auto whole = static_cast<long long>(q / scale);
    std::string out = std::to_string(whole);
    if (decimals > 0) {
        std::string frac = std::to_string(static_cast<long long>(q % scale));
        frac.insert(0, static_cast<std::size_t>(decimals) - frac.size(), '0');
        out += "." + frac;
    }
    return out;
}

const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

}  // namespace

void FileInfo::SetFullPathName(std::string_view newFile) {
    if (newFile.empty()) return;
    std::error_code ec;
    const fs::path resolved = fs::absolute(NativePath(newFile), ec).lexically_normal();
    if (ec || resolved.empty()) return;
    fullPathName_ = resolved.string();
    Refresh();
}

void FileInfo::Refresh() {
    struct statx sx {};
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    if (fullPathName_.empty() ||
        statx(AT_FDCWD, fullPathName_.c_str(), AT_STATX_SYNC_AS_STAT, mask, &sx) != 0) {
        fileExists_ = false;
        return;
    }
    fileExists_ = true;
    pathExists_ = true;

    std::string full = fullPathName_;
    while (full.size() > 1 && full.back() == '/') full.pop_back();
    const auto slash = full.rfind('/');
    filename_ = full.substr(slash + 1);
    filepath_ = full.substr(0, slash + 1);
    if (filepath_.empty()) filepath_ = "/";
    fullPathName_ = filepath_ + filename_;

    fileSize_ = static_cast<std::int64_t>(sx.stx_size);
    // The room the file takes on disk, but never more than its length: a file
    // that is neither sparse nor compressed reports its length, as ever.
    compressedSize_ = std::min<std::int64_t>(fileSize_, static_cast<std::int64_t>(sx.stx_blocks) * 512);

    attributes_ = 0;
    if ((sx.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes_ |= kReadOnly;
    if (!filename_.empty() && filename_.front() == '.') attributes_ |= kHidden;
    if (S_ISDIR(sx.stx_mode)) attributes_ |= kDirectory;
    if (sx.stx_attributes & STATX_ATTR_COMPRESSED) attributes_ |= kCompressed;
    if (attributes_ == 0) attributes_ = kNormal;

    creationTime_ = ToDate((sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime);
    lastAccessTime_ = ToDate(sx.stx_atime);
    modifyTime_ = ToDate(sx.stx_mtime);

    const auto dot = filename_.rfind('.');
    fileExtension_ = dot == std::string::npos ? std::string() : filename_.substr(dot + 1);
    shortName_ = text::ToUpper(filename_);
    shortPathName_ = fullPathName_;
    shortPath_ = filepath_;
    displayName_ = filename_;
    typeName_ = text::Trim(text::ToUpper(fileExtension_) + " File");
}

std::string FileInfo::FormatFileDate(OleDate dT) {
    const auto parts = ToParts(dT);
    if (!parts) return {};
    const auto days = std::chrono::sys_days(std::chrono::year_month_day(
        std::chrono::year(parts->year), std::chrono::month(static_cast<unsigned>(parts->month)),
        std::chrono::day(static_cast<unsigned>(parts->day))));
    const unsigned weekday = std::chrono::weekday(days).c_encoding();
    const int hour12 = parts->hour % 12 == 0 ? 12 : parts->hour % 12;
    char time[32];
    std::snprintf(time, sizeof time, "%d:%02d:%02d %s", hour12, parts->minute, parts->second,
                  parts->hour < 12 ? "AM" : "PM");
    return std::string(kDays[weekday]) + ", " + kMonths[parts->month - 1] + " " +
           std::to_string(parts->day) + ", " + std::to_string(parts->year) + " " + time;
}

std::string FileInfo::FormatFileSize(std::int64_t size) {
    if (size < 1024) return WithThousands(size) + " bytes";
    constexpr std::int64_t kKB = 1024, kMB = 1048576, kGB = 1073741824;
    const std::int64_t k = size / kKB;
    std::string number;
    if (k < 10) number = Scaled(size, kKB, 2) + "KB";
    else if (k < 100) number = Scaled(size, kKB, 1) + "KB";
    else if (k < 1000) number = Scaled(size, kKB, 0) + "KB";
    else if (k < 10000) number = Scaled(size, kMB, 2) + "MB";
    else if (k < 100000) number = Scaled(size, kMB, 1) + "MB";
    else if (k < 1000000) number = Scaled(size, kMB, 0) + "MB";
    else number = Scaled(size, kGB, 2) + "GB";
    return number + " (" + WithThousands(size) + " bytes)";
}

}  // namespace corvane
