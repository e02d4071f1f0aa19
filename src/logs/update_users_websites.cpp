#include "logs/update_users_websites.h"

#include "catalogue/user_website.h"

namespace corvane {

bool UpdateUsersWebsites(const std::string& oldURL, const std::string& newURL) {
    return RenameAssignedWebsite<UserWebsite>(oldURL, newURL);
}

}  // namespace corvane
