#include "errors/mail_sender.h"

#include <thread>
#include <utility>

#include "errors/sendmail_sender.h"

namespace corvane {
namespace {
std::shared_ptr<MailSender>& Installed() {
    static std::shared_ptr<MailSender> sender = MakeSendmailSender();
    return sender;
}
}  // namespace

std::shared_ptr<MailSender> SetMailSender(std::shared_ptr<MailSender> sender) {
    if (!sender) sender = MakeSendmailSender();
    return std::exchange(Installed(), std::move(sender));
}

bool SendEMail(const std::string& From, const std::string& Sendto, const std::string& Subject,
               const std::string& text, const std::string& AttachmentName,
               const std::string& AttachmentPathName) {
    try {
        const auto sender = Installed();
        return sender->Send({From, Sendto, Subject, text, AttachmentName, AttachmentPathName});
    } catch (...) {
        return false;
    }
}


void SendEMailInBackground(const std::string& From, const std::string& Sendto,
                           const std::string& Subject, const std::string& text,
                           const std::string& AttachmentName,
                           const std::string& AttachmentPathName) {
    try {
        std::thread([sender = Installed(),
                     message = MailMessage{From, Sendto, Subject, text, AttachmentName, AttachmentPathName}] {
            try {
                sender->Send(message);
            } catch (...) {
            }
        }).detach();
    } catch (...) {
        // No thread to be had: the report is dropped as a failed one would be.
    }
}

}  // namespace corvane
