#pragma once

#include <functional>
#include <string>

class QWidget;

namespace corvane {

// The windows the user window opens but does not own: the user editor, the
// set-password dialog and the four windows of its Advanced tab. Each is
// reached through an opener the program installs; tests install their own.

// How the user editor was left.
struct UserEditorResult {
    bool cancelled = true;
    bool isDirty = false;
    std::string userLogin;  // the login the account was last saved under
};

// Shows the editor for the login modally over the owner.
using UserEditorOpener = std::function<UserEditorResult(QWidget* owner, const std::string& login)>;
// Shows the set-password dialog for the login modally over the owner.
using SetPasswordOpener = std::function<void(QWidget* owner, const std::string& login)>;
using WindowLauncher = std::function<void()>;

struct UserAdminOpeners {
    UserEditorOpener editUser;
    SetPasswordOpener setPassword;
    WindowLauncher showUserLog;
    WindowLauncher showWebsiteLog;
    WindowLauncher showWebsites;
    WindowLauncher showPrograms;
};

// Installs the openers and returns those in place before. Until one is
// installed, the editor answers "cancelled" and the others do nothing.
UserAdminOpeners SetUserAdminOpeners(UserAdminOpeners openers);
const UserAdminOpeners& CurrentUserAdminOpeners();

}  // namespace corvane
