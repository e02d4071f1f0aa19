#pragma once

#include <string_view>

#include "browser/rule/website_decision.h"

namespace corvane {

// Where the rule reports its errors.
inline constexpr const char* kWebsiteRulePlace = "frmWebBrowser.IsWebsiteAllowable";

// The browser's decision whether a user may open an address typed into its address box:
// Decide over a snapshot read for this call alone. Reads "Require Login" and, as far as the
// decision gets, the user's record, the catalogue website of the address and the user's
// assigned websites; writes nothing. Errors go to the central handler under
// kWebsiteRulePlace and, whatever it answers but a retry, refuse unless the decision was
// settled by what had been read before. Never raises.
class WebsiteRule {
public:
    bool IsWebsiteAllowable(std::string_view UserLogin, std::string_view URL);
    // The verdict with its reason.
    WebsiteVerdict Verdict(std::string_view UserLogin, std::string_view URL);
};

}  // namespace corvane
