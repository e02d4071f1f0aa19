// The file: addresses no page opens: how a file: address is read, and which are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "browser/rule/file_address.h"
#include "platform/settings/set_up_record.h"
#include "recordstore/test_support.h"

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

TEST(FileAddress, ReadsTheLocalPathAsTheEngineDoes) {
    struct Row { std::string address; std::optional<std::string> path; };
    const Row rows[] = {
        {"file:///tmp/x.html", "/tmp/x.html"},
        {"FILE:///tmp/x.html", "/tmp/x.html"},
        {"  file:///tmp/x.html ", "/tmp/x.html"},
        {"fi\tle:///tmp/x\n.html", "/tmp/x.html"},
        {"file://localhost/tmp/x", "/tmp/x"},
        {"file://elsewhere/tmp/x", "/tmp/x"},
        {"file:///tmp/", "/tmp"},
        {"file:", "/"},
        {"file:///a%2Fb/%2E%2E/c", "/a/b/../c"},
        {"file:///a\\b", "/a/b"},
        {"file:///a%5Cb", "/a\\b"},
        {"view-source:file:///tmp/x", "/tmp/x"},
        {"View-Source: view-source:FILE:///tmp/x", "/tmp/x"},
        {"http://a.com/file:///tmp/x", std::nullopt},
        {"view-source:http://a.com/", std::nullopt},
        {"about:blank", std::nullopt},
        {"filex:///tmp/x", std::nullopt},
        {"", std::nullopt},
        {"file://[::1/tmp/x", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(FileAddressPath(row.address), row.path) << row.address;
}

class GuardedFileAddressTest : public DataFolderTest {};

TEST_F(GuardedFileAddressTest, CorvanesFilesAndWhatDecidesWhatStartsAreRefusedWhateverTheSpelling) {
    WriteFile(UsersPath(), "users");
    const std::string data = fs::canonical(folder_).string();
    const std::string outside = outside_.Path();
    fs::create_directory_symlink(data, outside + "/to-data");
    // ".." after a link leads elsewhere on disk than by its text: both readings count.
    fs::create_directories(outside + "/deep/er");
    fs::create_directory_symlink(outside + "/deep/er", outside + "/jump");
    const std::string dataName = fs::path(data).filename().string();
    fs::create_directory_symlink(data, outside + "/" + dataName);
    fs::create_directories(SetUpRecordFolder());
    std::string encoded = data;
    for (std::size_t at = 0; (at = encoded.find('/', at)) != std::string::npos; at += 3) encoded.replace(at, 1, "%2F");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/root";
    struct Row { std::string address; bool guarded; };
    const Row rows[] = {
        {"file://" + data + "/users.sec", true},
        {"file://" + data, true},
        {"file://" + data + "/", true},
        {"file://" + data + "/userlog.sec", true},
        {"FILE://localhost" + data + "/users.sec", true},
        {"view-source:file://" + data + "/users.sec", true},
        {"file://" + outside + "/../../" + data.substr(1) + "/users.sec", true},
        {"file://" + outside + "/to-data/users.sec", true},
        {"file://" + outside + "/jump/../" + dataName + "/users.sec", true},
        {"file://" + encoded + "%2Fusers.sec", true},
        {"file://" + data + "%5Cusers.sec", true},
        {"file://" + SetUpRecordFolder() + "/set-up-0", true},
        {"file://" + home + "/.profile", true},
        {"file://" + home + "/.config/autostart/x.desktop", true},
        {"file://[::1" + data, true},
        {"file://" + outside + "/page.html", false},
        {"file://" + outside, false},
        {"http://127.0.0.1" + data + "/users.sec", false},
        {"about:blank", false},
    };
    for (const Row& row : rows) EXPECT_EQ(IsGuardedFileAddress(row.address), row.guarded) << row.address;
}

}  // namespace
}  // namespace corvane::testing
