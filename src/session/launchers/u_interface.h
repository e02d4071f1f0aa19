#pragma once

#include <string>

namespace corvane {

// Six operations for other callers, each forwarding at once to its launcher
// and returning nothing.
class UInterface {
public:
    void ShowCorvane();
    void ShowUserLog();
    void SetPassword(const std::string& UserLogin);
    void ChangePassword(const std::string& UserLogin);
    void NewUser(bool blnNoCancel, bool blnPrimary);
    void EditUser(const std::string& UserLogin);
};

}  // namespace corvane
