#pragma once

#include <functional>
#include <optional>
#include <string>

namespace corvane {

class User;

// What the login needs of the rest of the program, behind one seam so that the
// validation and the login window test without a network, a keyboard or a
// second window. Tests replace single members; empty members keep the defaults.
struct LoginServices {
    // Starts the user's allowed programs after a successful login.
    std::function<void(const User& user)> startUserPrograms;
    // Sends a notice to the other computers of the network.
    std::function<void(const std::string& message)> broadcast;
    // The keyboard's Caps Lock state.
    std::function<bool()> isCapsLockOn;
    // Whether a lockdown option (18 Task Manager, 20 task bar) is on.
    std::function<bool(int option)> lockdownOptionOn;
    // The remembered last login ("Last Login"), or nothing when it cannot be read.
    std::function<std::optional<std::string>()> readLastLogin;
    std::function<void(const std::string& login)> writeLastLogin;
    // Runs the change-password dialog for the login; true when it stored a password.
    std::function<bool(const std::string& login)> changePassword;
};

// The services in force; never has an empty member.
const LoginServices& CurrentLoginServices();

// Replaces the services; empty members keep the defaults. Returns the old set.
LoginServices SetLoginServices(LoginServices services);

// The defaults: RunUserPrograms, BroadcastNetMessage, IsCapsLockOn,
// GetLockdownOption and the registry's "Last Login"; no change-password
// dialog until the window layer installs its own (InstallLoginWindow).
LoginServices DefaultLoginServices();

// Puts the services back when it goes; for tests.
class LoginServicesScope {
public:
    explicit LoginServicesScope(LoginServices services) : previous_(SetLoginServices(std::move(services))) {}
    ~LoginServicesScope() { SetLoginServices(previous_); }
    LoginServicesScope(const LoginServicesScope&) = delete;
    LoginServicesScope& operator=(const LoginServicesScope&) = delete;

private:
    LoginServices previous_;
};

}  // namespace corvane
