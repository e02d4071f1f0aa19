#pragma once

namespace corvane::messages {

// How an entry turns a parameter into its text.
enum class MessageKind {
    kFixed,           // one text for both spellings
    kSpelling,        // a US text and a UK text
    kSpliced,         // before + parameter + after, also for an empty parameter
    kSplicedOrBlank,  // as kSpliced, but a text of its own for an empty parameter
    kRecordLock,      // the record-lock text; its parameter names the lock holder
};

// One message of the catalogue. The meaning of the texts follows the kind:
//   kFixed          text
//   kSpelling       text (US), other (UK)
//   kSpliced        text (before), after
//   kSplicedOrBlank text (before), after, other (the blank form)
//   kRecordLock     text (the form without a holder)
// Texts not used by a kind are "".
struct MessageEntry {
    int number;
    MessageKind kind;
    const char* text;
    const char* after;
    const char* other;
};

// The entry of a message number, or nullptr outside 0 to 719.
const MessageEntry* FindMessage(int number);

}  // namespace corvane::messages
