// Several processes (workstations sharing one data folder) appending to one table at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "recordstore/user.h"
#include "recordstore/test_support.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::kUserData;
using testing::kUserSlot;

class ConcurrentAppend : public DataFolderTest {};

TEST_F(ConcurrentAppend, EveryRecordKeepsItsOwnSlot) {
    constexpr int kProcesses = 8;
    constexpr int kEach = 150;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(start[1]);
            char c;
            (void)!::read(start[0], &c, 1);  // wait until every process is ready
            int status = 0;
            try {
                User user;  // a handle of its own, like another workstation
                for (int i = 0; i < kEach; ++i) {
                    user.SetLogin("p" + std::to_string(p) + "-" + std::to_string(i));
                    user.AddNew();
                    if (user.Login() != "p" + std::to_string(p) + "-" + std::to_string(i)) status = 2;
                }
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        children.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);  // go
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    const std::string file = ReadFile(UsersPath());
    ASSERT_EQ(file.size(), (kProcesses * kEach - 1) * kUserSlot + kUserData);
    std::set<std::string> logins;
    for (int n = 0; n < kProcesses * kEach; ++n) logins.insert(file.substr(n * kUserSlot + 50, 20));
    EXPECT_EQ(logins.size(), static_cast<std::size_t>(kProcesses * kEach));
    User reader;
    EXPECT_EQ(reader.RecordCount(), kProcesses * kEach);
    EXPECT_EQ(reader.UserCount(), kProcesses * kEach);
}

}  // namespace
}  // namespace corvane
