#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/network/network_folders.h"
#include "platform/network/network_resource.h"
#include "platform/network/smb/smb_network.h"
#include "support/temp_folder.h"

extern char** environ;

using namespace corvane;

namespace {

std::string FindSmbd() {
    for (const char* path : {"/usr/sbin/smbd", "/usr/bin/smbd", "/sbin/smbd"})
        if (::access(path, X_OK) == 0) return path;
    return {};
}

bool Accepts(std::uint16_t port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

// A Samba server on the loopback address with one guest share "pub" on a
// temporary folder, for as long as the object lives.
class LoopbackSamba {
public:
    explicit LoopbackSamba(const std::string& smbd) {
        port = static_cast<std::uint16_t>(20000 + ::getpid() % 20000);
        const std::string state = folder / "state";
        std::filesystem::create_directories(state);
        std::filesystem::create_directories(share());
        const std::string conf = folder.Write("smb.conf",
            "[global]\n"
            "smb ports = " + std::to_string(port) + "\n"
            "interfaces = 127.0.0.1\nbind interfaces only = yes\n"
            "disable netbios = yes\nserver role = standalone server\n"
            "map to guest = Bad User\nguest account = root\n"
            "pid directory = " + state + "\nlock directory = " + state + "\nstate directory = " + state +
            "\ncache directory = " + state + "\nprivate dir = " + state + "\nncalrpc dir = " + state +
            "\nlog file = " + state + "/log\n"
            "[pub]\npath = " + share() + "\nguest ok = yes\nread only = yes\n");
        // smbd and the RPC helpers it starts get a process group of their own:
        // they signal their group when they stop, and must not hold the test's
        // output open after it ends, or the runner waits on them forever.
        std::vector<std::string> args{smbd, "--foreground", "--no-process-group", "-s", conf};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attr, 0);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        const std::string output = state + "/output";
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        if (::posix_spawn(&pid_, smbd.c_str(), &files, &attr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attr);
        // A loaded machine starts smbd slowly; it still answers if it started at all.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (pid_ && !Accepts(port) && std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = 0;  // it ended: nothing will answer
            else std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        running = pid_ && Accepts(port);
    }
    ~LoopbackSamba() { Stop(); }
    // Stops the whole group, by force when it does not go within a few seconds.
    void Stop() {
        if (!pid_) return;
        // The RPC helper daemon smbd starts on demand leaves for a session of
        // its own; its pid file names it.
        pid_t helper = 0;
        std::ifstream(folder / "state/samba-dcerpcd.pid") >> helper;
        if (helper > 1) ::kill(-helper, SIGKILL);
        ::kill(-pid_, SIGTERM);
        bool gone = false;
        for (int i = 0; i < 100 && !gone; ++i) {
            gone = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
            if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        ::kill(-pid_, SIGKILL);
        if (!gone) ::waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }
    pid_t group() const { return pid_; }
    std::string share() const { return folder / "pub"; }

    test_support::TempFolder folder;
    std::uint16_t port = 0;
    bool running = false;

private:
    pid_t pid_ = 0;
};

// Ends the program with a clear message when the work against the server
// outlasts its deadline, so a stuck server can never hold up the run.
class Deadline {
public:
    Deadline(std::chrono::seconds limit, pid_t group)
        : thread_([this, limit, group] {
              std::unique_lock lock(mutex_);
              if (cv_.wait_for(lock, limit, [this] { return done_; })) return;
              std::fprintf(stderr, "smb_network_tests: the loopback server did not answer within %llds\n",
                           static_cast<long long>(limit.count()));
              if (group > 0) ::kill(-group, SIGKILL);
              std::_Exit(1);
          }) {}
    ~Deadline() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

TEST(SmbNetwork, AServerListsItsSharesAndAShareItsFilesAndFolders) {
    const std::string smbd = FindSmbd();
    if (smbd.empty()) GTEST_SKIP() << "smbd is not installed (package samba): the Samba backend is not tried";
    LoopbackSamba samba(smbd);
    if (!samba.running) GTEST_SKIP() << "smbd did not answer on 127.0.0.1:" << samba.port << " within 30 s";
    const Deadline deadline(std::chrono::seconds(30), samba.group());
    std::filesystem::create_directories(samba.share() + "/sub/inner");
    std::ofstream(samba.share() + "/users.sec") << "x";
    InstallSmbNetwork(samba.port);

    NetResourceRecord server;
    server.displayType = 2;
    server.remoteName = "\\\\127.0.0.1";
    NetworkResource resource;
    resource.SetResource(server);
    auto pub = resource.Nodes().Item("\\\\127.0.0.1\\PUB");
    ASSERT_NE(pub, nullptr);
    EXPECT_EQ(pub->ResourceTypeName(), "Share");
    EXPECT_EQ(pub->ShortName(), "pub");
    EXPECT_EQ(pub->Nodes().Count(), 0) << "below a share the neighbourhood has nothing";

    const struct {
        const char* path;
        bool opens;
        std::vector<std::string> files, folders;
    } rows[] = {
        {"\\\\127.0.0.1\\pub", true, {"users.sec"}, {"sub"}},
        {"\\\\127.0.0.1\\pub\\sub", true, {}, {"inner"}},
        {"\\\\127.0.0.1\\pub\\missing", false, {}, {}},
        {"\\\\127.0.0.1\\nothere", false, {}, {}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> files, folders;
        EXPECT_EQ(CurrentNetworkFolders().List(row.path, files, folders), row.opens) << row.path;
        EXPECT_EQ(files, row.files) << row.path;
        EXPECT_EQ(folders, row.folders) << row.path;
    }
    SetNetworkNeighbourhood(nullptr);
    SetNetworkFolders(nullptr);
}

TEST(SmbNetwork, AnUnreachableServerHasNothingToList) {
    InstallSmbNetwork(1);
    std::vector<std::string> files, folders;
    EXPECT_FALSE(CurrentNetworkFolders().List("\\\\127.0.0.1\\pub", files, folders));
    EXPECT_FALSE(CurrentNetworkFolders().List("C:\\not-unc", files, folders));
    NetResourceRecord server;
    server.displayType = 2;
    server.remoteName = "\\\\127.0.0.1";
    NetworkResource resource;
    resource.SetResource(server);
    EXPECT_EQ(resource.Nodes().Count(), 0);
    SetNetworkNeighbourhood(nullptr);
    SetNetworkFolders(nullptr);
}

}  // namespace
