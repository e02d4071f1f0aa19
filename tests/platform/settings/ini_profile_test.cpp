#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/settings/ini_profile.h"
#include "platform/settings/settings_fixture.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

class IniProfileTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        file_ = Path("settings.ini");
    }

    std::string Read(std::string_view section, std::string_view key, const std::string& file) const {
        return profile::ReadString(section, key, "<default>", profile::kWholeText, file);
    }
    std::string Read(std::string_view section, std::string_view key) const { return Read(section, key, file_); }

    std::string file_;
};

std::string Bytes(std::initializer_list<int> hex) {
    std::string s;
    for (int b : hex) s.push_back(static_cast<char>(b));
    return s;
}

// A CR alone ends a line on reading, and a write after it keeps the line
// before it whole.
TEST_F(IniProfileTest, LoneCrEndsALine) {
    struct Row {
        std::string file;
        std::vector<std::pair<std::string, std::string>> keptValues;  // key of [A] and its value
    };
    const Row rows[] = {
        {Bytes({0x5c, 0xff, 0x6b, 0x5c, 0x07, 0x5c, 0x07, 0x0d, 0x07}), {}},
        {"[A]\r\nData Path=/srv/corvane\r", {{"Data Path", "/srv/corvane"}}},
        {"[A]\rx=1\ry=2\r", {{"x", "1"}, {"y", "2"}}},
        {"[A]\r\rx=1\r\r\ny=2", {{"x", "1"}, {"y", "2"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.file));
        WriteFile(file_, row.file);
        for (const auto& [key, value] : row.keptValues) EXPECT_EQ(Read("A", key), value);
        ASSERT_TRUE(profile::WriteString("Window", "Left", "10", file_));
        EXPECT_EQ(Read("Window", "Left"), "10");
        for (const auto& [key, value] : row.keptValues) EXPECT_EQ(Read("A", key), value);
        // The old bytes stay as they were, the new lines follow them.
        EXPECT_EQ(ReadFile(file_).substr(0, row.file.size()), row.file);
        if (!row.keptValues.empty()) {
            ASSERT_TRUE(profile::WriteString("A", row.keptValues.front().first, "new", file_));
            EXPECT_EQ(Read("A", row.keptValues.front().first), "new");
            EXPECT_EQ(Read("Window", "Left"), "10");
        }
    }
    // A key replaced in a CR-only file keeps its CR ending.
    WriteFile(file_, "[A]\rx=1\ry=2\r");
    ASSERT_TRUE(profile::WriteString("A", "x", "3", file_));
    EXPECT_EQ(ReadFile(file_), "[A]\rx=3\ry=2\r");
}

// Blanks at either end of a section or key name are not part of the name.
TEST_F(IniProfileTest, NamesAreTrimmedOnBothSides) {
    struct Row {
        const char* writeSection;
        const char* writeKey;
        const char* readSection;
        const char* readKey;
    };
    const Row rows[] = {
        {" Global Settings ", " Login Caption ", "Global Settings", "Login Caption"},
        {"\tGlobal Settings", "Login Caption\t", " Global Settings\t", "\t Login Caption"},
        {"Global Settings", "Login Caption", "  global settings  ", " login caption "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.writeSection) + "|" + row.writeKey);
        std::remove(file_.c_str());
        ASSERT_TRUE(profile::WriteString(row.writeSection, row.writeKey, "one", file_));
        const std::string once = ReadFile(file_);
        ASSERT_TRUE(profile::WriteString(row.writeSection, row.writeKey, "two", file_));
        EXPECT_EQ(Read(row.readSection, row.readKey), "two");
        // The second write replaced the value instead of adding a section.
        EXPECT_EQ(ReadFile(file_), "[Global Settings]\r\nLogin Caption=two\r\n");
        EXPECT_EQ(once.size(), ReadFile(file_).size());
        ASSERT_TRUE(profile::WriteString(row.readSection, row.readKey, std::nullopt, file_));
        EXPECT_EQ(Read(row.writeSection, row.writeKey), "<default>");
    }
}

// A FIFO or a device where the file should be reads as a missing file and
// is never written; nothing waits on it.
TEST_F(IniProfileTest, SpecialFilesAreRefusedWithoutWaiting) {
    const std::string fifo = Path("fifo.ini");
    const std::string device = Path("device.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
    for (const auto& path : {fifo, device}) {
        SCOPED_TRACE(path);
        const int code = RunInChild([&] {
            ::alarm(10);  // a hang ends the child with SIGALRM
            int bad = 0;
            if (profile::ReadString("A", "x", "def", profile::kWholeText, path) != "def") bad |= 1;
            if (profile::ReadString(std::nullopt, std::nullopt, "", profile::kWholeText, path) != "") bad |= 2;
            if (profile::WriteString("A", "x", "1", path)) bad |= 4;
            if (profile::WriteString("A", "x", std::nullopt, path)) bad |= 8;
            if (profile::WriteStrings("A", {{"x", "1"}}, path)) bad |= 16;
            return bad;
        });
        EXPECT_EQ(code, 0);
    }
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A reader waits for a writer that holds the file's lock instead of reading
// a half-written file.
TEST_F(IniProfileTest, ReadersWaitForTheWritersLock) {
    const std::string whole = "[Global Settings]\r\nData Path=/srv/corvane\r\nLanguage=1\r\n";
    WriteFile(file_, whole);
    const int fd = ::open(file_.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    // What an in-place writer leaves while it is still writing.
    ASSERT_EQ(::ftruncate(fd, 20), 0);

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(10);
        ::close(fd);  // the lock belongs to the parent alone
        ::close(pipeFds[0]);
        const std::string seen = profile::ReadString("Global Settings", "Language", "none", profile::kWholeText, file_);
        (void)!::write(pipeFds[1], seen.data(), seen.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    pollfd waiting{pipeFds[0], POLLIN, 0};
    EXPECT_EQ(::poll(&waiting, 1, 500), 0) << "the reader did not wait for the lock";
    ASSERT_EQ(::pwrite(fd, whole.data(), whole.size(), 0), static_cast<ssize_t>(whole.size()));
    ::close(fd);  // gives the lock back

    char buf[32] = {};
    const ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0), "1");
}

// Where the folder refuses new files, the file is rewritten in place and
// reads back whole.
TEST_F(IniProfileTest, FolderRefusingNewFilesIsWrittenInPlace) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs a second Linux user";
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    WriteFile(file_, "; kept\r\n[Global Settings]\r\nLanguage=1\r\n");
    ASSERT_EQ(::chmod(file_.c_str(), 0666), 0);
    struct stat before {};
    ASSERT_EQ(::stat(file_.c_str(), &before), 0);
    const int code = RunInChild([&] {
        if (!profile::WriteString("Global Settings", "Language", "0", file_)) return 1;
        if (!profile::WriteStrings("Global Settings", {{"Data Path", "/srv"}, {"Language", "2"}}, file_)) return 2;
        return 0;
    }, true);
    EXPECT_EQ(code, 0);
    struct stat after {};
    ASSERT_EQ(::stat(file_.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(ReadFile(file_), "; kept\r\n[Global Settings]\r\nLanguage=2\r\nData Path=/srv\r\n");
}

// A small file system of its own, filled to the last byte, in a child with a
// mount namespace of its own. Returns the child's code, or -1 when the
// machine does not allow the mount.
int OnFullFileSystem(const std::function<int(const std::string& dir)>& body, bool asNobody) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        char dir[] = "/tmp/corvane-full-XXXXXX";
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            !::mkdtemp(dir) || ::mount("tmpfs", dir, "tmpfs", 0, "size=64k,mode=0755") != 0)
            ::_exit(99);
        const std::string d = dir;
        // The old file fills whole pages, so any growth needs a new one.
        std::string old = "[Global Settings]\r\nLanguage=1\r\n[Last]\r\n";
        old += "Padding=" + std::string(8192 - old.size() - 18, 'p') + "\r\nTail=1\r\n";
        { std::ofstream(d + "/settings.ini", std::ios::binary) << old; }
        ::chmod((d + "/settings.ini").c_str(), 0666);
        const int filler = ::open((d + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string block(4096, 'f');
        for (std::size_t size = block.size(); size > 0; size /= 2)
            while (::write(filler, block.data(), size) == static_cast<ssize_t>(size)) {}
        ::close(filler);
        ::sync();
        if (asNobody) {
            const passwd* pw = ::getpwnam("nobody");
            if (!pw || ::setgid(pw->pw_gid) != 0 || ::setuid(pw->pw_uid) != 0) ::_exit(120);
        }
        int code = body(d);
        std::ifstream in(d + "/settings.ini", std::ios::binary);
        if (std::string(std::istreambuf_iterator<char>(in), {}) != old) code |= 64;
        ::umount2(dir, MNT_DETACH);
        ::rmdir(dir);
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status) == 99 ? -1 : WEXITSTATUS(status);
}

// On a full disk a write fails and leaves the old file as it was, whether
// it went through a new file or in place.
TEST_F(IniProfileTest, FullDiskLeavesTheOldFileUntouched) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "new file");
        const int code = OnFullFileSystem([](const std::string& dir) {
            const std::string file = dir + "/settings.ini";
            int bad = 0;
            if (profile::WriteString("Global Settings", "Login Caption", std::string(300, 'c'), file)) bad |= 1;
            if (profile::WriteStrings("New", {{"a", "1"}, {"b", "2"}}, file)) bad |= 2;
            if (profile::ReadString("Last", "Tail", "", profile::kWholeText, file) != "1") bad |= 4;
            return bad;
        }, inPlace);
        if (code == -1) GTEST_SKIP() << "this machine does not allow mounting a small file system";
        EXPECT_EQ(code, 0) << "1/2: a write reported success, 4: a key was lost, 64: the file changed";
    }
}

// A disk that takes `room` more bytes, then cuts the write that crosses it short and refuses
// the next with `error`.
struct FailingDisk {
    static inline std::size_t room = 0;
    static inline int error = ENOSPC;
    static ssize_t Write(int fd, const void* data, std::size_t size) {
        if (room == 0) {
            errno = error;
            return -1;
        }
        const std::size_t n = std::min(size, room);
        room -= n;
        return ::write(fd, data, n);
    }
};

// A save that fails half way (at once, cut short mid-file, on a later write; full disk or I/O
// error) leaves the old file whole, a missing file missing, and no new file beside it; the
// next save that works keeps the file's mode.
TEST_F(IniProfileTest, ASaveThatFailsHalfWayLeavesTheOldFileWhole) {
    const std::string old = "; kept\r\n[Global Settings]\r\nLanguage=1\r\nData Path=/srv/old\r\n";
    const std::vector<std::pair<std::string, std::string>> save = {
        {"Language", "2"}, {"Data Path", std::string(5000, 'd')}, {"Require Login", "True"}};
    const auto entries = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    };
    struct Fault {
        const char* name;
        std::size_t room;
        int error;
    } const faults[] = {
        {"refused at once (full disk)", 0, ENOSPC},
        {"cut short mid-file (full disk)", 20, ENOSPC},
        {"a later write fails (I/O error)", 4096, EIO},
    };
    for (const bool exists : {true, false}) {
        for (const auto& fault : faults) {
            SCOPED_TRACE(std::string(fault.name) + (exists ? ", over a file" : ", no file yet"));
            std::filesystem::remove(file_);
            if (exists) {
                WriteFile(file_, old);
                ASSERT_EQ(::chmod(file_.c_str(), 0640), 0);
            }
            const auto before = entries();
            FailingDisk::room = fault.room;
            FailingDisk::error = fault.error;
            const auto previous = profile::SetWriteCall(FailingDisk::Write);
            const bool many = profile::WriteStrings("Global Settings", save, file_);
            FailingDisk::room = fault.room;
            const bool one = profile::WriteString("Global Settings", "Data Path", std::string(5000, 'e'), file_);
            profile::SetWriteCall(previous);
            EXPECT_FALSE(many);
            EXPECT_FALSE(one);
            EXPECT_EQ(entries(), before);
            if (exists) EXPECT_EQ(ReadFile(file_), old);
            else EXPECT_FALSE(std::filesystem::exists(file_));
        }
    }
    WriteFile(file_, old);
    ASSERT_EQ(::chmod(file_.c_str(), 0640), 0);
    ASSERT_TRUE(profile::WriteStrings("Global Settings", save, file_));
    EXPECT_EQ(Read("Global Settings", "Require Login"), "True");
    struct stat st {};
    ASSERT_EQ(::stat(file_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A settings file above 1 MiB (a zero-filled tail after a crash) is not read, and no save
// rewrites it.
TEST_F(IniProfileTest, AFileAboveOneMiBIsNeitherReadNorRewritten) {
    WriteFile(file_, "[Global Settings]\r\nLanguage=1\r\n");
    ASSERT_EQ(::truncate(file_.c_str(), (off_t{1} << 20) + 1), 0);
    EXPECT_EQ(Read("Global Settings", "Language"), "<default>");
    EXPECT_FALSE(profile::WriteString("Global Settings", "Language", "2", file_));
    EXPECT_EQ(std::filesystem::file_size(file_), (std::uintmax_t{1} << 20) + 1);
    ASSERT_EQ(::truncate(file_.c_str(), off_t{1} << 20), 0);
    EXPECT_EQ(Read("Global Settings", "Language"), "1");
}

}  // namespace
