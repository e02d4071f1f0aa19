#pragma once

#include "messages/language.h"
#include "messages/letter_case.h"
#include "messages/record_lock_text.h"

#include <optional>
#include <string>

namespace corvane {

// Message numbers other areas name directly.
inline constexpr int kMessageProgramName = 290;  // "Corvane"; titles every message box
inline constexpr int kMessageRecordLocked = 482;

// The text of message `number` (see ILanguage::Translate); "no value" reads as
// "". An absent parameter is the empty text, so messages with a short form
// use it. Errors of the lookup reach the caller.
std::string GetMessageText(int number, int language = kLanguageUS,
                           const std::optional<std::string>& parameter = std::nullopt,
                           int format = kCaseAsIs);

}  // namespace corvane
