#include "browser/rule/website_tables.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/cp1252.h"
#include "platform/core/text.h"
#include "recordstore/data_paths.h"
#include "recordstore/record_description.h"
#include "recordstore/record_engine.h"
#include "recordstore/record_file.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

// A slot of a table's file, its fields read in place.
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

WebsiteLevel LevelOf(const Slot& w) { return {w.Number(Website::kAccessLevel), w.Text(Website::kOtherAccess)}; }

// Every valid record of the file at path in record order, in one scan of whole slotCount read a
// megabyte at a time under one shared lock (the table objects' walks decode every field of
// every record). each answers false to stop.
template <typename F>
void ScanValid(const RecordDescription& desc, const std::string& path, F&& each) {
    RecordFile file(desc.slotLength, desc.dataLength);
    try {
        file.Open(path);
    } catch (const std::exception& e) {
        // As the table's Load reports a file it cannot open, which the handler retries.
        const RecordEngine table(desc);
        throw table.Wrap(ops::kLoad, table.Wrap(ops::kOpenTable, e));
    }
    file.BeginScan();
    struct EndScan {
        RecordFile& file;
        ~EndScan() { file.EndScan(); }
    } end{file};
    const std::int64_t length = file.Length();
    const std::int32_t slotCount = RecordFile::SlotCount(length, desc.slotLength);
    const auto perBlock = static_cast<std::int32_t>(std::max<std::uint32_t>(1, (1u << 20) / desc.slotLength));
    std::vector<std::uint8_t> block(static_cast<std::size_t>(std::min(perBlock, std::max(slotCount, 1))) * desc.slotLength);
    for (std::int32_t n = 1; n <= slotCount;) {
        const std::int32_t count = std::min(perBlock, slotCount - n + 1);
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

}  // namespace

WebsiteRulePaths CurrentWebsiteRulePaths() {
    return {GetUserPathName(), GetWebsitesPathName(), GetUserWebsitesPathName()};
}

void ReadAllWebsiteTables(const WebsiteRulePaths& paths, WebsiteTables& t) {
    ScanValid(User::Table(), paths[0], [&](const Slot& u) {
        t.users.try_emplace(WebsiteKey(u.Text(User::kLogin)), UserOf(u));
        return true;
    });
    t.read |= WebsiteTables::kUsers;
    ScanValid(Website::Table(), paths[1], [&](const Slot& w) {
        std::string url = w.Text(Website::kURL);
        t.websites.try_emplace(WebsiteKey(url), LevelOf(w));
        t.catalogue.Add(std::move(url));
        return true;
    });
    t.read |= WebsiteTables::kWebsites;
    ScanValid(UserWebsite::Table(), paths[2], [&](const Slot& l) {
        t.links[WebsiteKey(l.Text(UserWebsite::kUserLogin))].push_back(l.Text(UserWebsite::kKey));
        return true;
    });
    t.read |= WebsiteTables::kLinks;
}

// The one-off readers compare in the file's own bytes, as the tables' key searches do, and
// keep what they find under the key the decision asks with.

namespace {

// The first valid record whose field equals text (trimmed, letter case ignored), if any.
template <typename F>
void FindFirst(const RecordDescription& desc, const std::string& path, int field, std::string_view text, F&& keep) {
    const std::string bytes = RecordEngine::MatchBytes(text);
    ScanValid(desc, path, [&](const Slot& slot) {
        if (!text::EqualsBytes(slot.Raw(field), bytes)) return true;
        keep(slot);
        return false;
    });
}

}  // namespace

void ReadWebsiteRuleUser(const std::string& path, std::string_view UserLogin, WebsiteTables& t) {
    FindFirst(User::Table(), path, User::kLogin, UserLogin,
              [&](const Slot& u) { t.users.try_emplace(WebsiteKey(UserLogin), UserOf(u)); });
    t.read |= WebsiteTables::kUsers;
}

void ReadWebsiteOf(const std::string& path, std::string_view URL, WebsiteTables& t) {
    FindFirst(Website::Table(), path, Website::kURL, URL,
              [&](const Slot& w) { t.websites.try_emplace(WebsiteKey(URL), LevelOf(w)); });
    t.read |= WebsiteTables::kWebsites;
}

void ReadWebsiteLike(const std::string& path, const std::optional<WebsiteAddress>& tested, WebsiteTables& t) {
    if (tested) {
        // Entries on other hosts are passed over without being read as addresses.
        ScanValid(Website::Table(), path, [&](const Slot& w) {
            if (const auto host = PlainHost(w.Raw(Website::kURL)); host && *host != tested->host) return true;
            std::string url = w.Text(Website::kURL);
            const auto entry = WebsiteAddress::Parse(url);
            if (!entry || !SameAddress(*entry, *tested)) return true;
            t.websites.try_emplace(WebsiteKey(url), LevelOf(w));
            t.catalogue.Add(std::move(url));
            return false;
        });
    }
    t.read |= WebsiteTables::kWebsites;
}

void ReadLinksOf(const std::string& path, std::string_view UserLogin, const std::optional<WebsiteAddress>& tested,
                 WebsiteTables& t) {
    const std::string bytes = RecordEngine::MatchBytes(UserLogin);
    std::vector<std::string>* kept = nullptr;
    ScanValid(UserWebsite::Table(), path, [&](const Slot& l) {
        if (!text::EqualsBytes(l.Raw(UserWebsite::kUserLogin), bytes)) return true;
        if (!kept) kept = &t.links[WebsiteKey(UserLogin)];
        // A plain host other than the tested one could never admit it.
        if (const auto host = PlainHost(l.Raw(UserWebsite::kKey)); tested && host && *host != tested->host) return true;
        kept->push_back(l.Text(UserWebsite::kKey));
        return true;
    });
    t.read |= WebsiteTables::kLinks;
}

}  // namespace corvane
