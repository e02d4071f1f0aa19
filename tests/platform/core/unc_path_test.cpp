#include <gtest/gtest.h>

#include "platform/core/unc_path.h"

namespace corvane {
namespace {

constexpr const char* kMounts =
    "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
    "40 22 0:35 / /mnt/other rw - nfs //srv/data rw\n"
    "41 22 0:36 /sub /mnt/part rw - cifs //srv/data rw\n"
    "42 22 0:37 / /mnt/srv\\040data rw,relatime - cifs //SRV/Data rw,vers=3.1.1\n"
    "43 22 0:38 / /mnt/second rw - cifs //srv/data rw\n"
    "44 22 0:39 / /media/pub rw shared:5 - smb3 //files.local/pub/ rw\n";

TEST(UncPath, AMountedShareResolvesToItsMountPointWhateverTheCase) {
    const struct {
        const char* unc;
        const char* folder;
    } rows[] = {
        {"\\\\srv\\data", "/mnt/srv data"},
        {"\\\\Srv\\DATA\\records\\2024", "/mnt/srv data/records/2024"},
        {"\\\\files.local\\pub\\x", "/media/pub/x"},
        {"\\\\srv\\other", ""},
        {"\\\\srv", ""},
        {"/srv/data", ""},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(MountedFolderOf(row.unc, kMounts), row.folder) << row.unc;
}

TEST(UncPath, OnlyUncPathsOfMountedSharesChange) {
    EXPECT_EQ(ResolveUncPath("/var/lib/corvane"), "/var/lib/corvane");
    EXPECT_EQ(ResolveUncPath("\\\\no-such-server-here\\share"), "\\\\no-such-server-here\\share");
}

}  // namespace
}  // namespace corvane
