#include "browser/rule/file_address.h"

#include <QString>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <string_view>

#include "platform/core/text.h"
#include "platform/system/write_guard.h"

namespace corvane {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text::Equals(text.substr(0, prefix.size()), prefix);
}

// As the engine takes an address in: tabs and line breaks anywhere, and
// control characters and spaces at either end, do not count.
std::string Cleaned(std::string address) {
    address.erase(std::remove_if(address.begin(), address.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }),
                  address.end());
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    const auto first = std::find_if_not(address.begin(), address.end(), blank);
    const auto last = std::find_if_not(address.rbegin(), address.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool Guarded(const std::string& path) { return !CheckWriteTarget(path).allowed; }

}  // namespace

std::optional<std::string> FileAddressPath(const std::string& address) {
    std::string text = Cleaned(address);
    while (StartsWithNoCase(text, "view-source:")) text = Cleaned(text.substr(12));
    if (!StartsWithNoCase(text, "file:")) return std::nullopt;
    // The engine reads a backslash in a file: address as a slash.
    std::replace(text.begin(), text.end(), '\\', '/');
    const QUrl url(QString::fromStdString(text), QUrl::TolerantMode);
    if (!url.isValid()) return std::string();
    std::string path = url.path(QUrl::FullyDecoded).toStdString();
    if (path.empty() || path.front() != '/') path.insert(0, 1, '/');
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool IsGuardedFileAddress(const std::string& address) {
    const std::optional<std::string> path = FileAddressPath(address);
    if (!path) return false;
    if (path->empty()) return true;
    // A backslash escaped as "%5C" names a file of that name here; and ".." may be taken by
    // its text (as the engine reads an address) or after links (as the file system does).
    // Refused when any reading reaches a guarded place.
    std::string slashed = *path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    for (const std::string& each : {*path, slashed})
        if (Guarded(each) || Guarded(std::filesystem::path(each).lexically_normal().string())) return true;
    return false;
}

}  // namespace corvane
