#pragma once

#include <string>

namespace corvane {

// What started a navigation, as the engine reports it.
enum class NavigationKind { Typed, Link, Form, BackForward, Reload, Redirect, Other };

// The browser control's commands for ExecWB, with their published values.
enum OleCommandId : int {
    OLECMDID_SAVE = 3,
    OLECMDID_SAVEAS = 4,
    OLECMDID_PRINT = 6,
    OLECMDID_PAGESETUP = 8,
    OLECMDID_CUT = 11,
    OLECMDID_COPY = 12,
    OLECMDID_PASTE = 13,
    OLECMDID_SELECTALL = 17,
    OLECMDID_FIND = 32,
};
enum OleCommandOption : int { OLECMDEXECOPT_DODEFAULT = 0, OLECMDEXECOPT_PROMPTUSER = 1 };

// What the control tells the window that hosts it. Raised on the user-interface thread,
// possibly while the window's own code runs (a navigation may complete during a message box).
class IBrowserEvents {
public:
    virtual ~IBrowserEvents() = default;
    // Before any navigation of the page or of one of its frames; Cancel true stops it. URL is
    // the address as the engine gave it, also when it cannot be read as one ("" when the
    // engine gave nothing readable at all).
    virtual void brwWebBrowser_BeforeNavigate2(const std::string& URL, NavigationKind kind, bool mainFrame,
                                               bool& Cancel) = 0;
    // The status text: the link under the pointer, "" when the pointer leaves it.
    virtual void brwWebBrowser_StatusTextChange(const std::string& Text) = 0;
    // A page or frame has arrived.
    virtual void brwWebBrowser_NavigateComplete2(const std::string& URL, bool mainFrame) = 0;
    // A page asks for a window of its own on URL (given as for BeforeNavigate2); the control
    // opens none when Cancel is true.
    virtual void brwWebBrowser_NewWindow2(const std::string& URL, bool& Cancel) = 0;
    virtual void brwWebBrowser_DownloadComplete() = 0;
    // Non-zero while the page is a secure one.
    virtual void brwWebBrowser_SetSecureLockIcon(int SecureLockIcon) = 0;
    // The engine could not start or its page process ended.
    virtual void brwWebBrowser_EngineFailed() = 0;
};

// The web browser control.
class IBrowserControl {
public:
    virtual ~IBrowserControl() = default;
    virtual void SetEvents(IBrowserEvents* events) = 0;

    virtual void Navigate(const std::string& URL) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void GoHome() = 0;
    virtual void GoSearch() = 0;
    virtual void Refresh() = 0;
    virtual void Stop() = 0;
    virtual void ExecWB(OleCommandId command, OleCommandOption option) = 0;

    // The top page's address and title.
    virtual std::string LocationURL() const = 0;
    virtual std::string LocationName() const = 0;
    // True while a page is loading.
    virtual bool Busy() const = 0;

    virtual void SetFocus() = 0;
};

// The engine has no home or search page of its own: Home and Search open these.
inline constexpr const char* kBrowserHomePage = "about:blank";
inline constexpr const char* kBrowserSearchPage = "about:blank";

}  // namespace corvane
