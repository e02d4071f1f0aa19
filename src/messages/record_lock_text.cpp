#include "messages/record_lock_text.h"

#include "platform/core/raised_error.h"
#include "platform/core/text.h"

namespace corvane {

RecordLockHolder ParseRecordLockHolder(const std::string& parameter) {
    const auto slash = parameter.find('\\');
    const auto equals = slash == std::string::npos ? std::string::npos : parameter.find('=', slash + 1);
    if (equals == std::string::npos)
        throw RaisedError(kErrInvalidProcedureCall, "ILanguage.Translate",
                          "Invalid procedure call or argument");
    // The time follows the "=" that ends the computer name, so a login that
    // itself holds "=" cannot pull part of the holder into the time.
    return {text::Trim(std::string_view(parameter).substr(0, slash)),
            text::Trim(std::string_view(parameter).substr(slash + 1, equals - slash - 1)),
            text::Trim(std::string_view(parameter).substr(equals + 1))};
}

std::string RecordLockText(const std::string& parameter, const std::string& unnamed) {
    if (parameter.empty()) return unnamed;
    const RecordLockHolder holder = ParseRecordLockHolder(parameter);
    std::string result = "Record is Locked for editing by " + holder.user;
    if (!holder.computer.empty()) result += " on " + holder.computer;
    if (!holder.time.empty()) return result + ".  Record Lock Active from " + holder.time;
    return result + "!";
}

}  // namespace corvane
