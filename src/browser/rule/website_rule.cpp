#include "browser/rule/website_rule.h"

#include <memory>

#include "browser/rule/website_address.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"

namespace corvane {

bool WebsiteLevelAllows(std::int32_t userLevel, std::string_view userOtherAccess,
                        std::int32_t websiteLevel, std::string_view websiteOtherAccess) {
    if (userLevel == 0) return true;
    if (websiteLevel == 3) return text::Equals(text::TrimSpaces(userOtherAccess), text::TrimSpaces(websiteOtherAccess));
    if (userLevel == 1) return websiteLevel == 1 || websiteLevel == 2;
    return userLevel == websiteLevel;
}

bool WebsiteRule::IsWebsiteAllowable(std::string_view UserLogin, std::string_view URL) {
    bool answer = false;
    bool settled = false;
    auto settle = [&](bool value) {
        answer = value;
        settled = true;
    };
    try {
        auto user = std::make_unique<User>();
        auto website = std::make_unique<Website>();
        auto links = std::make_unique<UserWebsite>();
        // An error refuses: a step skipped could be the one that refuses.
        const bool ran = RunDecision(kWebsiteRulePlace, {
            [&] { if (!gRequireLogin) settle(true); },
            [&] { if (!settled && UserLogin.empty()) settle(false); },
            [&] { if (!settled && !user->Load(UserLogin)) settle(false); },
            [&] { if (!settled && user->IsAdministrator() != 0) settle(true); },
            [&] { if (!settled && user->EnforceWebsites() == 0) settle(true); },
            [&] { if (!settled && IsBlankPage(URL)) settle(true); },
            [&] {
                if (!settled && (text::TrimSpaces(URL).size() > kMaxAddressLength || !website->Load(URL)))
                    settle(false);
            },
            [&] { if (!settled && !links->LoadWebsites(UserLogin)) settle(false); },
            [&] {
                if (settled) return;
                const auto tested = WebsiteAddress::Parse(URL);
                const auto assigned = links->UserWebsites();
                if (tested && assigned) {
                    for (const auto& link : *assigned) {
                        const auto address = WebsiteAddress::Parse(link->URL());
                        if (!address || !AddressAdmits(*address, *tested)) continue;
                        if (user->EnforceUserAccessOnWebsites() == 0) {
                            settle(true);
                            return;
                        }
                        // A named level that differs grants nothing here; the same two records
                        // would be compared again for every later address, so none can.
                        settle(WebsiteLevelAllows(user->AccessLevel(), user->OtherAccess(),
                                                  website->AccessLevel(), website->OtherAccess()));
                        return;
                    }
                }
                settle(false);
            },
        });
        return ran && answer;
    } catch (...) {
        return false;
    }
}

}  // namespace corvane
