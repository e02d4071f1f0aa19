#pragma once

#include <memory>

#include "session/login/security.h"
#include "session/shell/session_controller.h"

namespace corvane {

// The main form's session over the program's Security object.
class SecuritySession : public SessionSecurity {
public:
    bool RequireLogin() override { return security_.RequireLogin(); }
    bool OffersFirstAdministrator() override { return security_.OffersFirstAdministrator(); }
    bool Login() override { return security_.Login(); }
    std::string AuthenticatedUser() override { return security_.AuthenticatedUser(); }
    std::int32_t LogID() override { return security_.LogID(); }
    void Logout() override { security_.Logout(); }

private:
    Security security_;
};

inline std::unique_ptr<SessionSecurity> MakeSecuritySession() {
    return std::make_unique<SecuritySession>();
}

}  // namespace corvane
