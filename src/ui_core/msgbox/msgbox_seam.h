#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace corvane {

// Classic button codes a message box returns.
enum MsgBoxResult : int {
    kMsgNone = 0,  // closed without a button (Esc, close box, countdown)
    kMsgOk = 1,
    kMsgCancel = 2,
    kMsgAbort = 3,
    kMsgRetry = 4,
    kMsgIgnore = 5,
    kMsgYes = 6,
    kMsgNo = 7,
    kMsgHelp = 9,  // Help was the last button pressed
};

// Classic flag values of the flag word.
enum MsgBoxFlag : std::int32_t {
    kMsgOkOnly = 0,
    kMsgOkCancel = 1,
    kMsgAbortRetryIgnore = 2,
    kMsgYesNoCancel = 3,
    kMsgYesNo = 4,
    kMsgRetryCancel = 5,
    kMsgCritical = 16,
    kMsgQuestion = 32,
    kMsgExclamation = 48,
    kMsgInformation = 64,
    kMsgDefaultButton2 = 256,
    kMsgDefaultButton3 = 512,
    kMsgDefaultButton4 = 768,
    kMsgSystemModal = 4096,
    kMsgHelpButton = 16384,
};

// Font of a message text, by name and attributes.
struct MsgBoxFont {
    std::string name;
    double pointSize = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// Everything one question needs. Zero and empty values leave the box's own
// defaults in force.
struct MsgBoxRequest {
    std::string prompt;
    std::int32_t buttons = 0;
    std::string title;
    std::optional<MsgBoxFont> font;
    bool richText = false;
    float boxWidth = 0;   // twips; 0 = 4260
    float boxHeight = 0;  // twips; 0 = 800
    std::int32_t backColor = 0;  // OLE colour; 0 = button face
    std::int32_t foreColor = 0;  // OLE colour; 0 = black
    std::int32_t autoCloseAfterSecs = 0;  // 0 or less: never
    std::string helpFile;
    std::int32_t contextId = 0;
    std::int32_t language = 0;
};

// Whatever shows the question and returns the button code: the program's own
// dialog in the running program, a scripted responder in tests.
class MsgBoxPresenter {
public:
    virtual ~MsgBoxPresenter() = default;
    virtual int Present(const MsgBoxRequest& request) = 0;
};

// Installs the presenter (nullptr removes it) and returns the previous one.
// With none installed every question answers 0, as a box closed unanswered.
std::shared_ptr<MsgBoxPresenter> SetMsgBoxPresenter(std::shared_ptr<MsgBoxPresenter> presenter);

// Asks through the installed presenter.
int PresentMsgBox(const MsgBoxRequest& request);

// The program's message box in its plain form: the prompt as plain text, the
// box's defaults, and the button captions in the "Language" setting. Returns
// 1 to 7, 9 when Help was pressed last, 0 when closed without a button. The
// title is, as a rule, message 290 (the program's name).
int ShowMsgBox(const std::string& prompt, std::int32_t buttons, const std::string& title);

}  // namespace corvane
