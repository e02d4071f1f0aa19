#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/rule/cached_website_rule.h"
#include "browser/window/browser_control.h"
#include "browser/window/browser_frame.h"

namespace corvane {

// Places the browser window reports its errors under.
inline constexpr const char* kBrowserLoadDataPlace = "frmWebBrowser.LoadData";
inline constexpr const char* kBrowserLoadUserOptionsPlace = "frmWebBrowser.LoadUserOptions";
inline constexpr const char* kBrowserNewWindowPlace = "frmWebBrowser.brwWebBrowser_NewWindow2";

// Windows that pages may have open at once, across the program.
inline constexpr int kMaxPageOpenedWindows = 50;

// The fixed status texts of the busy timer.
inline constexpr const char* kLoadingText = "Loading...";
inline constexpr const char* kDoneText = "Done";

// The three status panels (text, user, computer) for a status text.
std::array<std::string, 3> BrowserStatusPanels(const std::string& text);

// Mode 0: message 425 with the parameter (its short form when empty), titled with the program's
// name; returns the button pressed.
int ShowBrowserMessage(int mode, std::int32_t buttons, const std::string& parameter);

// The logic of one browser window: its rights, the address box, every navigation under the
// website rule and the child windows. Qt-free; the window and the control are its seams.
class BrowserController : public IBrowserEvents {
public:
    BrowserController(IBrowserFrame& frame, IBrowserControl& control);
    ~BrowserController() override;
    BrowserController(const BrowserController&) = delete;
    BrowserController& operator=(const BrowserController&) = delete;

    // On a child window, which does not open the user's home page.
    bool NewWindow = false;
    // The window that opened this one; emptied at unload.
    BrowserController* ParentBrowser = nullptr;
    // Opened at the first activation; empty for an ordinary window.
    std::string StartingAddress;
    // The number of child windows in the collection.
    std::int16_t BrowserIndex = 0;
    // The address last reported by the control, trimmed and without one final "/".
    const std::string& CurrentURL() const { return currentURL_; }
    void SetCurrentURL(std::string URL);
    bool LockAddressBar() const { return lockAddressBar_; }
    void SetLockAddressBar(bool value) { lockAddressBar_ = value; }
    // "", "about:blank", "http://" and "http:///", trimmed, letter case ignored.
    static bool BlankURL(const std::string& URL);
    bool IsWebsiteAllowable(const std::string& UserLogin, const std::string& URL);
    void SetLanguage();

    void Form_Load();
    void Form_Activate();
    void LoadData();
    void LoadUserOptions();
    // The address-box command: a pick from the list, Enter, and the Go button.
    void cboAddress_Click();
    // Answers false when the key is to be discarded.
    bool cboAddress_KeyPress(int KeyAscii);
    void cboAddress_GotFocus();
    void tblGo_ButtonClick() { cboAddress_Click(); }
    // The tool bar's buttons by key, letter case ignored.
    void ToolBar_ButtonClick(const std::string& key);
    void timTimer_Timer();
    void Form_Unload();

    void brwWebBrowser_BeforeNavigate2(const std::string& URL, NavigationKind kind, bool mainFrame,
                                       bool& Cancel) override;
    void brwWebBrowser_StatusTextChange(const std::string& Text) override;
    void brwWebBrowser_NavigateComplete2(const std::string& URL, bool mainFrame) override;
    void brwWebBrowser_NewWindow2(const std::string& URL, bool& Cancel) override;
    void brwWebBrowser_DownloadComplete() override;
    void brwWebBrowser_SetSecureLockIcon(int SecureLockIcon) override;
    void brwWebBrowser_EngineFailed() override;

    IBrowserFrame& Frame() { return frame_; }
    IBrowserControl& Control() { return control_; }
    // The child collection as added, closed children included; null once a child is gone.
    int ChildCount() const { return static_cast<int>(children_.size()); }
    BrowserController* Child(int index) const;
    // Still open: not unloaded and not destroyed.
    static bool IsOpen(const BrowserController* window);
    // Windows opened by pages and still open, program-wide.
    static int PageOpenedWindows();

    // Whether an address answers before a child window opens on it; empty restores
    // IsURLAvailable.
    using URLProbe = std::function<bool(const std::string& address)>;
    static URLProbe SetURLProbe(URLProbe probe);

private:
    void RunAddressCommand();
    // Login required, the user's record found, not an administrator, websites enforced.
    bool Enforced() const;
    bool NavigationAllowed(const std::string& URL);
    // A page or frame may be opened: no guarded file, and the rule where it applies.
    bool MayOpen(const std::string& URL);
    // A page's new window for the address it asked for: MayOpen, then the probe, then the
    // rights.
    void OpenPageWindow(const std::string& address);
    void Refuse(const std::string& URL, bool showMessage);
    void UpdateAddressList(const std::string& URL);
    // Opens a child window starting at the address that was probed.
    void OpenChildWindow(const std::string& address);
    void Log(const std::string& URL, const char* status);

    IBrowserFrame& frame_;
    IBrowserControl& control_;
    CachedWebsiteRule rule_;
    bool firstActivation_ = false;
    bool updatingList_ = false;
    bool internetAccess_ = false;
    bool lockAddressBar_ = false;
    bool administrator_ = false;
    bool enforceWebsites_ = false;
    bool allowNewWindows_ = false;
    // Rights were copied from a record: login required and the user found.
    bool recordLoaded_ = false;
    // A refusal's message was shown during this page load.
    bool refusalShown_ = false;
    // A refused frame was recorded since the last page navigation went ahead.
    bool frameRefusalLogged_ = false;
    bool unloaded_ = false;
    std::string currentURL_;
    std::vector<BrowserController*> children_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace corvane
