#include "messages/message_catalogue.h"

namespace corvane {

std::string GetMessageText(int number, int language, const std::optional<std::string>& parameter,
                           int format) {
    return ILanguage().Translate(number, language, parameter.value_or(std::string()), format)
        .value_or(std::string());
}

}  // namespace corvane
