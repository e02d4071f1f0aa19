#pragma once

#include <memory>
#include <string>

namespace corvane {

// One outgoing e-mail.
struct MailMessage {
    std::string from;  // accepted and not used: the sender is this machine's user
    std::string to;
    std::string subject;
    std::string text;
    std::string attachmentName;      // the attachment's name as the recipient sees it
    std::string attachmentPathName;  // the file attached
};

// Whatever sends the program's e-mail: the local sendmail program in the
// running program, a fake in tests.
class MailSender {
public:
    virtual ~MailSender() = default;
    // True when the message was handed on for delivery; never raises.
    virtual bool Send(const MailMessage& message) = 0;
};

// Installs a sender; nullptr restores the sendmail sender. Returns the previous one.
std::shared_ptr<MailSender> SetMailSender(std::shared_ptr<MailSender> sender);

// Sends one e-mail through the installed sender; an attachment is added when
// either of its names is given. True when it went out, false after any failure.
bool SendEMail(const std::string& From, const std::string& Sendto, const std::string& Subject,
               const std::string& text, const std::string& AttachmentName,
               const std::string& AttachmentPathName);

// The same on a thread of its own: returns at once and the answer is dropped,
// so a slow or stuck mail program never holds up the windows. The sender
// installed now is the one used.
void SendEMailInBackground(const std::string& From, const std::string& Sendto,
                           const std::string& Subject, const std::string& text,
                           const std::string& AttachmentName,
                           const std::string& AttachmentPathName);

}  // namespace corvane
