#include "errors/error_handler.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <random>

#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/core/event_loop.h"
#include "platform/core/program_globals.h"
#include "platform/settings/registry_store.h"
#include "ui_core/date_text.h"
#include "errors/error_dialog_seam.h"
#include "errors/error_log_file.h"
#include "errors/system_log.h"
#include "ui_core/help.h"
#include "messages/message_catalogue.h"
#include "ui_core/msgbox/msgbox_seam.h"
#include "ui_core/ui_services.h"

namespace corvane {
namespace {

constexpr int kMessageDataSourceError = 692;
constexpr int kMessageUnexpectedError = 693;
constexpr std::int32_t kBusyQuestionButtons = kMsgSystemModal | kMsgCritical | kMsgRetryCancel;
constexpr auto kPauseSlice = std::chrono::milliseconds(10);

ErrorDialogRequest DialogFor(const RaisedError& error, const std::string& place,
                             const std::string& logPath) {
    ErrorDialogRequest r;
    r.helpFile = environment::ProgramFolder() + "/" + kHelpFileName;
    r.enableSendErrorReport = true;
    r.errorReportEmail = SupportEmailAddress();
    r.appErrorLog = logPath;
    r.caption = GetMessageText(kMessageUnexpectedError, ui::Services().language());
    r.headerCaption = "Corvane Professional has encountered a problem.";
    r.errorMessage = error.Description() + " Occured in " + place;
    r.contactMessage = "If this problem persists contact your software supplier.";
    // Errors carry no help file of their own.
    r.errorReportString = ErrorReportText(error, place, "", clock::Now());
    return r;
}

// The handler's own failure must not hide the error it was handling: both go to the system
// log and to standard error, the two places left when the dialog itself cannot be shown.
void ReportHandlerFailure(const RaisedError& error, std::string place, const std::string& failure) {
    std::string text;
    try {
        text = "The error handler failed (" + failure + ") while reporting " + FormatErrorLine(error, place);
    } catch (...) {
        return;
    }
    try {
        CurrentSystemLog()->WriteError(text);
    } catch (...) {
    }
    std::fprintf(stderr, "%s: %s\n", kProgramTitle, text.c_str());
    std::fflush(stderr);
}

}  // namespace

std::string SupportEmailAddress() {
    const std::string address = environment::Variable("CORVANE_SUPPORT_EMAIL");
    return address.empty() ? "root@localhost" : address;
}

std::string ErrorReportText(const RaisedError& error, const std::string& place,
                            const std::string& helpFile, OleDate now) {
    return "Error " + std::to_string(error.Number()) + " [" + error.Description() + "]\r\n" +
           "Occured in " + place + " at " + ui::HoursMinutesText(now) + " on the " +
           ui::ShortDateText(now) + "\r\n" + "See help file Located at " + helpFile +
           " for further details.";
}

int ErrorHandler::HandleError(const RaisedError& error, std::string place, int language) {
    try {
        if (error.Number() == kErrBusyDataFile) {
            WaitBeforeRetry();
            if (++busyRetries_ <= 3) return kErrorRetry;
            busyRetries_ = 0;
            // The stored "Data Path" as it stands, not the folder it resolves to.
            const int button = ShowErrorMessage(2, kBusyQuestionButtons, language, gDataPath);
            return button == kMsgRetry ? kErrorRetry : kErrorLeave;
        }
        const std::string path = ErrorLogPath();
        const std::string line = FormatErrorLine(error, place);
        // A log that cannot be written must not cost the user the dialog.
        WriteErrorLog(line, path);
        return PresentErrorDialog(DialogFor(error, place, path));
    } catch (const std::exception& e) {
        ReportHandlerFailure(error, place, e.what());
    } catch (...) {
        ReportHandlerFailure(error, place, "an unknown exception");
    }
    return kErrorLeave;
}

int ErrorHandler::ShowErrorMessage(int kind, std::int32_t buttons, int language,
                                   const std::string& parameter) {
    MsgBoxRequest request;
    if (kind == 2) request.prompt = GetMessageText(kMessageDataSourceError, language, parameter);
    request.buttons = buttons;
    request.title = GetMessageText(kMessageProgramName, language);
    request.language = language;
    return PresentMsgBox(request);
}

std::chrono::milliseconds ErrorHandler::BackOff(int pass, double r) {
    const int base = static_cast<int>(std::clamp(r, 0.0, 0.999999) * 30) + 10;
    return std::chrono::milliseconds(base * pass * pass);
}

void ErrorHandler::WaitBeforeRetry() {
    std::mt19937 random(static_cast<std::mt19937::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
    if (passes_ > 3) passes_ = 0;
    ++passes_;
    YieldToEventLoop();
    const double r = std::uniform_real_distribution<double>(0.0, 1.0)(random);
    auto remaining = BackOff(passes_, r);
    while (remaining.count() > 0) {
        const auto slice = std::min(remaining, std::chrono::milliseconds(kPauseSlice));
        clock::Sleep(slice);
        remaining -= slice;
        YieldToEventLoop();
    }
}

ErrorHandler& ProgramErrorHandler() {
    static ErrorHandler handler;
    return handler;
}

void InstallErrorHandler() {
    SetErrorHandler([](const RaisedError& error, const std::string& place, int, int language) {
        return ProgramErrorHandler().HandleError(error, place, language);
    });
    // A damaged hive reads as defaults; the error log says why.
    registry_store::SetHiveDamageReport([](const RaisedError& error, const std::string& place) {
        std::string where = place;
        WriteErrorLog(FormatErrorLine(error, where), ErrorLogPath());
    });
}

}  // namespace corvane
