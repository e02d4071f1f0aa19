#pragma once

#include "messages/letter_case.h"

#include <optional>
#include <string>

namespace corvane {

// Spellings of the catalogue.
inline constexpr int kLanguageUS = 0;
inline constexpr int kLanguageUK = 1;

// Messages are numbered 0 to kMessageCount - 1.
inline constexpr int kMessageCount = 720;

// The message catalogue built into the program. It holds no state; every
// lookup may use an object of its own.
class ILanguage {
public:
    // The text of message control_caption in the given spelling, with the
    // parameter spliced in and the case form applied to the whole text.
    // A number outside 0 to 719 or a language other than US/UK reads as "".
    // Messages that take a parameter use their own short form when it is
    // exactly "" (a space is a parameter). No value when the case form is
    // unknown, or is the sentence form and the text is blank.
    // Throws RaisedError kErrInvalidProcedureCall for the record-lock message
    // with a holder text that lacks "\" or "=" after it.
    std::optional<std::string> Translate(int control_caption, int language,
                                         const std::string& parameter, int format) const;
};

}  // namespace corvane
