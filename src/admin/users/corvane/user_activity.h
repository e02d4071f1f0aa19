#pragma once

#include <string>

namespace corvane {

// The user window's lines in the activity log: the message (New User 269,
// Edit User 270, Delete Users 271) and the login, by whoever is logged in,
// from this program on this computer. No Qt.
void LogUserWindowActivity(int message, const std::string& login);

}  // namespace corvane
