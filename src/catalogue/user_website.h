#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "recordstore/link_form.h"

namespace corvane {

class UserWebsite;
// The website links of one login or one address, as LoadWebsites and LoadUsers hand them out.
using UserWebsites = LinkCollection<UserWebsite>;

// Website assignments, userwebsites.sec: slot 554 bytes, data 279; UserLogin 0/20, URL
// 20/255, Active 275, Deleted 277. The key is the pair (URL, UserLogin), blank only when both
// are; the identity WebsiteID is the link's own record number, not the catalogue's.
// TableName "UserWebsite". No record locks and no count member.
class UserWebsite : public LinkForm<UserWebsite> {
public:
    static constexpr const char* kCollectionName = "UserWebsites";

    UserWebsite();
    static const RecordDescription& Table();

    // The collection the last LoadWebsites or LoadUsers built; null before the first.
    std::shared_ptr<corvane::UserWebsites> UserWebsites() const { return Links(); }
    void SetUserWebsites(std::shared_ptr<corvane::UserWebsites> v) { SetLinks(std::move(v)); }
    std::int32_t WebsiteID() const { return Identity(); }
    void SetWebsiteID(std::int32_t v) { SetIdentity(v); }
    std::string URL() const { return KeyText(); }
    void SetURL(std::string v) { SetKeyText(std::move(v)); }

    // Load(strURL, strUserLogin) and Exists(strWebsite, strUserLogin): the address comes first.

    // Every valid link of the login into a new UserWebsites, in record order (see
    // UserMember::LoadGroup). Errors under UserWebsite.LoadWebsites.
    bool LoadWebsites(std::string_view strUserLogin) { return LoadLinks("LoadWebsites", kUserLogin, strUserLogin); }
    // Every valid link of the address, under UserWebsite.LoadUsers.
    bool LoadUsers(std::string_view strURL) { return LoadLinks("LoadUsers", kKey, strURL); }
};

}  // namespace corvane
