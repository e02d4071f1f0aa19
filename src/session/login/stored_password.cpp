#include "session/login/stored_password.h"

#include "platform/core/raised_error.h"
#include "platform/core/text.h"
#include "platform/crypto/encryption.h"
#include "platform/crypto/password_hash.h"
#include "recordstore/user.h"
#include "session/login/pass_phrase.h"

namespace corvane {
namespace {

// The old form decoded; raises when it is too short to hold its header.
std::string Decoded(std::string_view stored) {
    return Encryption().DeCode(stored, kPasswordPassPhrase);
}

}  // namespace

bool IsOldPasswordForm(std::string_view stored) { return !IsPasswordHashForm(stored); }

void CheckStoredPassword(std::string_view stored) {
    if (IsOldPasswordForm(stored)) {
        (void)Decoded(stored);
    } else if (!ParsePasswordHash(stored)) {
        throw RaisedError(vbObjectError + 999, "CheckPassword",
                          "The stored password of this account is damaged.");
    }
}

bool StoredPasswordMatches(std::string_view stored, std::string_view typed, bool trimDecoded) {
    if (IsOldPasswordForm(stored)) {
        const std::string plain = Decoded(stored);
        return (trimDecoded ? text::Trim(plain) : plain) == typed;
    }
    CheckStoredPassword(stored);
    return VerifyPasswordHash(typed, stored);
}

bool UpgradeStoredPassword(User& user, std::string_view checked, std::string_view password) {
    if (!IsOldPasswordForm(checked)) return false;
    // Hashed before taking the lock: other workstations wait on it.
    const std::string hashed = MakePasswordHash(password);
    return user.UpdateLoadedRecord([&] {
        if (user.Password() != checked) return false;
        user.SetPassword(hashed);
        return true;
    });
}

}  // namespace corvane
