// The version information generated from the project's version.
#include <gtest/gtest.h>

#include <string>

#include "platform/core/version_info.h"

namespace corvane {
namespace {

TEST(VersionInfo, NumbersAndTextsAgree) {
    const std::string major = std::to_string(version::kMajor);
    const std::string minor = std::to_string(version::kMinor);
    const std::string revision = std::to_string(version::kRevision);
    EXPECT_EQ(version::kFileVersion, major + "." + minor + "." + revision);
    EXPECT_EQ(version::kVersion, major + ":" + minor + ":" + revision);
    EXPECT_GE(version::kRevision, 0);
    EXPECT_STREQ(version::kProductName, "Corvane Standard");
    EXPECT_STREQ(version::kCompanyName, "Pellix Software");
    EXPECT_NE(std::string(version::kLegalCopyright).find("Pellix Software"), std::string::npos);
}

}  // namespace
}  // namespace corvane
