#include "browser/rule/website_tables.h"

#include <vector>

#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/text.h"
#include "recordstore/data_paths.h"
#include "recordstore/record_description.h"
#include "recordstore/record_engine.h"
#include "recordstore/record_file.h"
#include "recordstore/slot_scan.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

WebsiteRuleUser UserOf(const SlotView& u) {
    return {u.Number(User::kIsAdministrator) != 0, u.Number(User::kEnforceWebsites) != 0,
            u.Number(User::kEnforceUserAccessOnWebsites) != 0, u.Number(User::kAccessLevel),
            u.Text(User::kOtherAccess)};
}

WebsiteLevel LevelOf(const SlotView& w) { return {w.Number(Website::kAccessLevel), w.Text(Website::kOtherAccess)}; }

// Every valid record of the file at path in record order, in one scan of large blocks under
// one shared lock, decoding only the fields asked for. each answers false to stop.
void ScanValid(const RecordDescription& desc, const std::string& path, const SlotVisit& each) {
    RecordFile file(desc.slotLength, desc.dataLength);
    try {
        file.Open(path);
    } catch (const std::exception& e) {
        // As the table's Load reports a file it cannot open, which the handler retries.
        const RecordEngine table(desc);
        throw table.Wrap(ops::kLoad, table.Wrap(ops::kOpenTable, e));
    }
    ScanValidSlots(file, desc, each);
}

}  // namespace

WebsiteRulePaths CurrentWebsiteRulePaths() {
    return {GetUserPathName(), GetWebsitesPathName(), GetUserWebsitesPathName()};
}

void ReadAllWebsiteTables(const WebsiteRulePaths& paths, WebsiteTables& t) {
    ScanValid(User::Table(), paths[0], [&](const SlotView& u) {
        t.users.try_emplace(WebsiteKey(u.Text(User::kLogin)), UserOf(u));
        return true;
    });
    t.read |= WebsiteTables::kUsers;
    ScanValid(Website::Table(), paths[1], [&](const SlotView& w) {
        std::string url = w.Text(Website::kURL);
        t.websites.try_emplace(WebsiteKey(url), LevelOf(w));
        t.catalogue.Add(std::move(url));
        return true;
    });
    t.read |= WebsiteTables::kWebsites;
    ScanValid(UserWebsite::Table(), paths[2], [&](const SlotView& l) {
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
    ScanValid(desc, path, [&](const SlotView& slot) {
        if (!text::EqualsBytes(slot.Raw(field), bytes)) return true;
        keep(slot);
        return false;
    });
}

}  // namespace

void ReadWebsiteRuleUser(const std::string& path, std::string_view UserLogin, WebsiteTables& t) {
    FindFirst(User::Table(), path, User::kLogin, UserLogin,
              [&](const SlotView& u) { t.users.try_emplace(WebsiteKey(UserLogin), UserOf(u)); });
    t.read |= WebsiteTables::kUsers;
}

void ReadWebsiteOf(const std::string& path, std::string_view URL, WebsiteTables& t) {
    FindFirst(Website::Table(), path, Website::kURL, URL,
              [&](const SlotView& w) { t.websites.try_emplace(WebsiteKey(URL), LevelOf(w)); });
    t.read |= WebsiteTables::kWebsites;
}

void ReadWebsiteLike(const std::string& path, const std::optional<WebsiteAddress>& tested, WebsiteTables& t) {
    if (tested) {
        // Entries on other hosts are passed over without being read as addresses.
        ScanValid(Website::Table(), path, [&](const SlotView& w) {
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
    ScanValid(UserWebsite::Table(), path, [&](const SlotView& l) {
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
