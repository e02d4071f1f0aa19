#include "browser/rule/website_rule.h"

#include "browser/rule/website_tables.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"

namespace corvane {

bool WebsiteRule::IsWebsiteAllowable(std::string_view UserLogin, std::string_view URL) {
    return Verdict(UserLogin, URL).allowed;
}

WebsiteVerdict WebsiteRule::Verdict(std::string_view UserLogin, std::string_view URL) {
    try {
        WebsiteTables tables;
        const WebsiteSnapshot snapshot{gRequireLogin, &tables};
        WebsiteVerdict verdict = Decide(snapshot, UserLogin, URL);
        if (verdict.reason != WebsiteReason::NotRead) return verdict;
        const WebsiteRulePaths paths = CurrentWebsiteRulePaths();
        // Each file is read only when the decision gets that far; a file that fails stays
        // unread, which refuses, while an answer settled before it stands.
        const auto tested = WebsiteAddress::Parse(URL);
        RunDecision(kWebsiteRulePlace, {
            [&] { ReadWebsiteRuleUser(paths[0], UserLogin, tables); },
            [&] {
                verdict = Decide(snapshot, UserLogin, URL);
                if (verdict.reason == WebsiteReason::NotRead) ReadWebsiteOf(paths[1], URL, tables);
            },
            [&] {
                verdict = Decide(snapshot, UserLogin, URL);
                if (verdict.reason == WebsiteReason::NotRead) ReadLinksOf(paths[2], UserLogin, tested, tables);
            },
        });
        return Decide(snapshot, UserLogin, URL);
    } catch (...) {
        return {};
    }
}

}  // namespace corvane
