#pragma once

#include <memory>
#include <string_view>

#include "browser/rule/website_decision.h"
#include "browser/rule/website_rule.h"

namespace corvane {

// The website rule answered from the users, the catalogue and the assignments read once and
// kept while no file changed: the same Decide over a kept snapshot. Each call compares every
// file's device, inode, size and modification time (to the nanosecond) with those the kept
// copy was read under. Where a file shows whole-second times, where one changed within the
// last seconds (a later write could land in the same clock tick), or where one cannot be
// read, nothing is kept: the call is the plain WebsiteRule's, or for a navigation a read of
// only the records it needs (the plain rule's when that read fails). Same answers as
// WebsiteRule; never raises.
class CachedWebsiteRule {
public:
    CachedWebsiteRule();
    ~CachedWebsiteRule();
    CachedWebsiteRule(const CachedWebsiteRule&) = delete;
    CachedWebsiteRule& operator=(const CachedWebsiteRule&) = delete;

    bool IsWebsiteAllowable(std::string_view UserLogin, std::string_view URL);
    // For an address the engine reports in its normal form ("/" added to the root, the scheme
    // spelled out): the rule asked with the catalogue's own text of that address, the first
    // record that reads as the same address, or with URL itself when none does.
    bool IsNavigationAllowable(std::string_view UserLogin, std::string_view URL);

    // The last call's answer came from the kept copy (read now or before).
    bool LastAnswerCached() const { return lastCached_; }
    // How many times the files were read into a kept copy.
    int Reads() const { return reads_; }

private:
    struct Kept;
    // The kept copy for the files as they are now; null when nothing can be kept.
    const WebsiteTables* Current();
    std::shared_ptr<const Kept> kept_;
    WebsiteRule rule_;
    bool lastCached_ = false;
    int reads_ = 0;
};

}  // namespace corvane
