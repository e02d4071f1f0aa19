#include "session/login/account_table_check.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

#include "errors/error_log_file.h"
#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/core/raised_error.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/set_up_record.h"
#include "platform/settings/settings_store.h"
#include "recordstore/data_paths.h"
#include "recordstore/slot_scan.h"
#include "recordstore/user.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

// One value per data folder, named by the folder's path.
std::string SetUpKeyPath() { return SettingsKeyPath("Data Folders"); }

std::string FolderName() {
    std::error_code ec;
    const auto path = std::filesystem::weakly_canonical(GetDataPath(), ec);
    return ec ? std::filesystem::path(GetDataPath()).lexically_normal().string() : path.string();
}

// The data folders this run has seen set up, by the path as configured and
// after links: a link renamed away does not make the folder new.
std::mutex gSeenMutex;
std::set<std::string> gSeen;

std::string ConfiguredName() { return std::filesystem::path(GetDataPath()).lexically_normal().string(); }

void MarkSeen() {
    std::lock_guard lock(gSeenMutex);
    gSeen.insert(ConfiguredName());
    gSeen.insert(FolderName());
}

bool Seen() {
    std::lock_guard lock(gSeenMutex);
    return gSeen.count(ConfiguredName()) != 0 || gSeen.count(FolderName()) != 0;
}

enum class HiveAnswer { kNamed, kNotNamed, kUnknown };

HiveAnswer HiveNamesFolder() {
    RegKey key = 0;
    const std::int32_t opened = registry_store::OpenKey(HKEY_LOCAL_MACHINE, SetUpKeyPath(), KEY_READ, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return HiveAnswer::kNotNamed;
    if (opened != ERROR_SUCCESS) return HiveAnswer::kUnknown;
    std::int32_t type = 0;
    std::uint32_t size = 0;
    const std::int32_t found = registry_store::QueryValue(key, FolderName(), &type, nullptr, &size);
    registry_store::CloseKey(key);
    if (found == ERROR_FILE_NOT_FOUND) return HiveAnswer::kNotNamed;
    return found == ERROR_SUCCESS ? HiveAnswer::kNamed : HiveAnswer::kUnknown;
}

}  // namespace

bool DataFolderSetUp() {
    if (Seen()) return true;
    const HiveAnswer hive = HiveNamesFolder();
    if (hive == HiveAnswer::kUnknown) return true;
    if (hive == HiveAnswer::kNamed || SetUpRecorded(FolderName()) || SetUpRecorded(ConfiguredName())) {
        MarkSeen();
        return true;
    }
    return false;
}

void RecordDataFolderSetUp() {
    MarkSeen();
    // A refused write is met again at the next start, which names a folder
    // that holds accounts itself.
    (void)RecordSetUp(FolderName());
    (void)RecordSetUp(registry_store::HivePath(HKEY_LOCAL_MACHINE));
    if (gSettingsStoreUnreadable || HiveNamesFolder() != HiveAnswer::kNotNamed) return;
    (void)WriteRegistryValue(HKEY_LOCAL_MACHINE, SetUpKeyPath(), FolderName(), "Set Up", REG_SZ);
}

namespace {
std::atomic<bool> gDamageLogged{false};
}  // namespace

void ReportAccountTableDamage(const AccountTableCheck& check, const char* source, std::string place,
                              bool tellEachTime) {
    if (gDamageLogged && !tellEachTime) return;
    const std::string problem = "The account table is missing or damaged: " + check.problem;
    RunIgnoringErrors({
        [&] {
            if (!gDamageLogged && WriteErrorLog(FormatErrorLine(RaisedError(vbObjectError + 11, source, problem), place),
                              ErrorLogPath()))
                gDamageLogged = true;
        },
        [&] {
            ShowMsgBox(problem + ".\r\nNobody can log in. Ask the administrator to restore it.", kMsgExclamation,
                       GetMessageText(kMessageProgramName, gLanguage));
        },
    });
}

void ForgetSeenSetUps() {
    std::lock_guard lock(gSeenMutex);
    gSeen.clear();
    gDamageLogged = false;
}

AccountTableCheck CheckAccountTable() {
    const std::string path = GetUserPathName();
    const auto damaged = [&](const std::string& why) {
        return AccountTableCheck{AccountTableState::kDamaged, path + " " + why};
    };
    const auto unreadable = [&](const std::string& why) {
        return AccountTableCheck{AccountTableState::kDamaged, path + " " + why, true};
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) return unreadable(std::string("cannot be read: ") + std::strerror(errno));
        if (DataFolderSetUp()) return damaged("is missing");
        return {AccountTableState::kFreshInstall, ""};
    }
    if (!S_ISREG(st.st_mode)) return unreadable("is not a file");
    if (st.st_size == 0) {
        // Start-up's test of the data folder leaves an empty table behind.
        if (DataFolderSetUp()) return damaged("is empty");
        return {AccountTableState::kFreshInstall, ""};
    }
    // The last record of a file ends after its data, without the rest of its slot.
    if (static_cast<unsigned long long>(st.st_size) < User::Table().dataLength)
        return damaged("is shorter than one record");
    // One account is enough: the scan stops at the first (every login asks this).
    bool anyAccount = false;
    try {
        ScanTableFile(User::Table(), path, [&](const SlotView&) {
            anyAccount = true;
            return false;
        });
    } catch (const RaisedError& e) {
        return unreadable("cannot be read: " + e.Description());
    }
    if (!anyAccount) return damaged("holds no account");
    MarkSeen();
    return {AccountTableState::kHoldsAccounts, ""};
}

bool OffersFirstAdministrator() {
    return !gSettingsStoreUnreadable && CheckAccountTable().state == AccountTableState::kFreshInstall;
}

}  // namespace corvane
