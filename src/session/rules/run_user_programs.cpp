#include "session/rules/run_user_programs.h"

#include <exception>

#include "catalogue/user_program.h"
#include "platform/system/file_helpers.h"
#include "platform/system/process_spawn.h"
#include "recordstore/user.h"
#include "session/rules/program_rule.h"

namespace corvane {

void RunUserPrograms(const User& user) {
    UserProgram links;
    std::shared_ptr<UserPrograms> assigned;
    try {
        if (!links.LoadPrograms(user.Login())) return;
        assigned = links.UserPrograms();
    } catch (const std::exception&) {
        return;
    }
    if (!assigned) return;
    const File file;
    for (const auto& link : *assigned) {
        try {
            const std::string path = link->Program();
            if (!IsProgramAllowable(user.Login(), path)) continue;
            if (!file.FileExists(path)) continue;
            SpawnProcess({ProgramFilePath(NativePath(path))});
        } catch (const std::exception&) {
            // One program that cannot be started does not keep the others from starting.
        }
    }
}

}  // namespace corvane
