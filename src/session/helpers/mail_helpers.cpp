#include "session/helpers/mail_helpers.h"

#include <memory>

#include "errors/mail_sender.h"
#include "platform/core/text.h"
#include "platform/network/network.h"

namespace corvane {

bool frmResources::SendEMail(std::string& From, std::string& Sendto, std::string& Subject,
                             std::string& Text, std::string& AttachmentName,
                             std::string& AttachmentPathName) {
    return corvane::SendEMail(From, Sendto, Subject, Text, AttachmentName, AttachmentPathName);
}

void SendEMailMessage(std::string From, std::string Sendto, std::string Subject, std::string Text,
                      std::string AttachmentName, std::string AttachmentPathName) {
    try {
        bool connected = false;
        try {
            connected = Network().IsNetConnected();
        } catch (...) {
        }
        if (!connected || text::TrimSpaces(Sendto).empty()) return;
        auto resources = std::make_unique<frmResources>();
        resources->SendEMail(From, Sendto, Subject, Text, AttachmentName, AttachmentPathName);
    } catch (...) {
    }
}

}  // namespace corvane
