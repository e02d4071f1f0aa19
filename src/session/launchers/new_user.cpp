#include "session/launchers/new_user.h"

#include "platform/core/clock.h"
#include "platform/core/text.h"
#include "platform/crypto/encryption.h"
#include "recordstore/user.h"
#include "session/login/pass_phrase.h"

namespace corvane {

int AddNewUser(const NewUserEntry& entry) {
    const std::string login = text::Trim(entry.login);
    if (login.empty()) return 518;
    if (entry.password != entry.confirmation) return 434;
    User user;
    if (text::Equals(login, "Anonymous") || user.Exists(login)) return 440;
    user.Clear();
    user.SetLogin(login);
    user.SetName(text::Trim(entry.name));
    user.SetPassword(Encryption().EnCode(text::Trim(entry.password), kPasswordPassPhrase));
    user.SetPasswordStamp(clock::Now());
    user.SetIsAdministrator(entry.administrator ? -1 : 0);
    user.SetAccessLevel(entry.administrator ? 0 : 1);
    user.AddNew();
    user.CloseTable();
    return 0;
}

}  // namespace corvane
