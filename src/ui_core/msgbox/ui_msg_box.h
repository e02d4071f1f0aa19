#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {

// The program's own message box as an object: set the properties, call Show,
// read the button code. Each Show asks through the installed presenter, so
// one object may ask any number of questions one after the other.
class UIMsgBox {
public:
    const std::optional<MsgBoxFont>& MessageFont() const { return request_.font; }
    void SetMessageFont(std::optional<MsgBoxFont> font) { request_.font = std::move(font); }
    const std::string& HelpFile() const { return request_.helpFile; }
    void SetHelpFile(std::string value) { request_.helpFile = std::move(value); }
    std::int32_t ContextID() const { return request_.contextId; }
    void SetContextID(std::int32_t value) { request_.contextId = value; }
    std::int32_t Buttons() const { return request_.buttons; }
    void SetButtons(std::int32_t value) { request_.buttons = value; }
    const std::string& Title() const { return request_.title; }
    void SetTitle(std::string value) { request_.title = std::move(value); }
    const std::string& Prompt() const { return request_.prompt; }
    void SetPrompt(std::string value) { request_.prompt = std::move(value); }
    float BoxWidth() const { return request_.boxWidth; }
    void SetBoxWidth(float value) { request_.boxWidth = value; }
    float BoxHeight() const { return request_.boxHeight; }
    void SetBoxHeight(float value) { request_.boxHeight = value; }
    std::int32_t Language() const { return request_.language; }
    void SetLanguage(std::int32_t value) { request_.language = value; }
    std::int32_t AutoCloseAfterSecs() const { return request_.autoCloseAfterSecs; }
    void SetAutoCloseAfterSecs(std::int32_t value) { request_.autoCloseAfterSecs = value; }
    std::int32_t BackColor() const { return request_.backColor; }
    void SetBackColor(std::int32_t value) { request_.backColor = value; }
    std::int32_t ForeColor() const { return request_.foreColor; }
    void SetForeColor(std::int32_t value) { request_.foreColor = value; }
    // The code returned by the last Show.
    int result() const { return result_; }

    // Stores every argument in its property and shows the box.
    int EnhMsgBox(const std::string& prompt, std::int32_t buttons, const std::string& title,
                  std::optional<MsgBoxFont> messageFont, bool richText, float width, float height,
                  std::int32_t backColor, std::int32_t foreColor, std::int32_t autoCloseAfterSecs,
                  const std::string& helpFile, std::int32_t contextId, std::int32_t language);

    // Shows the box from the current properties, waits for it to close and
    // returns the button code.
    int Show();

private:
    MsgBoxRequest request_;
    int result_ = kMsgNone;
};

}  // namespace corvane
