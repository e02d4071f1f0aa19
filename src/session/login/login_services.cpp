#include "session/login/login_services.h"

#include "lockdown/lockdown_options.h"
#include "platform/settings/product_info.h"
#include "platform/settings/registry.h"
#include "session/helpers/keyboard_state.h"
#include "session/helpers/network_helpers.h"
#include "session/rules/run_user_programs.h"

namespace corvane {
namespace {

// The product's own key, not its "Global" section: the value stays in the
// registry also when the settings live in an INI file.
std::string ProductKey() { return gRegistryRoot + "\\" + gProductName; }

LoginServices& Current() {
    static LoginServices services = DefaultLoginServices();
    return services;
}

}  // namespace

LoginServices DefaultLoginServices() {
    LoginServices s;
    s.startUserPrograms = RunUserPrograms;
    s.broadcast = BroadcastNetMessage;
    s.isCapsLockOn = IsCapsLockOn;
    s.lockdownOptionOn = [](int option) { return GetLockdownOption(option); };
    s.readLastLogin = []() -> std::optional<std::string> {
        Registry reg;
        reg.SetKeyRoot(HKEY_LOCAL_MACHINE);
        reg.SetKeyName(ProductKey());
        reg.SetSubKeyRef("Last Login");
        reg.GetKey();
        if (!reg.Success()) return std::nullopt;
        return reg.KeyValueText();
    };
    s.writeLastLogin = [](const std::string& login) {
        Registry reg;
        reg.SetKeyRoot(HKEY_LOCAL_MACHINE);
        reg.SetKeyName(ProductKey());
        reg.SetSubKeyRef("Last Login");
        reg.SetKeyValueType(REG_SZ);
        reg.SetKeyValue(Variant(login));
        reg.SaveKey();
    };
    s.changePassword = [](const std::string&) { return false; };
    return s;
}

const LoginServices& CurrentLoginServices() { return Current(); }

LoginServices SetLoginServices(LoginServices services) {
    LoginServices previous = Current();
    LoginServices defaults = DefaultLoginServices();
    if (!services.startUserPrograms) services.startUserPrograms = defaults.startUserPrograms;
    if (!services.broadcast) services.broadcast = defaults.broadcast;
    if (!services.isCapsLockOn) services.isCapsLockOn = defaults.isCapsLockOn;
    if (!services.lockdownOptionOn) services.lockdownOptionOn = defaults.lockdownOptionOn;
    if (!services.readLastLogin) services.readLastLogin = defaults.readLastLogin;
    if (!services.writeLastLogin) services.writeLastLogin = defaults.writeLastLogin;
    if (!services.changePassword) services.changePassword = defaults.changePassword;
    Current() = std::move(services);
    return previous;
}

}  // namespace corvane
