#include "browser/rule/cached_website_rule.h"

#include <sys/stat.h>

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "browser/rule/website_address.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/clock.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "recordstore/data_paths.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

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

using Paths = std::array<std::string, 3>;
using Keys = std::array<FileKey, 3>;

std::optional<Keys> StatAll(const Paths& paths) {
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

// Keys compare as the tables' searches do: trimmed, letter case ignored.
std::string KeyOf(std::string_view s) { return text::ToLower(text::TrimSpaces(s)); }

// Steps through the valid records of a table opened at path.
template <typename Table, typename F>
void Walk(const std::string& path, F&& each) {
    Table table;
    table.OpenTable(path);
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext())
        if (table.ValidRecord()) each(table);
}

// The catalogue in record order, found by host: an entry is read as an address only when a
// navigation to its host asks, and then kept so read.
class CatalogueIndex {
public:
    void Add(std::string url) {
        const auto index = static_cast<std::uint32_t>(urls_.size());
        if (const auto host = PlainHost(url)) byHost_[*host].push_back(index);
        else unplain_.push_back(index);
        urls_.push_back(std::move(url));
    }

    // The first entry that reads as the same address.
    const std::string* Find(const WebsiteAddress& tested) const {
        static const std::vector<std::uint32_t> none;
        const auto host = byHost_.find(tested.host);
        const auto& plain = host == byHost_.end() ? none : host->second;
        // Both lists ascend; merged they give record order.
        for (std::size_t i = 0, j = 0; i < plain.size() || j < unplain_.size();) {
            const bool fromPlain = j == unplain_.size() || (i < plain.size() && plain[i] < unplain_[j]);
            const std::uint32_t index = fromPlain ? plain[i++] : unplain_[j++];
            auto [read, fresh] = read_.try_emplace(index);
            if (fresh) read->second = WebsiteAddress::Parse(urls_[index]);
            if (read->second && SameAddress(*read->second, tested)) return &urls_[index];
        }
        return nullptr;
    }

private:
    std::vector<std::string> urls_;
    std::unordered_map<std::string, std::vector<std::uint32_t>> byHost_;
    std::vector<std::uint32_t> unplain_;
    mutable std::unordered_map<std::uint32_t, std::optional<WebsiteAddress>> read_;
};

}  // namespace

struct CachedWebsiteRule::Snapshot {
    Paths paths;
    Keys keys;
    std::unordered_map<std::string, WebsiteRuleUser> users;
    struct Level {
        std::int32_t accessLevel;
        std::string otherAccess;
    };
    std::unordered_map<std::string, Level> websites;
    CatalogueIndex catalogue;
    // Each login's assigned addresses in record order; one that does not parse is nothing.
    std::unordered_map<std::string, std::vector<std::optional<WebsiteAddress>>> links;
};

CachedWebsiteRule::CachedWebsiteRule() = default;
CachedWebsiteRule::~CachedWebsiteRule() = default;

namespace {

// Reads the three files whole; the first record of a key wins, as the searches find it.
template <typename Snapshot>
std::shared_ptr<Snapshot> ReadSnapshot(const Paths& paths) {
    auto s = std::make_shared<Snapshot>();
    s->paths = paths;
    Walk<User>(paths[0], [&](User& u) {
        s->users.try_emplace(KeyOf(u.Login()),
                             WebsiteRuleUser{u.IsAdministrator() != 0, u.EnforceWebsites() != 0,
                                             u.EnforceUserAccessOnWebsites() != 0, u.AccessLevel(),
                                             u.OtherAccess()});
    });
    Walk<Website>(paths[1], [&](Website& w) {
        std::string url = w.URL();
        s->websites.try_emplace(KeyOf(url), typename Snapshot::Level{w.AccessLevel(), w.OtherAccess()});
        s->catalogue.Add(std::move(url));
    });
    Walk<UserWebsite>(paths[2], [&](UserWebsite& l) {
        s->links[KeyOf(l.UserLogin())].push_back(WebsiteAddress::Parse(l.URL()));
    });
    return s;
}

// The catalogue's first text of the address, read from the file; entries on other hosts are
// passed over without being read as addresses.
std::optional<std::string> FindInCatalogue(const std::string& path, const WebsiteAddress& tested) {
    std::optional<std::string> found;
    Walk<Website>(path, [&](Website& w) {
        if (found) return;
        std::string url = w.URL();
        if (const auto host = PlainHost(url); host && *host != tested.host) return;
        const auto entry = WebsiteAddress::Parse(url);
        if (entry && SameAddress(*entry, tested)) found = std::move(url);
    });
    return found;
}

}  // namespace

const CachedWebsiteRule::Snapshot* CachedWebsiteRule::Current() {
    try {
        const Paths paths{GetUserPathName(), GetWebsitesPathName(), GetUserWebsitesPathName()};
        const auto keys = StatAll(paths);
        if (!keys || !snapshot_ || snapshot_->paths != paths || snapshot_->keys != *keys) {
            snapshot_.reset();
            if (keys && Keepable(*keys)) {
                auto fresh = ReadSnapshot<Snapshot>(paths);
                fresh->keys = *keys;
                if (StatAll(paths) == keys) {
                    snapshot_ = std::move(fresh);
                    ++reads_;
                }
            }
        }
    } catch (...) {
        snapshot_.reset();
    }
    return snapshot_.get();
}

bool CachedWebsiteRule::IsWebsiteAllowable(std::string_view UserLogin, std::string_view URL) {
    lastCached_ = false;
    if (!gRequireLogin) return true;
    const Snapshot* s = Current();
    if (!s) return rule_.IsWebsiteAllowable(UserLogin, URL);
    return Answer(*s, UserLogin, URL, nullptr);
}

bool CachedWebsiteRule::IsNavigationAllowable(std::string_view UserLogin, std::string_view URL) {
    lastCached_ = false;
    if (!gRequireLogin) return true;
    const Snapshot* s = Current();
    const auto tested = WebsiteAddress::Parse(URL);
    std::optional<std::string> form;
    if (tested && !IsBlankPage(URL)) {
        if (s) {
            if (const std::string* found = s->catalogue.Find(*tested)) form = *found;
        } else {
            try {
                form = FindInCatalogue(GetWebsitesPathName(), *tested);
            } catch (...) {
                // The rule reads the catalogue itself and reports what fails there.
            }
        }
    }
    const std::string_view asked = form ? std::string_view(*form) : URL;
    if (!s) return rule_.IsWebsiteAllowable(UserLogin, asked);
    return Answer(*s, UserLogin, asked, &tested);
}

bool CachedWebsiteRule::Answer(const Snapshot& s, std::string_view UserLogin, std::string_view URL,
                               const std::optional<WebsiteAddress>* read) {
    lastCached_ = true;
    if (UserLogin.empty()) return false;
    const auto user = s.users.find(KeyOf(UserLogin));
    if (user == s.users.end()) return false;
    const WebsiteRuleUser& u = user->second;
    if (u.isAdministrator || !u.enforceWebsites || IsBlankPage(URL)) return true;
    if (text::TrimSpaces(URL).size() > kMaxAddressLength) return false;
    const auto website = s.websites.find(KeyOf(URL));
    if (website == s.websites.end()) return false;
    const auto links = s.links.find(KeyOf(UserLogin));
    if (links == s.links.end()) return false;
    // The catalogue's text reads as the same address as the one already read.
    const auto tested = read ? *read : WebsiteAddress::Parse(URL);
    if (!tested) return false;
    for (const auto& assigned : links->second) {
        if (!assigned || !AddressAdmits(*assigned, *tested)) continue;
        if (!u.enforceUserAccessOnWebsites) return true;
        return WebsiteLevelAllows(u.accessLevel, u.otherAccess, website->second.accessLevel,
                                  website->second.otherAccess);
    }
    return false;
}

}  // namespace corvane
