#pragma once

#include <string>

namespace corvane {

// Who holds a record lock, as the user editor hands it to message 482 in the
// form user "\" computer "=" time. Each part is trimmed of spaces.
struct RecordLockHolder {
    std::string user;
    std::string computer;
    std::string time;
};

// Splits a lock-holder text: the user before the first "\", the computer
// between it and the first "=" after it, the time after that "=". Throws
// RaisedError kErrInvalidProcedureCall when there is no "\" or no "=" after it.
RecordLockHolder ParseRecordLockHolder(const std::string& parameter);

// The record-lock message for a lock-holder text; an empty text gives
// `unnamed`, the form without a holder. Throws as ParseRecordLockHolder.
std::string RecordLockText(const std::string& parameter, const std::string& unnamed);

}  // namespace corvane
