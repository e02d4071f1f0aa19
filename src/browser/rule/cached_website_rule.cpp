#include "browser/rule/cached_website_rule.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "browser/rule/website_address.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/clock.h"
#include "platform/core/cp1252.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "recordstore/data_paths.h"
#include "recordstore/record_description.h"
#include "recordstore/record_file.h"
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

// A slot of a table's file, its fields read in place.
class Slot;
WebsiteRuleUser UserOf(const Slot& u);

class Slot {
public:
    Slot(const RecordDescription& desc, const std::uint8_t* bytes) : desc_(desc), bytes_(bytes) {}
    // The field's bytes without the spaces around them. Wide fields are mostly trailing
    // blanks, so their end is found eight bytes at a time.
    std::string_view Raw(int field) const {
        const FieldSpec& f = desc_.fields[static_cast<std::size_t>(field)];
        const char* p = reinterpret_cast<const char*>(bytes_) + f.offset;
        std::size_t end = f.width;
        constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
        for (std::uint64_t word; end >= 8; end -= 8) {
            std::memcpy(&word, p + end - 8, 8);
            if (word != kBlanks) break;
        }
        while (end > 0 && p[end - 1] == ' ') --end;
        std::size_t start = 0;
        while (start < end && p[start] == ' ') ++start;
        return {p + start, end - start};
    }
    std::string Text(int field) const { return cp1252::FromField(Raw(field)); }
    std::int32_t Number(int field) const {
        const FieldSpec& f = desc_.fields[static_cast<std::size_t>(field)];
        const std::uint8_t* p = bytes_ + f.offset;
        if (f.kind == FieldKind::Long)
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                             (static_cast<std::uint32_t>(p[2]) << 16) |
                                             (static_cast<std::uint32_t>(p[3]) << 24));
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
    }
    // Not deleted and the key not blank, as the tables' own walks find records.
    bool Valid() const {
        if (Number(desc_.deletedIndex) == -1) return false;
        for (int k : desc_.keyIndexes)
            if (!Raw(k).empty()) return true;
        return false;
    }

private:
    const RecordDescription& desc_;
    const std::uint8_t* bytes_;
};

WebsiteRuleUser UserOf(const Slot& u) {
    return {u.Number(User::kIsAdministrator) != 0, u.Number(User::kEnforceWebsites) != 0,
            u.Number(User::kEnforceUserAccessOnWebsites) != 0, u.Number(User::kAccessLevel),
            u.Text(User::kOtherAccess)};
}

// Every valid record of the file at path in record order, in one scan of whole slots read a
// megabyte at a time (the table objects' walks pay a system call and every field's decoding
// per record). each answers false to stop.
template <typename F>
void ScanValid(const RecordDescription& desc, const std::string& path, F&& each) {
    RecordFile file(desc.slotLength, desc.dataLength);
    file.Open(path);
    file.BeginScan();
    struct EndScan {
        RecordFile& file;
        ~EndScan() { file.EndScan(); }
    } end{file};
    const std::int64_t length = file.Length();
    const std::int32_t slots = RecordFile::SlotCount(length, desc.slotLength);
    const auto perBlock = static_cast<std::int32_t>(std::max<std::uint32_t>(1, (1u << 20) / desc.slotLength));
    std::vector<std::uint8_t> block(static_cast<std::size_t>(perBlock) * desc.slotLength);
    for (std::int32_t n = 1; n <= slots;) {
        const std::int32_t count = std::min(perBlock, slots - n + 1);
        const std::int64_t start = static_cast<std::int64_t>(n - 1) * desc.slotLength;
        const auto got = static_cast<std::int64_t>(file.ReadSlots(n, count, block.data()));
        const std::int64_t held = std::min(got, length - start);
        for (std::int32_t i = 0; i < count; ++i, ++n) {
            const std::int64_t at = static_cast<std::int64_t>(i) * desc.slotLength;
            if (at + desc.dataLength > held) continue;  // a torn slot reads as a blank record
            const Slot slot(desc, block.data() + at);
            if (slot.Valid() && !each(slot)) return;
        }
    }
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
    // Each login's assigned addresses in record order.
    std::unordered_map<std::string, std::vector<std::string>> links;
    // The links of the logins asked about, read as addresses; one that does not parse is nothing.
    mutable std::unordered_map<std::string, std::vector<std::optional<WebsiteAddress>>> read;

    const std::vector<std::optional<WebsiteAddress>>* LinksOf(const std::string& login) const {
        if (const auto done = read.find(login); done != read.end()) return &done->second;
        const auto texts = links.find(login);
        if (texts == links.end()) return nullptr;
        auto& addresses = read[login];
        for (const auto& t : texts->second) addresses.push_back(WebsiteAddress::Parse(t));
        return &addresses;
    }
};

CachedWebsiteRule::CachedWebsiteRule() = default;
CachedWebsiteRule::~CachedWebsiteRule() = default;

namespace {

// Reads the three files whole; the first record of a key wins, as the searches find it.
template <typename Snapshot>
std::shared_ptr<Snapshot> ReadSnapshot(const Paths& paths) {
    auto s = std::make_shared<Snapshot>();
    s->paths = paths;
    ScanValid(User::Table(), paths[0], [&](const Slot& u) {
        s->users.try_emplace(KeyOf(u.Text(User::kLogin)), UserOf(u));
        return true;
    });
    ScanValid(Website::Table(), paths[1], [&](const Slot& w) {
        std::string url = w.Text(Website::kURL);
        s->websites.try_emplace(KeyOf(url), typename Snapshot::Level{w.Number(Website::kAccessLevel),
                                                                      w.Text(Website::kOtherAccess)});
        s->catalogue.Add(std::move(url));
        return true;
    });
    ScanValid(UserWebsite::Table(), paths[2], [&](const Slot& l) {
        s->links[KeyOf(l.Text(UserWebsite::kUserLogin))].push_back(l.Text(UserWebsite::kKey));
        return true;
    });
    return s;
}

// As much of the three files as one navigation of the login needs: the login's record, the
// first catalogue entry that reads as the tested address and the login's links that may admit
// it (entries and links on other hosts are passed over without being read as addresses; the
// plain bytes of a field read as its text).
template <typename Snapshot>
std::shared_ptr<Snapshot> ReadForOne(const Paths& paths, std::string_view UserLogin,
                                     const std::optional<WebsiteAddress>& tested) {
    auto s = std::make_shared<Snapshot>();
    const std::string login = KeyOf(UserLogin);
    // Compared in the file's own bytes, as the tables' key searches compare.
    const std::string loginBytes = cp1252::FromUtf8(text::TrimSpaces(UserLogin));
    ScanValid(User::Table(), paths[0], [&](const Slot& u) {
        if (!text::EqualsBytes(u.Raw(User::kLogin), loginBytes)) return true;
        s->users.try_emplace(login, UserOf(u));
        return false;
    });
    if (tested) {
        ScanValid(Website::Table(), paths[1], [&](const Slot& w) {
            if (const auto host = PlainHost(w.Raw(Website::kURL)); host && *host != tested->host) return true;
            std::string url = w.Text(Website::kURL);
            const auto entry = WebsiteAddress::Parse(url);
            if (!entry || !SameAddress(*entry, *tested)) return true;
            s->websites.try_emplace(KeyOf(url), typename Snapshot::Level{w.Number(Website::kAccessLevel),
                                                                          w.Text(Website::kOtherAccess)});
            s->catalogue.Add(std::move(url));
            return false;
        });
    }
    ScanValid(UserWebsite::Table(), paths[2], [&](const Slot& l) {
        if (!text::EqualsBytes(l.Raw(UserWebsite::kUserLogin), loginBytes)) return true;
        if (const auto host = PlainHost(l.Raw(UserWebsite::kKey)); tested && host && *host != tested->host) return true;
        s->links[login].push_back(l.Text(UserWebsite::kKey));
        return true;
    });
    return s;
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
    const auto tested = WebsiteAddress::Parse(URL);
    const Snapshot* s = Current();
    std::shared_ptr<const Snapshot> once;
    if (!s) {
        // Nothing may be kept: what this decision needs is read for it alone.
        try {
            once = ReadForOne<Snapshot>({GetUserPathName(), GetWebsitesPathName(), GetUserWebsitesPathName()},
                                        UserLogin, tested);
        } catch (...) {
            return rule_.IsWebsiteAllowable(UserLogin, URL);  // which reports what fails
        }
        s = once.get();
    }
    const std::string* form = tested && !IsBlankPage(URL) ? s->catalogue.Find(*tested) : nullptr;
    const bool answer = Answer(*s, UserLogin, form ? std::string_view(*form) : URL, &tested);
    lastCached_ = !once;
    return answer;
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
    const auto* links = s.LinksOf(KeyOf(UserLogin));
    if (!links) return false;
    // The catalogue's text reads as the same address as the one already read.
    const auto tested = read ? *read : WebsiteAddress::Parse(URL);
    if (!tested) return false;
    for (const auto& assigned : *links) {
        if (!assigned || !AddressAdmits(*assigned, *tested)) continue;
        if (!u.enforceUserAccessOnWebsites) return true;
        return WebsiteLevelAllows(u.accessLevel, u.otherAccess, website->second.accessLevel,
                                  website->second.otherAccess);
    }
    return false;
}

}  // namespace corvane
