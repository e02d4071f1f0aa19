#include "platform/system/file_helpers.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/core/cp1252.h"
#include "platform/core/event_loop.h"
#include "platform/system/file_info.h"
#include "platform/core/raised_error.h"
#include "platform/settings/registry_access.h"
#include "platform/core/text.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::size_t LastSeparator(std::string_view s) { return s.find_last_of("/\\"); }

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// Lists the folder for entries matching the pattern; folders count only when
// asked for. Hidden, read-only and system files all count.
bool FindEntry(const std::string& name, bool foldersToo) {
    if (name.empty()) return false;
    const std::string native = NativePath(name);
    std::string folder;
    std::string pattern;
    const auto slash = native.rfind('/');
    if (slash == std::string::npos) {
        folder = ".";
        pattern = native;
    } else {
        folder = slash == 0 ? "/" : native.substr(0, slash);
        pattern = native.substr(slash + 1);
    }
    if (pattern.empty()) pattern = "*";  // "folder/" finds any file in it

    const auto matches = [&](const std::string& path) {
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) return false;
        return S_ISDIR(st.st_mode) ? foldersToo : true;
    };
    if (!HasWildcard(pattern)) return matches(folder + "/" + pattern);

    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return false;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string entryName = entry->d_name;
        if (entryName == "." || entryName == "..") continue;
        if (fnmatch(pattern.c_str(), entryName.c_str(), 0) == 0 &&
            matches(folder + "/" + entryName))
            return true;
    }
    return false;
}

std::int32_t CombinedFlags(bool silent, bool noConfirm, std::int32_t flags, const char* source) {
    const std::int32_t combined =
        (silent ? File::kSilent : 0) | (noConfirm ? File::kNoConfirmation : 0) | flags;
    if (combined < INT16_MIN || combined > INT16_MAX) throw OverflowError(source);
    return combined;
}

std::int32_t ErrorCode(const std::error_code& ec) { return ec ? (ec.value() ? ec.value() : -1) : 0; }

fs::path Destination(const fs::path& source, const fs::path& destination) {
    std::error_code ec;
    if (fs::is_directory(destination, ec) && !fs::equivalent(source, destination, ec))
        return destination / source.filename();
    return destination;
}

std::int32_t Copy(const std::string& source, const std::string& destination) {
    const fs::path from = NativePath(source);
    const fs::path to = Destination(from, NativePath(destination));
    std::error_code ec;
    if (!fs::exists(from, ec)) return ENOENT;
    fs::copy(from, to, fs::copy_options::overwrite_existing | fs::copy_options::recursive, ec);
    return ErrorCode(ec);
}

std::string Compact(std::string_view path, int maxPixels, const TextWidth& width, bool shortenName) {
    const std::string whole(path);
    if (!width || width(whole) <= maxPixels) return whole;
    const auto sep = LastSeparator(path);
    const std::string head = sep == std::string_view::npos ? std::string() : whole.substr(0, sep);
    const std::string tail = sep == std::string_view::npos ? whole : whole.substr(sep);
    // Keep as much of the beginning as fits before "..." and the file name,
    // never cutting a character in two.
    const auto midCharacter = [](const std::string& s, std::size_t at) {
        return at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80;
    };
    for (std::size_t keep = head.size(); keep-- > 0;) {
        if (midCharacter(head, keep)) continue;
        const std::string candidate = head.substr(0, keep) + "..." + tail;
        if (width(candidate) <= maxPixels) return candidate;
    }
    const std::string bare = "..." + tail;
    if (!shortenName || width(bare) <= maxPixels) return bare;
    for (std::size_t keep = tail.size(); keep-- > 0;) {
        if (midCharacter(tail, keep)) continue;
        const std::string candidate = tail.substr(0, keep) + "...";
        if (width(candidate) <= maxPixels) return candidate;
    }
    return "...";
}

// The unnamed value of a key below HKEY_CLASSES_ROOT as text, without its
// terminating NUL: nothing when the key cannot be opened for reading, an
// empty read when the value cannot be read.
struct ClassesRootValue {
    bool read = false;
    std::string text;
};

std::optional<ClassesRootValue> ReadClassesRoot(std::string_view keyPath) {
    RegKey key = 0;
    if (registry_store::OpenKey(HKEY_CLASSES_ROOT, keyPath, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::int32_t type = REG_NONE;
    std::string bytes;
    ClassesRootValue value;
    value.read = ReadValueBytes(key, "", &type, &bytes) == ERROR_SUCCESS;
    registry_store::CloseKey(key);
    if (!value.read) return value;
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    value.text = cp1252::ToUtf8(bytes);
    return value;
}

}  // namespace

std::string NativePath(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

std::int32_t File::FileCopy(const std::string& strSource, const std::string& strDestination,
                            bool blnSilent, bool blnNoConfirm, std::int32_t flags) {
    YieldToEventLoop();
    CombinedFlags(blnSilent, blnNoConfirm, flags, "File.FileCopy");
    return Copy(strSource, strDestination);
}

std::int32_t File::FileMove(const std::string& strSource, const std::string& strDestination,
                            bool blnSilent, bool blnNoConfirm, std::int32_t flags) {
    CombinedFlags(blnSilent, blnNoConfirm, flags, "File.FileMove");
    const fs::path from = NativePath(strSource);
    const fs::path to = Destination(from, NativePath(strDestination));
    std::error_code ec;
    if (!fs::exists(from, ec)) return ENOENT;
    fs::rename(from, to, ec);
    if (ec == std::errc::cross_device_link) {
        // Another file system: copy, and remove the source only once the copy is whole.
        ec.clear();
        fs::copy(from, to, fs::copy_options::overwrite_existing | fs::copy_options::recursive, ec);
        if (!ec) fs::remove_all(from, ec);
    }
    return ErrorCode(ec);
}

void File::DeleteFile(const std::string& strFile) {
    if (!FileExists(strFile)) return;
    std::error_code ec;
    fs::remove(NativePath(strFile), ec);
}

void File::CopyFile(const std::string& strSourceFile, const std::string& strDestFile) {
    if (FileExists(strSourceFile)) FileCopy(strSourceFile, strDestFile, false, false, 0);
}

bool File::CreatePath(const std::string& strPath) {
    if (text::TrimSpaces(strPath).empty()) return false;
    const fs::path path = NativePath(strPath);
    std::error_code ec;
    fs::create_directories(path, ec);
    return !ec && fs::is_directory(path, ec);
}

std::string File::StripPath(std::string_view strFileName) const { return GetFileName(strFileName); }

std::string File::GetFileName(std::string_view strFileName) const {
    const auto sep = LastSeparator(strFileName);
    return std::string(sep == std::string_view::npos ? strFileName : strFileName.substr(sep + 1));
}

std::string File::StripExtension(std::string_view strFileName) const {
    return std::string(strFileName.substr(0, strFileName.find('.')));
}

std::string File::GetExtension(std::string_view strFileName) const {
    const auto dot = strFileName.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(strFileName.substr(dot + 1));
}

std::string File::DirClean(std::string_view strDir) const {
    std::string_view s = text::TrimSpaces(strDir);
    while (!s.empty() && IsSeparator(s.back())) s.remove_suffix(1);
    return std::string(s);
}

std::string File::GetPath(std::string_view strFileSpec) const {
    const auto sep = LastSeparator(strFileSpec);
    if (sep != std::string_view::npos) return std::string(strFileSpec.substr(0, sep + 1));
    if (strFileSpec.find(':') == 1) return std::string(strFileSpec.substr(0, 2));
    return {};
}

std::string File::FixPath(std::string_view strPath) const {
    if (!strPath.empty() && IsSeparator(strPath.back())) return std::string(strPath);
    const bool backslashes = strPath.find('\\') != std::string_view::npos &&
                             strPath.find('/') == std::string_view::npos;
    return std::string(strPath) + (backslashes ? "\\" : "/");
}

bool File::IsFile(std::string_view strPathName) const { return !GetFileName(strPathName).empty(); }

bool File::FileExists(const std::string& filename) const { return FindEntry(filename, false); }

bool File::Exists(const std::string& pathName) const { return FindEntry(pathName, true); }

std::string File::FindRootFile(const std::string& strFileName) const {
    YieldToEventLoop();
    const std::string name = NativePath(strFileName);
    if (name.empty() || name.front() == '.' || name.find("/.") != std::string::npos) return {};
    struct stat st {};
    const std::string path = "/" + name;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return "/";
    return {};
}

std::string File::CompactedPath(std::string_view sPath, std::int32_t lMaxPixels,
                                const TextWidth& width) const {
    return Compact(sPath, lMaxPixels, width, false);
}

std::string File::CompactedPathShort(std::string_view sPath, std::int32_t lMaxPixels,
                                     const TextWidth& width) const {
    return Compact(sPath, lMaxPixels, width, true);
}

std::string File::GetFileAssociation(std::string_view strExt) const {
    const auto fileType = ReadClassesRoot(strExt);
    if (!fileType) return "Unregistered file extension " + std::string(strExt);
    if (!fileType->read) return {};
    const auto command = ReadClassesRoot(fileType->text + "\\shell\\open\\command");
    if (!command) return "File type is not associated with a program.";
    return command->text;
}

bool File::MatchFileName(const std::string& path, const std::string& name) const {
    FileInfo info;
    info.SetFullPathName(path);
    const std::string_view wanted = text::TrimSpaces(name);
    return text::Equals(text::TrimSpaces(info.Filename()), wanted) ||
           text::Equals(text::TrimSpaces(path), wanted);
}

}  // namespace corvane
