#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "errors/mail_sender.h"

namespace corvane {

// What the composer needs besides the message: who sends, when, and a unique
// part for the Message-ID.
struct MailEnvelope {
    std::string fromAddress;  // "user@host"
    std::chrono::system_clock::time_point date;
    int utcOffsetMinutes = 0;  // of the local time the Date header shows
    std::string uniqueId;      // left part of the Message-ID
    std::string host;          // right part of the Message-ID
};

// The message as RFC 5322 text with CR LF line ends: From, To, Subject, Date,
// Message-ID and MIME headers, then the text as UTF-8 (base64 when a line
// would be too long for the format). With an attachment the text and the file
// travel as multipart/mixed. Line breaks inside header values become spaces,
// so no value can add a header. Nothing when the recipient is blank or the
// attachment cannot be read.
std::optional<std::string> ComposeMail(const MailMessage& message, const MailEnvelope& envelope);

// The address the message goes to: the recipient on one line, trimmed of
// spaces; "" when blank.
std::string MailRecipient(const MailMessage& message);

// The local time zone's offset from UTC at that moment, in minutes.
int LocalUtcOffsetMinutes(std::chrono::system_clock::time_point t);

// Base64 of the bytes, in lines of 76 characters ended by CR LF.
std::string Base64Lines(const std::string& bytes);

}  // namespace corvane
