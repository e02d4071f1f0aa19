#pragma once

#include <string>

namespace corvane {

// The hidden holder of the mail service; it is never shown. Load it before use and let it go
// afterwards.
class frmResources {
public:
    // Hands one message to the installed mail sender. From is not used: the sender is this
    // machine's user. An attachment goes along when either attachment name is given. True
    // when the message was handed on; False after any failure, never raising.
    bool SendEMail(std::string& From, std::string& Sendto, std::string& Subject, std::string& Text,
                   std::string& AttachmentName, std::string& AttachmentPathName);
};

// Sends one message when the machine is connected and Sendto is not blank; otherwise, and on
// any failure, nothing happens and nothing is reported.
void SendEMailMessage(std::string From, std::string Sendto, std::string Subject, std::string Text,
                      std::string AttachmentName, std::string AttachmentPathName);

}  // namespace corvane
