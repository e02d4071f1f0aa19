#include "ui_core/help.h"
#include "platform/core/program_title.h"

#include <exception>

#include "platform/core/environment.h"
#include "platform/core/text.h"
#include "ui_core/msgbox/msgbox_seam.h"
#include "ui_core/ui_services.h"

namespace corvane {
namespace {
}

std::string HTMLHelp::Target(const std::string& newFile, const std::string& windowPane) {
    if (windowPane.empty()) return newFile;
    return text::Trim(newFile) + ">" + text::Trim(windowPane);
}

void HTMLHelp::ShowHelp(const std::string& newFile, const std::string& windowPane,
                        std::optional<std::int32_t> contextId) {
    const std::string target = Target(newFile, windowPane);
    if (contextId) ui::Services().openHelp(target, kHelpContext, *contextId);
    else ui::Services().openHelp(target, kHelpDisplayTopic, 0);
}

void ShowHelpFile(std::string& helpFilePath) {
    // Each step on its own: a failure in one leaves the others to run.
    try {
        if (helpFilePath.empty())
            helpFilePath = environment::ProgramFolder() + "/" + kHelpFileName;
    } catch (const std::exception&) {
    }
    try {
        if (ui::Services().fileExists(helpFilePath)) HTMLHelp().ShowHelp(helpFilePath, "");
    } catch (const std::exception&) {
    }
}

void ShowSystemInformation(const std::function<bool(const std::string& program)>& mayStart) {
    const auto& services = ui::Services();
    try {
        if (auto path = services.readMachineRegistryString(
                "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH")) {
            if (!mayStart(*path)) return;
            if (services.startProgram(*path)) return;
        } else if (auto folder = services.readMachineRegistryString(
                       "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO")) {
            const std::string tool = *folder + "/MSINFO32.EXE";
            if (services.fileExists(tool)) {
                if (!mayStart(tool)) return;
                if (services.startProgram(tool)) return;
            }
        }
    } catch (const std::exception&) {
    }
    MsgBoxRequest request;
    request.prompt = "System Information Is Unavailable At This Time";
    request.buttons = kMsgOkOnly;
    request.title = kProgramTitle;
    request.language = services.language();
    PresentMsgBox(request);
}

}  // namespace corvane
