#include "ui_core/msgbox/ui_msg_box.h"

#include "ui_core/ui_services.h"

namespace corvane {

int UIMsgBox::EnhMsgBox(const std::string& prompt, std::int32_t buttons, const std::string& title,
                        std::optional<MsgBoxFont> messageFont, bool richText, float width,
                        float height, std::int32_t backColor, std::int32_t foreColor,
                        std::int32_t autoCloseAfterSecs, const std::string& helpFile,
                        std::int32_t contextId, std::int32_t language) {
    request_.prompt = prompt;
    request_.buttons = buttons;
    request_.title = title;
    request_.font = std::move(messageFont);
    request_.richText = richText;
    request_.boxWidth = width;
    request_.boxHeight = height;
    request_.backColor = backColor;
    request_.foreColor = foreColor;
    request_.autoCloseAfterSecs = autoCloseAfterSecs;
    request_.helpFile = helpFile;
    request_.contextId = contextId;
    request_.language = language;
    return Show();
}

int UIMsgBox::Show() {
    result_ = PresentMsgBox(request_);
    return result_;
}

int ShowMsgBox(const std::string& prompt, std::int32_t buttons, const std::string& title) {
    UIMsgBox box;
    return box.EnhMsgBox(prompt, buttons, title, std::nullopt, false, 0, 0, 0, 0, 0, "", 0,
                         ui::Services().language());
}

}  // namespace corvane
