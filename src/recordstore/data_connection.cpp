#include "recordstore/data_connection.h"

#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_globals.h"
#include "recordstore/user.h"

namespace corvane {

void TestDataConnection() {
    User user;
    // Whatever the answer, the test ends here; the table closes with the object.
    RunTrapped("AppMain.TestDataConnection", {[&] { user.OpenTable(""); }});
}

bool IsUserRecordLocked(const std::string& login, std::string& lockedBy, std::string& lockedOn,
                        OleDate& lockedAt, const std::string& pathName) {
    if (gDisableFileLocking) return false;
    User user;
    std::int16_t locked = 0;
    bool result = false;
    RunTrapped("FileSystem.IsUserRecordLocked",
               {
                   [&] { user.OpenTable(pathName); },
                   [&] { locked = user.IsRecordLocked(login); },
                   [&] { lockedBy = user.RecordLockedBy(); },
                   [&] { lockedOn = user.RecordLockedOn(); },
                   [&] { lockedAt = user.RecordLockedAt(); },
                   [&] { result = locked != 0 && user.RecordLockedOn() != GetLocalComputerName(); },
               });
    return result;
}

}  // namespace corvane
