#include "messages/message_table.h"

#include "messages/language.h"

namespace corvane::messages {
namespace {

constexpr MessageEntry Fixed(int number, const char* text) {
    return {number, MessageKind::kFixed, text, "", ""};
}

constexpr MessageEntry Spelling(int number, const char* us, const char* uk) {
    return {number, MessageKind::kSpelling, us, "", uk};
}

constexpr MessageEntry Spliced(int number, const char* before, const char* after) {
    return {number, MessageKind::kSpliced, before, after, ""};
}

constexpr MessageEntry SplicedOrBlank(int number, const char* before, const char* after,
                                      const char* blank) {
    return {number, MessageKind::kSplicedOrBlank, before, after, blank};
}

constexpr MessageEntry RecordLock(int number, const char* unnamed) {
    return {number, MessageKind::kRecordLock, unnamed, "", ""};
}

constexpr MessageEntry kMessages[] = {
#include "messages/message_texts_0_420.inc"
#include "messages/message_texts_421_719.inc"
};

// A line lost or doubled in the data would shift every later message by one;
// refuse to build rather than show the wrong texts.
constexpr bool NumberedInOrder() {
    for (int i = 0; i < kMessageCount; ++i)
        if (kMessages[i].number != i) return false;
    return true;
}

static_assert(sizeof(kMessages) / sizeof(kMessages[0]) == kMessageCount);
static_assert(NumberedInOrder());

}  // namespace

const MessageEntry* FindMessage(int number) {
    if (number < 0 || number >= kMessageCount) return nullptr;
    return &kMessages[number];
}

}  // namespace corvane::messages
