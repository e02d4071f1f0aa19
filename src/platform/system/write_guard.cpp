#include "platform/system/write_guard.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <utility>

#include "platform/core/environment.h"
#include "platform/core/program_globals.h"
#include "platform/core/text.h"
#include "platform/core/unc_path.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/set_up_record.h"
#include "platform/settings/settings_store.h"
#include "platform/system/desktop_opener.h"

namespace corvane {
namespace {

std::mutex gAddedMutex;
std::vector<std::string> gAdded;

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string ParentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path after links as far as it exists, the rest taken as written; "" when
// it cannot be told.
std::string RealPath(const std::string& path) {
    std::error_code ec;
    const auto real = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return ec ? std::string() : real.string();
}

// A place to keep, after links; as written (made absolute) when the links cannot
// be followed, so that no place drops out of the guard.
std::vector<std::string> PlacePaths(const std::vector<std::string>& paths) {
    std::vector<std::string> real;
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        std::string r = RealPath(path);
        if (r.empty()) {
            std::error_code ec;
            r = std::filesystem::absolute(path, ec).lexically_normal().string();
        }
        if (!r.empty()) real.push_back(std::move(r));
    }
    return real;
}

// A kept folder as the file system knows it, whatever spelling reaches it.
struct FolderIdentity {
    dev_t device;
    ino_t inode;
    std::string path;
};

struct Snapshot {
    GuardedPlaces places;
    std::vector<FolderIdentity> folders;
};

Snapshot TakeSnapshot() {
    Snapshot snapshot{{PlacePaths(ProtectedFolders()), PlacePaths(ProtectedStartPlaces()), PlacePaths(HomeFolders())},
                      {}};
    for (const auto* list : {&snapshot.places.folders, &snapshot.places.startPlaces, &snapshot.places.homes})
        for (const std::string& place : *list) {
            struct stat st {};
            if (::stat(place.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                snapshot.folders.push_back({st.st_dev, st.st_ino, place});
        }
    return snapshot;
}

// The target spelt through the kept folder it lies in, the deepest one found:
// on a file system that ignores letter case, or through a second mount, a
// folder's other spelling would otherwise pass the comparison of texts.
std::string SpelledAsPlaces(const std::string& real, const std::vector<FolderIdentity>& folders) {
    if (real.empty() || real.front() != '/') return real;
    for (std::string ancestor = real;; ancestor = ParentOf(ancestor)) {
        struct stat st {};
        if (::stat(ancestor.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            for (const FolderIdentity& folder : folders)
                if (folder.device == st.st_dev && folder.inode == st.st_ino) {
                    const std::size_t skip = ancestor == "/" ? 1 : ancestor.size() + 1;
                    const std::string rest = real.substr(std::min(skip, real.size()));
                    return rest.empty() ? folder.path : Join(folder.path, rest);
                }
        if (ancestor == "/") return real;
    }
}

WriteTargetVerdict Decide(const std::string& real, const Snapshot& snapshot) {
    return DecideWriteTarget(SpelledAsPlaces(real, snapshot.folders), snapshot.places);
}

// The real path of an open folder, as the kernel knows it.
std::string RealPathOf(int fd) {
    char buffer[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

GuardedWrite Failure(int error) {
    GuardedWrite result;
    result.result = GuardedWrite::Result::Failed;
    result.error = error;
    return result;
}

GuardedWrite Refusal(WriteTargetVerdict verdict) {
    GuardedWrite result;
    result.result = GuardedWrite::Result::Refused;
    result.verdict = std::move(verdict);
    return result;
}

// The target's folder, opened and decided through its descriptor; the
// decision also covers the file a link at the name leads to now.
struct OpenedFolder {
    int fd = -1;
    GuardedWrite problem;
    bool ok = false;
};

OpenedFolder OpenTargetFolder(const std::string& target, const Snapshot& places) {
    OpenedFolder opened;
    const std::string name = NameOf(target);
    if (name.empty() || name == "." || name == "..") {
        opened.problem = Failure(EISDIR);
        return opened;
    }
    opened.fd = ::open(ParentOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (opened.fd < 0) {
        opened.problem = Failure(errno);
        return opened;
    }
    const std::string realFolder = RealPathOf(opened.fd);
    WriteTargetVerdict verdict = Decide(Join(realFolder, name), places);
    struct stat st {};
    if (verdict.allowed && ::fstatat(opened.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
        char real[PATH_MAX];
        const std::string through = "/proc/self/fd/" + std::to_string(opened.fd) + "/" + name;
        if (::realpath(through.c_str(), real)) verdict = Decide(real, places);
    }
    if (!verdict.allowed) {
        opened.problem = Refusal(std::move(verdict));
        return opened;
    }
    opened.ok = true;
    return opened;
}

// A new file in the folder that no one else has named yet.
int CreateScratch(int folder, std::string* name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = ".corvane-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".part";
        const int fd = ::openat(folder, name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

GuardedWrite WriteInto(const std::string& target, const Snapshot& places,
                       const std::function<bool(std::FILE*)>& write) {
    OpenedFolder opened = OpenTargetFolder(target, places);
    const Descriptor folder(opened.fd);
    if (!opened.ok) return opened.problem;
    std::string scratch;
    const int fd = CreateScratch(folder.get(), &scratch);
    if (fd < 0) return Failure(errno);
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        ::unlinkat(folder.get(), scratch.c_str(), 0);
        return Failure(error);
    }
    bool written = false;
    try {
        written = write(file);
    } catch (...) {
        std::fclose(file);
        ::unlinkat(folder.get(), scratch.c_str(), 0);
        throw;
    }
    written = written && std::fflush(file) == 0 && !std::ferror(file);
    int error = written ? 0 : (errno ? errno : EIO);
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::renameat(folder.get(), scratch.c_str(), folder.get(), NameOf(target).c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlinkat(folder.get(), scratch.c_str(), 0);
        return Failure(error);
    }
    GuardedWrite result;
    result.result = GuardedWrite::Result::Written;
    result.verdict.allowed = true;
    return result;
}

bool CopyBytes(const std::string& source, std::FILE* out) {
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in) return false;
    char buffer[65536];
    bool ok = true;
    std::size_t n;
    while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) ok = std::fwrite(buffer, 1, n, out) == n;
    ok = ok && !std::ferror(in);
    std::fclose(in);
    return ok;
}

GuardedWrite CopyInto(const std::string& source, const std::string& target, const Snapshot& places) {
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0) return Failure(errno);
    if (!S_ISDIR(st.st_mode))
        return WriteInto(target, places, [&](std::FILE* out) { return CopyBytes(source, out); });
    {
        OpenedFolder opened = OpenTargetFolder(target, places);
        const Descriptor folder(opened.fd);
        if (!opened.ok) return opened.problem;
        const std::string name = NameOf(target);
        if (::mkdirat(folder.get(), name.c_str(), 0777) != 0) {
            struct stat existing {};
            if (errno != EEXIST || ::fstatat(folder.get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0 ||
                !S_ISDIR(existing.st_mode))
                return Failure(errno == 0 ? EEXIST : errno);
        }
    }
    DIR* dir = ::opendir(source.c_str());
    if (!dir) return Failure(errno);
    GuardedWrite result;
    result.result = GuardedWrite::Result::Written;
    result.verdict.allowed = true;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        result = CopyInto(Join(source, name), Join(target, name), places);
        if (result.result != GuardedWrite::Result::Written) break;
    }
    ::closedir(dir);
    return result;
}

}  // namespace

WriteTargetVerdict DecideWriteTarget(const std::string& realTarget, const GuardedPlaces& places) {
    if (realTarget.empty() || realTarget.front() != '/') return {false, {}};
    const auto within = [&](const std::string& place) {
        if (place.empty()) return false;
        const std::string prefix = place.back() == '/' ? place : place + "/";
        return realTarget == place || realTarget.compare(0, prefix.size(), prefix) == 0;
    };
    for (const std::string& folder : places.folders)
        if (within(folder)) return {false, folder};
    for (const std::string& place : places.startPlaces)
        if (within(place)) return {false, place, true};
    // Without a home folder no one can tell what the next login reads.
    if (places.homes.empty()) return {false, {}};
    for (const std::string& home : places.homes) {
        if (home.empty()) return {false, {}};
        const std::string prefix = home.back() == '/' ? home : home + "/";
        if (realTarget.compare(0, prefix.size(), prefix) != 0) continue;
        for (std::size_t start = prefix.size(); start < realTarget.size();) {
            const std::size_t end = std::min(realTarget.find('/', start), realTarget.size());
            if (end > start && realTarget[start] == '.') return {false, realTarget.substr(0, end), true};
            start = end + 1;
        }
    }
    return {true, {}};
}

std::vector<std::string> ProtectedFolders() {
    std::vector<std::string> folders{environment::ProgramFolder()};
    if (!text::TrimSpaces(gDataPath).empty()) folders.push_back(ResolveUncPath(gDataPath));
    folders.push_back(ParentOf(registry_store::HivePath(HKEY_LOCAL_MACHINE)));
    folders.push_back(ParentOf(registry_store::HivePath(HKEY_CURRENT_USER)));
    // The global INI file is Corvane's only while the settings live in it.
    if (gUseGlobalSettingsINIFile && !text::TrimSpaces(gGlobalSettingsINIPathname).empty())
        folders.push_back(ParentOf(ResolveUncPath(gGlobalSettingsINIPathname)));
    folders.push_back(SetUpRecordFolder());
    std::lock_guard lock(gAddedMutex);
    folders.insert(folders.end(), gAdded.begin(), gAdded.end());
    return folders;
}

std::vector<std::string> ProtectedStartPlaces() {
    const DesktopPlaces places = DesktopPlaces::FromEnvironment();
    std::vector<std::string> start = AutostartEntryPaths(places);
    for (auto& place : OpenerReadPlaces(places)) start.push_back(std::move(place));
    // Whole: what the desktop, its autostart and the user's services read there is no list of ours.
    start.insert(start.end(), places.configDirs.begin(), places.configDirs.end());
    start.insert(start.end(), places.dataDirs.begin(), places.dataDirs.end());
    return start;
}

std::vector<std::string> HomeFolders() {
    std::vector<std::string> homes;
    if (std::string home = environment::Variable("HOME"); !home.empty()) homes.push_back(std::move(home));
    // A login shell and the display manager read the account's own, whatever HOME says now.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        *found->pw_dir && (homes.empty() || homes.front() != found->pw_dir))
        homes.emplace_back(found->pw_dir);
    return homes;
}

void ProtectFolder(const std::string& folder) {
    std::lock_guard lock(gAddedMutex);
    gAdded.push_back(folder);
}

WriteTargetVerdict CheckWriteTarget(const std::string& target) {
    const Snapshot places = TakeSnapshot();
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(target, ec).string();
    if (ec) return {false, {}};
    WriteTargetVerdict verdict = Decide(Join(RealPath(ParentOf(absolute)), NameOf(absolute)), places);
    if (verdict.allowed) verdict = Decide(RealPath(absolute), places);
    return verdict;
}

std::string WriteRefusalText(const WriteTargetVerdict& verdict) {
    if (verdict.folder.empty()) return "Nothing was saved. The folder of that file cannot be read. Choose another folder.";
    if (verdict.startPlace)
        return "Nothing was saved. " + verdict.folder +
               " decides which programs start, and cannot be written from here. Choose another folder.";
    return "Nothing was saved. The folder " + verdict.folder +
           " holds Corvane's own files, which cannot be written from here. Choose another folder.";
}

GuardedWrite WriteFileGuarded(const std::string& target, const std::function<bool(std::FILE*)>& write) {
    return WriteInto(target, TakeSnapshot(), write);
}

GuardedWrite CopyGuarded(const std::string& source, const std::string& target) {
    return CopyInto(source, target, TakeSnapshot());
}

}  // namespace corvane
