#include "ui_core/display_names.h"

#include "platform/core/text.h"
#include "messages/message_catalogue.h"
#include "ui_core/ui_services.h"

namespace corvane {

std::string TranslateLogStatus(std::string_view keyword, std::int32_t language) {
    struct Status {
        std::string_view keyword;
        int message;
    };
    static constexpr Status kStatuses[] = {
        {"INVALID LOGIN", 341}, {"INVALID PASSWORD", 342}, {"LOGIN SUCCESS", 343},
        {"LOGOFF SUCCESS", 344}, {"URL ACCEPTED", 166},    {"URL DENIED", 165},
        {"FILE UPLOADED", 345},  {"FILE DOWNLOADED", 346},
    };
    const std::string upper = text::ToUpper(keyword);
    for (const auto& s : kStatuses)
        if (upper == s.keyword) return GetMessageText(s.message, language, std::string(), 0);
    return {};
}

std::string GetAccessLevelName(std::int16_t level, std::string_view otherAccess) {
    if (level >= 0 && level <= 2)
        return GetMessageText(60 + level, ui::Services().language(), std::string(), 0);
    return std::string(otherAccess);
}

}  // namespace corvane
