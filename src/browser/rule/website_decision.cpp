#include "browser/rule/website_decision.h"

#include "platform/core/text.h"

namespace corvane {

bool WebsiteLevelAllows(std::int32_t userLevel, std::string_view userOtherAccess,
                        std::int32_t websiteLevel, std::string_view websiteOtherAccess) {
    if (userLevel == 0) return true;
    if (websiteLevel == 3) return text::Equals(text::TrimSpaces(userOtherAccess), text::TrimSpaces(websiteOtherAccess));
    if (userLevel == 1) return websiteLevel == 1 || websiteLevel == 2;
    return userLevel == websiteLevel;
}

std::string WebsiteKey(std::string_view text) { return text::ToLower(text::TrimSpaces(text)); }

void CatalogueIndex::Add(std::string url) {
    const auto index = static_cast<std::uint32_t>(urls_.size());
    if (const auto host = PlainHost(url)) byHost_[*host].push_back(index);
    else unplain_.push_back(index);
    urls_.push_back(std::move(url));
}

const std::string* CatalogueIndex::Find(const WebsiteAddress& tested) const {
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

const std::vector<std::optional<WebsiteAddress>>* WebsiteTables::LinksOf(const std::string& key) const {
    if (const auto done = parsed_.find(key); done != parsed_.end()) return &done->second;
    const auto texts = links.find(key);
    if (texts == links.end()) return nullptr;
    auto& addresses = parsed_[key];
    addresses.reserve(texts->second.size());
    for (const auto& t : texts->second) addresses.push_back(WebsiteAddress::Parse(t));
    return &addresses;
}

WebsiteVerdict Decide(const WebsiteSnapshot& snapshot, std::string_view UserLogin, std::string_view URL) {
    using R = WebsiteReason;
    auto refused = [](R reason) { return WebsiteVerdict{false, reason}; };
    auto allowed = [](R reason) { return WebsiteVerdict{true, reason}; };

    if (!snapshot.requireLogin) return allowed(R::LoginNotRequired);
    if (UserLogin.empty()) return refused(R::NoLogin);
    const WebsiteTables* t = snapshot.tables;
    if (!t || !(t->read & WebsiteTables::kUsers)) return refused(R::NotRead);
    const std::string login = WebsiteKey(UserLogin);
    const auto user = t->users.find(login);
    if (user == t->users.end()) return refused(R::UnknownUser);
    const WebsiteRuleUser& u = user->second;
    if (u.isAdministrator) return allowed(R::Administrator);
    if (!u.enforceWebsites) return allowed(R::NotEnforced);
    if (IsBlankPage(URL)) return allowed(R::BlankPage);
    // Whatever the catalogue holds, an address that cannot be read is never admitted.
    const auto tested = WebsiteAddress::Parse(URL);
    if (!tested || text::TrimSpaces(URL).size() > kMaxAddressLength) return refused(R::UnreadableAddress);
    if (!(t->read & WebsiteTables::kWebsites)) return refused(R::NotRead);
    const auto website = t->websites.find(WebsiteKey(URL));
    if (website == t->websites.end()) return refused(R::NotInCatalogue);
    if (!(t->read & WebsiteTables::kLinks)) return refused(R::NotRead);
    const auto* links = t->LinksOf(login);
    if (!links) return refused(R::NoAssignedWebsites);
    for (const auto& assigned : *links) {
        if (!assigned || !AddressAdmits(*assigned, *tested)) continue;
        if (!u.enforceUserAccessOnWebsites) return allowed(R::Assigned);
        // A named level that differs grants nothing here; the same two records would be
        // compared again for every later address, so none can.
        return WebsiteLevelAllows(u.accessLevel, u.otherAccess, website->second.accessLevel,
                                  website->second.otherAccess)
                   ? allowed(R::AccessLevelAllows)
                   : refused(R::AccessLevelRefuses);
    }
    return refused(R::NotAssigned);
}

}  // namespace corvane
