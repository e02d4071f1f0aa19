#include "session/launchers/u_interface.h"

#include "session/launchers/launchers.h"

namespace corvane {

void UInterface::ShowCorvane() { ShowUserManagement(); }
void UInterface::ShowUserLog() { corvane::ShowUserLog(); }
void UInterface::SetPassword(const std::string& UserLogin) { ShowSetPassword(UserLogin); }
void UInterface::ChangePassword(const std::string& UserLogin) { ShowChangePassword(UserLogin); }
void UInterface::NewUser(bool blnNoCancel, bool blnPrimary) { ShowNewUserWizard(blnNoCancel, blnPrimary); }
void UInterface::EditUser(const std::string& UserLogin) { ShowEditUser(UserLogin); }

}  // namespace corvane
