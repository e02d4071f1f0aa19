#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The logic of the two password dialogs: the change-password dialog (the old
// password, a new one and its confirmation) and the set-password dialog (the
// same without the old password). The windows hand over the boxes' texts and
// apply the focus answer.
class PasswordChange {
public:
    enum class Kind { kChange, kSet };
    enum class Focus { kNone, kOldPassword, kNewPassword };

    // formName ("frmChangePassword", "frmSetPassword") forms the error places.
    PasswordChange(Kind kind, std::string formName);

    std::string UserLogin;

    // Looks the account up: its minimum length, its login as stored and, for
    // a change, its stored password. A missing account (or a stored password
    // that can match nothing) goes to HandleError under "<form>.LoadData",
    // naming the login; Loaded() then stays false.
    void LoadData();
    bool Loaded() const { return loaded_; }
    const std::string& StoredLogin() const { return storedLogin_; }
    std::int16_t MinimumLength() const { return minimumLength_; }

    // The checks in their order, stopping at the first failure with its
    // message: the old password (change only), the minimum length, the
    // confirmation. False without a loaded account; errors go to
    // "<form>.ValidateData" and answer false whatever the handler says.
    bool ValidateData(const std::string& oldPassword, const std::string& newPassword,
                      const std::string& confirmPassword);
    Focus FocusAfterRefusal() const { return focus_; }

    // Stores the trimmed new password, hashed, stamped now. True only once
    // the record was written; a missing account goes to HandleError under
    // "<form>.SaveData", naming the login.
    bool SaveData(const std::string& newPassword);

    // Mode 0: message 433 with the minimum length; 1: 434; 2: 435. Flags as
    // given, titled with message 290; the button pressed.
    int ShowMessage(int mode, std::int32_t flags, const std::string& parameter = {});

private:
    Kind kind_;
    std::string formName_;
    bool loaded_ = false;
    std::string storedLogin_;
    std::string storedPassword_;
    std::int16_t minimumLength_ = 0;
    Focus focus_ = Focus::kNone;
};

}  // namespace corvane
