#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/core/program_title.h"

namespace corvane {

// Base of the object-defined error numbers: every error the record tables and
// services raise is vbObjectError plus a small number.
inline constexpr std::int32_t vbObjectError = -2147221504;

// The one error type the system raises: a number, where it came from (class
// name, a point, the operation's word) and a description.
class RaisedError : public std::runtime_error {
public:
    RaisedError(std::int32_t number, std::string source, std::string description);

    std::int32_t Number() const noexcept { return number_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

// The description of an error wrapped by an outer operation: the prefix, the
// inner number in signed decimal, "]", CR LF, "Description: ", the inner
// description.
std::string WrapDescription(const std::string& prefix, const RaisedError& inner);

// Runtime errors of the platform itself (overflow and the like) carry the
// classic runtime numbers so that wrapped descriptions read as they always have.
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrBadFileNameOrNumber = 52;
inline constexpr std::int32_t kErrFileNotFound = 53;
inline constexpr std::int32_t kErrBadRecordLength = 59;
inline constexpr std::int32_t kErrBadRecordNumber = 63;
inline constexpr std::int32_t kErrPermissionDenied = 70;
inline constexpr std::int32_t kErrPathFileAccess = 75;
inline constexpr std::int32_t kErrPathNotFound = 76;
inline constexpr std::int32_t kErrInvalidProcedureCall = 5;

RaisedError OverflowError(const std::string& source);

// Turns any exception into a RaisedError so that traps see one type.
RaisedError ToRaisedError(const std::exception& e, const std::string& source = kProgramTitle);

}  // namespace corvane
