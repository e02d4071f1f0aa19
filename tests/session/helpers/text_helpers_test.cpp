#include <gtest/gtest.h>

#include <string>

#include "session/helpers/text_helpers.h"

using namespace corvane;

namespace {

struct BeginsRow {
    const char* prefix;
    const char* text;
    bool exact;   // answer in binary mode
    bool folded;  // answer in text mode
};

TEST(BeginsWith, AnswersWhetherTheTextStartsWithThePrefix) {
    const BeginsRow rows[] = {
        {"http://a.com", "http://a.com/page", true, true},
        {"HTTP://A.COM", "http://a.com/page", false, true},
        {"", "", true, true},
        {"", "http://a.com", false, false},
        {"http://a.com", "http://a.co", false, false},  // the prefix without its last character
        {"a.com", "http://a.com", false, false},         // inside the text is not at its start
        {"http://a.com/x", "http://a.com", false, false},
        {"\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89 suite", false, true},  // "Été" against "éTÉ"
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.prefix) + " | " + r.text);
        EXPECT_EQ(BeginsWith(r.prefix, r.text, kBinaryCompare), r.exact);
        EXPECT_EQ(BeginsWith(r.prefix, r.text, kTextCompare), r.folded);
    }
}

TEST(RemoveTrailingSlash, TrimsTheCallersTextAndDropsOneFinalSlash) {
    struct Row {
        const char* in;
        const char* answer;
        const char* variable;
    } const rows[] = {
        {"  http://a.com/  ", "http://a.com", "http://a.com/"},
        {"http://a.com//", "http://a.com/", "http://a.com//"},
        {"http://a.com", "http://a.com", "http://a.com"},
        {" / ", "", "/"},
        {"   ", "", ""},
        {"", "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.in);
        std::string text = r.in;
        EXPECT_EQ(RemoveTrailingSlash(text), r.answer);
        EXPECT_EQ(text, r.variable);
    }
}

}  // namespace
