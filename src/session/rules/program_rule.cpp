#include "session/rules/program_rule.h"

#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "recordstore/rename_links.h"
#include "recordstore/user.h"

namespace corvane {

bool AccessLevelAdmits(std::int32_t userLevel, const std::string& userOtherAccess, std::int32_t itemLevel,
                       const std::string& itemOtherAccess, bool caseSensitive) {
    if (itemLevel == 3) {
        const bool sameName =
            caseSensitive ? userOtherAccess == itemOtherAccess : text::Equals(userOtherAccess, itemOtherAccess);
        return sameName || userLevel == 0;
    }
    return userLevel == 0 || (userLevel == 1 && (itemLevel == 1 || itemLevel == 2)) || userLevel == itemLevel;
}

bool IsProgramAllowable(const std::string& login, const std::string& programPath) {
    if (!gRequireLogin) return true;
    if (login.empty()) return false;

    bool allowed = false;
    bool decided = false;
    const auto decide = [&](bool answer) {
        allowed = answer;
        decided = true;
    };
    User user;
    Program program;
    UserProgram links;
    // Each step runs only while no earlier one decided; an error refuses.
    const bool ran = RunDecision("ProFunctions.IsProgramAllowable", {
        [&] {
            if (!user.Load(login)) decide(false);
        },
        [&] {
            if (!decided && user.IsAdministrator() != 0) decide(true);
        },
        [&] {
            if (!decided && !program.Load(programPath)) decide(false);
        },
        [&] {
            if (decided) return;
            // The first of the login's links to the path, found in one pass over the links.
            bool assigned = false;
            links.ScanPrograms(login, [&](const SlotView& link) {
                assigned = link.Text(UserProgram::kKey) == programPath;
                return !assigned;
            });
            if (!assigned) return decide(false);
            if (user.EnforceUserAccessOnPrograms() == 0) return decide(true);
            decide(AccessLevelAdmits(user.AccessLevel(), user.OtherAccess(), program.AccessLevel(),
                                     program.OtherAccess(), true));
        },
    });
    return ran && allowed;
}

bool UpdateUsersPrograms(const std::string& oldPath, const std::string& newPath) {
    return RenameLinkKeys<UserProgram>("Functions.UpdateUsersPrograms", oldPath, newPath);
}

}  // namespace corvane
