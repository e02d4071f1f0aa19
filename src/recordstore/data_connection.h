#pragma once

#include <string>

#include "platform/core/ole_date.h"

namespace corvane {

// Proves at start-up that the data folder can be used by opening the user
// table once (which creates an empty users.sec when there is none). A failure
// goes to the error handler as "AppMain.TestDataConnection": a busy or
// missing folder is retried until the handler gives up or the user cancels.
// Never reports failure to the caller.
void TestDataConnection();

// True when the login's user record is locked from another computer: its
// lock flag is set and RecordLockedOn differs, letter case counting, from this
// computer's name. The lock fields are copied into the out-values, which mean
// something only when the answer is True. pathName is the user table's file
// ("" for the standard one). Always False, opening nothing and leaving the
// out-values alone, while "Disable File Locking" is on. An error goes to the
// error handler as "FileSystem.IsUserRecordLocked"; when its answer leaves,
// the result is False.
bool IsUserRecordLocked(const std::string& login, std::string& lockedBy, std::string& lockedOn,
                        OleDate& lockedAt, const std::string& pathName);

}  // namespace corvane
