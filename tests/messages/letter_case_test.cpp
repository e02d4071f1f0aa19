#include "messages/letter_case.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace corvane::messages {
namespace {

struct CaseRow {
    std::string text;
    int format;
    std::optional<std::string> expected;
};

TEST(LetterCaseTest, Forms) {
    const std::optional<std::string> none;
    const CaseRow rows[] = {
        {"", kCaseAsIs, ""},
        {"", kCaseUpper, ""},
        {"", kCaseProper, ""},
        {"", kCaseSentence, none},
        {"   ", kCaseSentence, none},
        {"  mIXed  Case  ", kCaseAsIs, "  mIXed  Case  "},
        {"  mIXed  Case  ", kCaseSentence, "Mixed  case"},
        {"\r\nline", kCaseSentence, "\r\nline"},
        {"dOUBLE  space\r\nnEXT line\ttab", kCaseProper, "Double  Space\r\nNext Line\tTab"},
        {"o'brien-smith 1st", kCaseProper, "O'brien-smith 1st"},
        {"r\xC3\xA9sum\xC3\xA9 \xC3\xA9t\xC3\xA9", kCaseUpper, "R\xC3\x89SUM\xC3\x89 \xC3\x89T\xC3\x89"},
        {"\xC3\x89T\xC3\x89", kCaseLower, "\xC3\xA9t\xC3\xA9"},
        {"\xC3\xA9t\xC3\xA9", kCaseSentence, "\xC3\x89t\xC3\xA9"},
        {"\xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9", kCaseProper, "\xC3\x89t\xC3\xA9 \xC3\x89t\xC3\xA9"},
        // Characters the code page cannot hold, and stray bytes, are kept.
        {"\xD0\xB6 ok \xE2\x82\xAC \xF0\x9F\x98\x80", kCaseUpper, "\xD0\xB6 OK \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"a\xFF" "b\xC3", kCaseUpper, "A\xFF" "B\xC3"},
        {"Text", 5, none},
        {"Text", -1, none},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "\"" << row.text << "\" format " << row.format);
        EXPECT_EQ(ApplyLetterCase(row.text, row.format), row.expected);
    }
}

}  // namespace
}  // namespace corvane::messages
