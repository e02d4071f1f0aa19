#include "browser/rule/cached_website_rule.h"

#include <sys/stat.h>

#include <chrono>
#include <optional>

#include "browser/rule/website_tables.h"
#include "platform/core/clock.h"
#include "platform/settings/global_settings.h"

namespace corvane {
// Named, not anonymous: the kept copy holds the keys.
namespace website_cache {

// A file changed this recently may change again within the same clock tick of the file
// system without its time moving, so it is not kept yet.
constexpr std::chrono::seconds kSettleTime{2};

struct FileKey {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    bool operator==(const FileKey&) const = default;
};

using Keys = std::array<FileKey, 3>;

std::optional<Keys> StatAll(const WebsiteRulePaths& paths) {
    Keys keys;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        struct stat st {};
        if (::stat(paths[i].c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
        keys[i] = {st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    }
    return keys;
}

bool Keepable(const Keys& keys) {
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         clock::SystemNow().time_since_epoch()).count();
    const auto settle = std::chrono::duration_cast<std::chrono::nanoseconds>(kSettleTime).count();
    for (const auto& k : keys) {
        if (k.nanoseconds == 0) return false;  // whole-second times cannot tell two writes apart
        if (k.seconds * 1'000'000'000 + k.nanoseconds > now - settle) return false;
    }
    return true;
}

}  // namespace website_cache

using namespace website_cache;

struct CachedWebsiteRule::Kept {
    WebsiteRulePaths paths;
    Keys keys;
    WebsiteTables tables;
};

CachedWebsiteRule::CachedWebsiteRule() = default;
CachedWebsiteRule::~CachedWebsiteRule() = default;

const WebsiteTables* CachedWebsiteRule::Current() {
    try {
        const WebsiteRulePaths paths = CurrentWebsiteRulePaths();
        const auto keys = StatAll(paths);
        if (!keys || !kept_ || kept_->paths != paths || kept_->keys != *keys) {
            kept_.reset();
            if (keys && Keepable(*keys)) {
                auto fresh = std::make_shared<Kept>();
                fresh->paths = paths;
                fresh->keys = *keys;
                ReadAllWebsiteTables(paths, fresh->tables);
                if (StatAll(paths) == keys) {
                    kept_ = std::move(fresh);
                    ++reads_;
                }
            }
        }
    } catch (...) {
        kept_.reset();
    }
    return kept_ ? &kept_->tables : nullptr;
}

bool CachedWebsiteRule::IsWebsiteAllowable(std::string_view UserLogin, std::string_view URL) {
    lastCached_ = false;
    if (!gRequireLogin) return Decide({false, nullptr}, UserLogin, URL).allowed;
    const WebsiteTables* tables = Current();
    if (!tables) return rule_.IsWebsiteAllowable(UserLogin, URL);
    lastCached_ = true;
    return Decide({true, tables}, UserLogin, URL).allowed;
}

bool CachedWebsiteRule::IsNavigationAllowable(std::string_view UserLogin, std::string_view URL) {
    lastCached_ = false;
    if (!gRequireLogin) return Decide({false, nullptr}, UserLogin, URL).allowed;
    const auto tested = WebsiteAddress::Parse(URL);
    const WebsiteTables* tables = Current();
    WebsiteTables once;
    if (!tables) {
        // Nothing may be kept: what this decision needs is read for it alone.
        try {
            const WebsiteRulePaths paths = CurrentWebsiteRulePaths();
            ReadWebsiteRuleUser(paths[0], UserLogin, once);
            ReadWebsiteLike(paths[1], tested, once);
            ReadLinksOf(paths[2], UserLogin, tested, once);
        } catch (...) {
            return rule_.IsWebsiteAllowable(UserLogin, URL);  // which reports what fails
        }
    }
    const WebsiteTables& t = tables ? *tables : once;
    const std::string* form = tested && !IsBlankPage(URL) ? t.catalogue.Find(*tested) : nullptr;
    const bool answer = Decide({true, &t}, UserLogin, form ? std::string_view(*form) : URL).allowed;
    lastCached_ = tables != nullptr;
    return answer;
}

}  // namespace corvane
