#include "session/console/console_model.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "logs/current_user.h"
#include "messages/message_catalogue.h"
#include "platform/core/carry_on.h"
#include "platform/core/environment.h"
#include "platform/core/cp1252.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "platform/system/file_helpers.h"
#include "platform/system/process_spawn.h"
#include "recordstore/user.h"
#include "session/rules/program_rule.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

std::string Message(int number) { return GetMessageText(number, gLanguage); }

ConsoleItem Fixed(int text, int description, const char* pictureKey, const char* tag) {
    return {Message(text), Message(description), pictureKey, "", tag};
}

// Catalogue paths compare trimmed and without letter case, as Program.Load
// finds them: the bytes as the file holds them, each folded.
std::string PathKey(std::string_view fileBytes) {
    std::string key(fileBytes);
    for (char& c : key) c = static_cast<char>(text::FoldByte(static_cast<unsigned char>(c)));
    return key;
}

// The login's assigned paths in record order, as LoadPrograms lists them, in
// one pass over the links.
std::vector<std::string> AssignedPaths(const std::string& login) {
    std::vector<std::string> paths;
    UserProgram links;
    links.ScanPrograms(login, [&](const SlotView& link) {
        paths.emplace_back(link.Raw(UserProgram::kKey));
        return true;
    });
    return paths;
}

// The descriptions of the wanted paths (by PathKey), read in one pass over the
// catalogue; the first record of a path wins, as a search finds it.
void ReadDescriptions(std::unordered_map<std::string, std::optional<std::string>>& wanted) {
    Program program;
    program.ScanValid([&](const SlotView& entry) {
        const auto found = wanted.find(PathKey(entry.Raw(Program::kProgramPathName)));
        if (found != wanted.end() && !found->second) found->second = entry.Text(Program::kDescription);
        return true;
    });
}

void AddPrograms(const std::string& login, std::vector<ConsoleItem>& items) {
    // Paths as the file holds them, and the description of each (nothing: not in the catalogue).
    std::vector<std::string> assigned;
    std::unordered_map<std::string, std::optional<std::string>> catalogue;
    try {
        assigned = AssignedPaths(login);
        if (assigned.empty()) return;
        for (const auto& path : assigned) catalogue.try_emplace(PathKey(path));
        ReadDescriptions(catalogue);
    } catch (const std::exception&) {
        return;
    }
    const File file;
    // The list's keys are unique: a path assigned twice shows once.
    std::unordered_set<std::string> listed;
    for (const auto& bytes : assigned) {
        const auto& entry = catalogue.at(PathKey(bytes));
        if (!entry) continue;
        const std::string path = cp1252::ToUtf8(bytes);
        if (!listed.insert(text::ToLower(path)).second) continue;
        const std::string& description = entry->empty() ? path : *entry;
        items.push_back({file.GetFileName(path), description, "", path, kTagProgram});
    }
}

void AroundModal(ConsoleHost& host, const std::function<void()>& show) {
    CarryOn([&] { host.SetTrayEnabled(false); });
    CarryOn(show);
    CarryOn([&] { host.SetTrayEnabled(true); });
}

void TellProgramRefused() {
    CarryOn([] {
        ShowMsgBox(GetMessageText(425, gLanguage, std::string()), kMsgExclamation | kMsgOkOnly,
                   Message(kMessageProgramName));
    });
}

}  // namespace

std::vector<ConsoleItem> ConsoleModel::BuildItems(bool authenticated) {
    std::vector<ConsoleItem> items;
    const ConsoleItem browser = Fixed(168, 611, "web browser", kTagWebBrowser);
    const ConsoleItem corvane = Fixed(kMessageProgramName, 610, "corvane", kTagCorvane);
    const ConsoleItem security = Fixed(148, 614, "security", kTagSecurity);
    const ConsoleItem options = Fixed(20, 615, "options", kTagOptions);
    const ConsoleItem password = Fixed(304, 389, "password", kTagChangePassword);
    const ConsoleItem logOff = Fixed(336, 622, "way out", kTagLogOff);
    if (!authenticated) return {browser, corvane, options};

    const std::string login = GetCurrentUser();
    User user;
    bool found = false;
    CarryOn([&] { found = user.Load(login); });
    if (found) {
        if (user.IsAdministrator() != 0) {
            // Administrators change their password whatever their record says.
            items = {browser, corvane, security, options, password};
        } else {
            if (user.EnableInternetAccess() != 0) items.push_back(browser);
            if (user.PasswordCannotChange() == 0) items.push_back(password);
        }
        if (user.AddProgramsToSecureConsoleAfterLogin() != 0) AddPrograms(login, items);
    }
    items.push_back(logOff);
    return items;
}

std::string ConsoleModel::ItemCountText(int count) {
    return std::to_string(count) + " " + Message(count == 1 ? 128 : 129);
}

std::string ConsoleModel::UserPanelText() { return Message(154) + ": " + GetCurrentUser(); }

std::string ConsoleModel::ComputerPanelText() { return Message(65) + ": " + GetLocalComputerName(); }

void ConsoleModel::Launch(ConsoleHost& host, const ConsoleItem* selected) {
    if (gRequireLogin && !host.Authenticated()) {
        // The login closes every window, the console the item came from too,
        // and may open a fresh one; the user chose nothing there.
        CarryOn([&] { host.Authenticate(); });
        return;
    }
    if (!selected) return;
    const std::string& tag = selected->tag;
    if (tag == kTagCorvane) {
        CarryOn([&] { host.ShowUserManagement(); });
    } else if (tag == kTagOptions) {
        AroundModal(host, [&] { host.ShowMainOptions(); });
    } else if (tag == kTagSecurity) {
        AroundModal(host, [&] { host.ShowSecurity(); });
    } else if (tag == kTagWebBrowser) {
        CarryOn([&] { host.ShowWebBrowser(); });
    } else if (tag == kTagChangePassword) {
        AroundModal(host, [&] { host.ShowChangePassword(GetCurrentUser()); });
    } else if (tag == kTagLogOff) {
        CarryOn([&] { host.LogOFF(); });
    } else if (tag == kTagProgram) {
        RunSelectedProgram(selected->key);
    }
}

bool ConsoleModel::MayStartProgram(const std::string& path) {
    bool allowed = false;
    CarryOn([&] { allowed = IsProgramAllowable(GetCurrentUser(), path); });
    if (!allowed) TellProgramRefused();
    return allowed;
}

bool ConsoleModel::MayOpenDocumentWith(const std::string& program) {
    // With "Require Login" off the rule allows anything, a nameless program included.
    if (program.empty()) {
        TellProgramRefused();
        return false;
    }
    return MayStartProgram(program);
}

void ConsoleModel::RunSelectedProgram(const std::string& path) {
    if (!MayStartProgram(path)) return;
    CarryOn([&] {
        if (File().FileExists(path)) SpawnProcess({ProgramFilePath(NativePath(path))});
    });
}

}  // namespace corvane
