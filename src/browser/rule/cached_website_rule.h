#pragma once

#include <memory>
#include <string_view>

#include "browser/rule/website_rule.h"

namespace corvane {

// The website rule answered from the users, the catalogue and the assignments read once and
// kept while no file changed. Each call compares every file's device, inode, size and
// modification time (to the nanosecond) with those the kept copy was read under. Where a file
// shows whole-second times, where one changed within the last seconds (a later write could
// land in the same clock tick), or where one cannot be read, nothing is kept and the call is
// the plain WebsiteRule's. Same answers as WebsiteRule; never raises.
class CachedWebsiteRule {
public:
    CachedWebsiteRule();
    ~CachedWebsiteRule();
    CachedWebsiteRule(const CachedWebsiteRule&) = delete;
    CachedWebsiteRule& operator=(const CachedWebsiteRule&) = delete;

    bool IsWebsiteAllowable(std::string_view UserLogin, std::string_view URL);

    // The last call's answer came from the kept copy (read now or before).
    bool LastAnswerCached() const { return lastCached_; }
    // How many times the files were read into a kept copy.
    int Reads() const { return reads_; }

private:
    struct Snapshot;
    std::shared_ptr<const Snapshot> snapshot_;
    WebsiteRule rule_;
    bool lastCached_ = false;
    int reads_ = 0;
};

}  // namespace corvane
