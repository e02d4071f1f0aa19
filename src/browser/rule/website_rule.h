#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// Where the rule reports its errors.
inline constexpr const char* kWebsiteRulePlace = "frmWebBrowser.IsWebsiteAllowable";

// What the rule reads of a user record.
struct WebsiteRuleUser {
    bool isAdministrator = false;
    bool enforceWebsites = false;
    bool enforceUserAccessOnWebsites = false;
    std::int32_t accessLevel = 0;
    std::string otherAccess;
};

// The access levels: a user of level 0 may open every level, 1 levels 1 and 2, 2 level 2;
// a level-3 website only users of level 0 or whose named level equals the website's (letter
// case ignored).
bool WebsiteLevelAllows(std::int32_t userLevel, std::string_view userOtherAccess,
                        std::int32_t websiteLevel, std::string_view websiteOtherAccess);

// The browser's decision whether a user may open an address typed into its address box.
// Reads "Require Login", the user's record, the website catalogue and the user's assigned
// websites at every call; writes nothing. Errors go to the central handler under
// kWebsiteRulePlace and, whatever it answers but a retry, refuse. Never raises.
class WebsiteRule {
public:
    // In order, the first that settles it: "Require Login" off allows; an empty login, a login
    // not in the user table refuse; an administrator, a user whose website rule is off are
    // allowed; "about:blank" is allowed; an address that is not itself a catalogue website
    // (whole, trimmed, letter case ignored), a user without assigned websites refuse; the
    // first assigned address that admits it (AddressAdmits) decides by the access levels of
    // the user and of that catalogue website when the user's level rule is on.
    bool IsWebsiteAllowable(std::string_view UserLogin, std::string_view URL);
};

}  // namespace corvane
