#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane {

int ScriptedMsgBox::Present(const MsgBoxRequest& request) {
    questions_.push_back({request.prompt, request.buttons, request.title, request});
    if (!answers_.empty()) {
        const int code = answers_.front();
        answers_.pop_front();
        return code;
    }
    if (responder_) return responder_(questions_.back());
    return defaultAnswer_;
}

ScriptedMsgBox::Guard::Guard(std::shared_ptr<ScriptedMsgBox> box,
                             std::shared_ptr<MsgBoxPresenter> previous)
    : box_(std::move(box)), previous_(std::move(previous)) {}

ScriptedMsgBox::Guard::~Guard() { SetMsgBoxPresenter(std::move(previous_)); }

ScriptedMsgBox::Guard ScriptedMsgBox::Install() {
    auto box = std::make_shared<ScriptedMsgBox>();
    auto previous = SetMsgBoxPresenter(box);
    return Guard(std::move(box), std::move(previous));
}

}  // namespace corvane
