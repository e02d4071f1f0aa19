#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "browser/rule/website_address.h"

namespace corvane {

// What the rule reads of a user record.
struct WebsiteRuleUser {
    bool isAdministrator = false;
    bool enforceWebsites = false;
    bool enforceUserAccessOnWebsites = false;
    std::int32_t accessLevel = 0;
    std::string otherAccess;
};

// What the rule reads of a catalogue website.
struct WebsiteLevel {
    std::int32_t accessLevel = 0;
    std::string otherAccess;
};

// The access levels: a user of level 0 may open every level, 1 levels 1 and 2, 2 level 2;
// a level-3 website only users of level 0 or whose named level equals the website's (letter
// case ignored).
bool WebsiteLevelAllows(std::int32_t userLevel, std::string_view userOtherAccess,
                        std::int32_t websiteLevel, std::string_view websiteOtherAccess);

// Keys compare as the tables' searches do: trimmed, letter case ignored.
std::string WebsiteKey(std::string_view text);

// The catalogue in record order, found by host: an entry is read as an address only when a
// navigation to its host asks, and then kept so read.
class CatalogueIndex {
public:
    void Add(std::string url);
    // The first entry that reads as the same address.
    const std::string* Find(const WebsiteAddress& tested) const;

private:
    std::vector<std::string> urls_;
    std::unordered_map<std::string, std::vector<std::uint32_t>> byHost_;
    std::vector<std::uint32_t> unplain_;
    mutable std::unordered_map<std::uint32_t, std::optional<WebsiteAddress>> read_;
};

// The records the rule reads, by WebsiteKey: all of them (the kept copy) or only those one
// decision needs. A part that was not read (yet, or because its file failed) is missing
// from `read`; the first record of a key wins, as the searches find it.
struct WebsiteTables {
    enum Part : unsigned { kUsers = 1, kWebsites = 2, kLinks = 4 };
    unsigned read = 0;
    std::unordered_map<std::string, WebsiteRuleUser> users;
    std::unordered_map<std::string, WebsiteLevel> websites;
    // The catalogue's own texts, for the form a navigation's address is asked in.
    CatalogueIndex catalogue;
    // Each login's assigned addresses in record order (a one-off read may leave out those on
    // other hosts than the tested address's, which could never admit it).
    std::unordered_map<std::string, std::vector<std::string>> links;

    // The login's links read as addresses (one that does not parse is nothing), read once.
    const std::vector<std::optional<WebsiteAddress>>* LinksOf(const std::string& key) const;

private:
    mutable std::unordered_map<std::string, std::vector<std::optional<WebsiteAddress>>> parsed_;
};

// Everything a decision depends on: "Require Login" and the tables (null while login is not
// required: nothing is read then).
struct WebsiteSnapshot {
    bool requireLogin = true;
    const WebsiteTables* tables = nullptr;
};

// Why the rule answered as it did.
enum class WebsiteReason {
    LoginNotRequired,    // allowed
    NoLogin,
    UnknownUser,
    Administrator,       // allowed
    NotEnforced,         // allowed: the user's website rule is off
    BlankPage,           // allowed
    UnreadableAddress,   // the address does not parse, or is too long
    NotInCatalogue,
    NoAssignedWebsites,
    NotAssigned,
    Assigned,            // allowed
    AccessLevelAllows,   // allowed
    AccessLevelRefuses,
    NotRead,             // a part the decision needs is not in the snapshot: refused
};

struct WebsiteVerdict {
    bool allowed = false;
    WebsiteReason reason = WebsiteReason::NotRead;
};

// The website rule, the one form of it. In order, the first that settles it: "Require Login"
// off allows; an empty login (not trimmed), a login not in the users refuse; an
// administrator, a user whose website rule is off are allowed; "about:blank" is allowed; an
// address that does not parse or is longer than kMaxAddressLength, one that is not itself a
// catalogue website (whole, trimmed, letter case ignored), a user without assigned websites
// refuse; the first assigned address that admits it (AddressAdmits) decides, by the access
// levels of the user and of that catalogue website when the user's level rule is on. A part
// of the tables the decision reaches without its having been read refuses (NotRead).
// Reads and writes nothing but the snapshot.
WebsiteVerdict Decide(const WebsiteSnapshot& snapshot, std::string_view UserLogin, std::string_view URL);

}  // namespace corvane
