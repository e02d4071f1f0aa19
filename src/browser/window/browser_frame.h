#pragma once

#include <functional>
#include <string>

namespace corvane {

class BrowserController;

// The browser window as its controller drives it: the address box, caption, status bar,
// padlock, busy timer, metrics and the window's own life. The Qt window implements it;
// tests use a fake.
class IBrowserFrame {
public:
    virtual ~IBrowserFrame() = default;

    // The address box: its typed text and its list.
    virtual std::string AddressText() const = 0;
    virtual void SetAddressText(const std::string& text) = 0;
    virtual int AddressCount() const = 0;
    virtual std::string AddressItem(int index) const = 0;
    virtual void ClearAddresses() = 0;
    // index == AddressCount() appends.
    virtual void InsertAddress(int index, const std::string& text) = 0;
    virtual void RemoveAddress(int index) = 0;
    // Selects the entry, which becomes the box's text.
    virtual void SelectAddress(int index) = 0;
    virtual void FocusAddress() = 0;
    virtual void SelectAddressText() = 0;

    virtual void SetCaption(const std::string& text) = 0;
    // Rewrites the status bar's text, user and computer panels.
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void SetPadlock(bool shown) = 0;
    // The 5-millisecond busy timer, which calls BrowserController::timTimer_Timer.
    virtual void SetBusyTimer(bool enabled) = 0;
    virtual void SetWaitCursor(bool wait) = 0;
    virtual void SetLanguage() = 0;
    virtual void RefreshToolBar() = 0;
    virtual void LoadFormMetrics() = 0;
    virtual void SaveFormMetrics() = 0;

    // A new browser window, loaded but not shown; its controller.
    virtual BrowserController* CreateBrowserWindow() = 0;
    // Shows the window modeless; its first showing runs Form_Activate.
    virtual void ShowWindow() = 0;
    // Closes the window, which runs Form_Unload.
    virtual void CloseWindow() = 0;
    // Runs work once control is back in the event loop, unless the window is gone by then.
    virtual void RunLater(std::function<void()> work) = 0;
};

}  // namespace corvane
