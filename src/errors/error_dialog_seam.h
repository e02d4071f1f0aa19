#pragma once

#include <memory>
#include <string>

namespace corvane {

// Everything the error dialog is given before it is shown.
struct ErrorDialogRequest {
    std::string helpFile;
    bool enableSendErrorReport = true;
    std::string errorReportEmail;
    std::string appErrorLog;
    std::string caption;
    std::string headerCaption;
    std::string errorMessage;
    std::string contactMessage;
    std::string errorReportString;
};

// Whatever shows the error and returns the user's choice: 3 Abort, 4 Retry,
// 5 Ignore, 0 when closed without one. The error dialog window in the running
// program, a scripted responder in tests.
class ErrorDialogPresenter {
public:
    virtual ~ErrorDialogPresenter() = default;
    virtual int Present(const ErrorDialogRequest& request) = 0;
};

// Installs the presenter (nullptr removes it) and returns the previous one.
// With none installed every error answers 0, as a dialog closed unanswered.
std::shared_ptr<ErrorDialogPresenter> SetErrorDialogPresenter(
    std::shared_ptr<ErrorDialogPresenter> presenter);

int PresentErrorDialog(const ErrorDialogRequest& request);

}  // namespace corvane
