#include "ui_core/msgbox/msgbox_seam.h"

#include <utility>


namespace corvane {
namespace {
std::shared_ptr<MsgBoxPresenter>& Installed() {
    static std::shared_ptr<MsgBoxPresenter> presenter;
    return presenter;
}
}  // namespace

std::shared_ptr<MsgBoxPresenter> SetMsgBoxPresenter(std::shared_ptr<MsgBoxPresenter> presenter) {
    return std::exchange(Installed(), std::move(presenter));
}

int PresentMsgBox(const MsgBoxRequest& request) {
    // Hold a reference: a box may install another presenter while it is open.
    const auto presenter = Installed();
    return presenter ? presenter->Present(request) : kMsgNone;
}

}  // namespace corvane
