#include "messages/language.h"

#include "messages/message_table.h"
#include "messages/record_lock_text.h"

namespace corvane {
namespace {

std::string EntryText(const messages::MessageEntry& entry, int language,
                      const std::string& parameter) {
    using messages::MessageKind;
    switch (entry.kind) {
        case MessageKind::kFixed:
            return entry.text;
        case MessageKind::kSpelling:
            return language == kLanguageUK ? entry.other : entry.text;
        case MessageKind::kSplicedOrBlank:
            if (parameter.empty()) return entry.other;
            [[fallthrough]];
        case MessageKind::kSpliced:
            return entry.text + parameter + entry.after;
        case MessageKind::kRecordLock:
            return RecordLockText(parameter, entry.text);
    }
    return {};
}

}  // namespace

std::optional<std::string> ILanguage::Translate(int control_caption, int language,
                                                const std::string& parameter,
                                                int format) const {
    std::string text;
    if (language == kLanguageUS || language == kLanguageUK) {
        if (const messages::MessageEntry* entry = messages::FindMessage(control_caption))
            text = EntryText(*entry, language, parameter);
    }
    return messages::ApplyLetterCase(text, format);
}

}  // namespace corvane
