#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "errors/mail_sender.h"

namespace corvane {

// The local mail program: the first of /usr/sbin/sendmail, /usr/lib/sendmail
// and "sendmail" on the PATH that can be run; "" when there is none.
std::string FindSendmail();

// Hands each message, composed as RFC 5322 text, to the mail program
// ("sendmail -oi -- recipient") on its standard input. Without a program (none
// given and none found) every Send answers false; so does a program that
// fails or has not finished within the limit (a minute), which is then asked
// to end, made to a second later, and reaped. Send waits for the program:
// windows send through SendEMailInBackground.
std::unique_ptr<MailSender> MakeSendmailSender(std::string program = {},
                                               std::chrono::milliseconds limit = std::chrono::seconds(60));

}  // namespace corvane
