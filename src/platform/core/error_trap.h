#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "platform/core/raised_error.h"

namespace corvane {

// The answers of the central error handler.
enum ErrorAnswer : int {
    kErrorLeave = 3,   // leave the procedure through its exit block
    kErrorRetry = 4,   // run the failed statement again
    kErrorResume = 5,  // go on with the next statement
};

// The central error handler: given the error and its place ("Object.Procedure")
// it answers one of ErrorAnswer; any other answer leaves. Until the error
// reporting is installed the answer is always to leave.
using ErrorHandlerFunction =
    std::function<int(const RaisedError& error, const std::string& place, int extra, int language)>;

int HandleError(const RaisedError& error, const std::string& place, int extra = 0, int language = 0);
void SetErrorHandler(ErrorHandlerFunction handler);

// While it lives, onError runs on this thread with every error just before the handler
// hears of it: a change that holds locks gives them back before any box is shown.
class ErrorWatch {
public:
    explicit ErrorWatch(std::function<void()> onError);
    ~ErrorWatch();
    ErrorWatch(const ErrorWatch&) = delete;
    ErrorWatch& operator=(const ErrorWatch&) = delete;

private:
    friend int HandleError(const RaisedError& error, const std::string& place, int extra, int language);
    std::function<void()> onError_;
};

using Statement = std::function<void()>;

// Runs a procedure's statements in order under its error trap. On an error the
// handler's answer decides: retry the same statement, go on with the next, or
// leave. Returns true when the procedure ran to its end, false when it left.
bool RunTrapped(const std::string& place, std::initializer_list<Statement> statements,
                int language = 0);

// Runs the steps of an access decision (who gets in, who may do what) under
// its error trap. An error is reported as RunTrapped reports it and the
// handler may have the step run again; every other answer, "go on" included,
// ends the decision there. Returns true only when every step ran: the caller
// grants nothing otherwise, so an error never turns into access.
bool RunDecision(const std::string& place, std::initializer_list<Statement> steps, int language = 0);

// Runs the statements in order, skipping any that fails: no handler is asked
// and nothing is reported (the log-off, the unload and the window launchers).
void RunIgnoringErrors(std::initializer_list<Statement> statements);

}  // namespace corvane
