#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/core/ole_date.h"
#include "platform/core/raised_error.h"

namespace corvane {

// A record file that is busy or cannot be opened.
inline constexpr std::int32_t kErrBusyDataFile = vbObjectError + 11;

// The recipient of e-mailed error reports: CORVANE_SUPPORT_EMAIL, or the
// machine's administrator ("root@localhost") when it is not set.
std::string SupportEmailAddress();

// The report the debug window shows, three lines joined by CR LF:
//   Error <number> [<description>]
//   Occured in <place> at <hh:mm> on the <short date>
//   See help file Located at <help file> for further details.
std::string ErrorReportText(const RaisedError& error, const std::string& place,
                            const std::string& helpFile, OleDate now);

// The central error handler. Every trap hands its error here (through
// HandleError of platform/error_trap.h once InstallErrorHandler has run) and
// follows the answer: 3 leave, 4 retry the statement, 5 go on with the next.
//
// A busy record file is retried after a short random pause: three times
// silently, the fourth time the user is asked "Data Source Error..." with
// Retry (4) or Cancel (3), and the count starts again. The count runs over
// the whole run, whatever procedure or file failed, and a success does not
// reset it. Every other error is appended to the error-log file, written to
// the system log and shown in the error dialog, whose choice is the answer.
// The handler never raises; an error log that cannot be written (a read-only
// program folder) still leaves the dialog and its answer. When the handler
// itself fails (the dialog, a message text or the busy question throws), the
// original error and that failure go to the system log and standard error,
// and the answer is "leave".
class ErrorHandler {
public:
    // language (0 US, 1 UK) chooses the busy question's texts only.
    int HandleError(const RaisedError& error, std::string place, int language = 0);

    // Kind 2 asks message 692 with the parameter; any other kind has an empty
    // prompt. Titled with message 290. Returns the message box's button code.
    int ShowErrorMessage(int kind, std::int32_t buttons, int language,
                         const std::string& parameter);

    // The pause before a busy file is tried again: the pass number runs 1, 2,
    // 3, 4, 1, ... over the run; the pause is BackOff of it, slept in short
    // slices with the event loop kept running in between.
    void WaitBeforeRetry();

    // 10 to 39 ms, chosen by r (0 <= r < 1), times the pass number squared.
    static std::chrono::milliseconds BackOff(int pass, double r);

    std::int16_t BusyRetryCount() const { return busyRetries_; }
    std::int16_t PassCount() const { return passes_; }

private:
    std::int16_t busyRetries_ = 0;
    std::int16_t passes_ = 0;
};

// The one handler of the running program.
ErrorHandler& ProgramErrorHandler();

// Makes ProgramErrorHandler answer every HandleError call of the program.
void InstallErrorHandler();

}  // namespace corvane
