#include "errors/error_dialog_seam.h"

#include <utility>

namespace corvane {
namespace {
std::shared_ptr<ErrorDialogPresenter>& Installed() {
    static std::shared_ptr<ErrorDialogPresenter> presenter;
    return presenter;
}
}  // namespace

std::shared_ptr<ErrorDialogPresenter> SetErrorDialogPresenter(
    std::shared_ptr<ErrorDialogPresenter> presenter) {
    return std::exchange(Installed(), std::move(presenter));
}

int PresentErrorDialog(const ErrorDialogRequest& request) {
    // Hold a reference: the dialog's own event loop may install another.
    const auto presenter = Installed();
    return presenter ? presenter->Present(request) : 0;
}

}  // namespace corvane
