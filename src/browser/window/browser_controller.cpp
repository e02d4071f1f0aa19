#include "browser/window/browser_controller.h"

#include <algorithm>
#include <set>
#include <utility>

#include "browser/probe/url_probe.h"
#include "browser/rule/file_address.h"
#include "browser/rule/website_address.h"
#include "catalogue/website.h"
#include "logs/current_user.h"
#include "logs/log_writers.h"
#include "messages/message_catalogue.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "session/helpers/text_helpers.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr int kMsgUrlDenied = 165;
constexpr int kMsgDownloadComplete = 167;
constexpr int kMsgWebBrowser = 168;
constexpr int kMsgAccessDenied = 423;
constexpr int kMsgNoPermission = 425;
constexpr std::int32_t kExclamationOk = 48;
constexpr const char* kEngineFailedText = "The web engine could not start.";

std::set<const BrowserController*>& Windows() {
    static std::set<const BrowserController*> windows;
    return windows;
}

BrowserController::URLProbe& Probe() {
    static BrowserController::URLProbe probe;
    return probe;
}

std::string Trimmed(const std::string& s) { return std::string(text::TrimSpaces(s)); }

std::string WithoutTrailingSlash(std::string s) { return RemoveTrailingSlash(s); }

}  // namespace

std::array<std::string, 3> BrowserStatusPanels(const std::string& text) {
    std::array<std::string, 3> panels;
    RunIgnoringErrors({
        [&] { panels[0] = GetMessageText(105, gLanguage) + ": " + text; },
        [&] { panels[1] = GetMessageText(154, gLanguage) + ": " + GetCurrentUser(); },
        [&] { panels[2] = GetMessageText(65, gLanguage) + ": " + GetLocalComputerName(); },
    });
    return panels;
}

int ShowBrowserMessage(int mode, std::int32_t buttons, const std::string& parameter) {
    std::string prompt;
    if (mode == 0) prompt = GetMessageText(kMsgNoPermission, gLanguage, parameter);
    return ShowMsgBox(prompt, buttons, GetMessageText(kMessageProgramName, gLanguage));
}

BrowserController::BrowserController(IBrowserFrame& frame, IBrowserControl& control)
    : frame_(frame), control_(control) {
    Windows().insert(this);
    control_.SetEvents(this);
}

BrowserController::~BrowserController() {
    Windows().erase(this);
    control_.SetEvents(nullptr);
}

void BrowserController::SetCurrentURL(std::string URL) { currentURL_ = RemoveTrailingSlash(URL); }

bool BrowserController::BlankURL(const std::string& URL) {
    const std::string t = text::ToLower(text::TrimSpaces(URL));
    return t.empty() || t == "about:blank" || t == "http://" || t == "http:///";
}

bool BrowserController::IsWebsiteAllowable(const std::string& UserLogin, const std::string& URL) {
    return rule_.IsWebsiteAllowable(UserLogin, URL);
}

void BrowserController::SetLanguage() { frame_.SetLanguage(); }

BrowserController* BrowserController::Child(int index) const {
    if (index < 0 || index >= ChildCount()) return nullptr;
    BrowserController* child = children_[static_cast<std::size_t>(index)];
    return Windows().count(child) ? child : nullptr;
}

bool BrowserController::IsOpen(const BrowserController* window) {
    return window && Windows().count(window) && !window->unloaded_;
}

int BrowserController::PageOpenedWindows() {
    return static_cast<int>(std::count_if(Windows().begin(), Windows().end(), [](const BrowserController* w) {
        return w->NewWindow && !w->unloaded_;
    }));
}

BrowserController::URLProbe BrowserController::SetURLProbe(URLProbe probe) {
    return std::exchange(Probe(), std::move(probe));
}

void BrowserController::Form_Load() {
    RunIgnoringErrors({
        [&] { firstActivation_ = true; },
        [&] { frame_.RefreshToolBar(); },
        [&] { frame_.LoadFormMetrics(); },
    });
}

void BrowserController::Form_Activate() {
    if (!firstActivation_) return;
    firstActivation_ = false;
    RunIgnoringErrors({
        [&] { SetLanguage(); },
        [&] { LoadData(); },
        [&] { LoadUserOptions(); },
        [&] {
            if (StartingAddress.empty()) {
                frame_.FocusAddress();
                return;
            }
            control_.Navigate(StartingAddress);
        },
        [&] { if (!StartingAddress.empty()) control_.SetFocus(); },
        [&] { if (!StartingAddress.empty()) frame_.SetAddressText(StartingAddress); },
    });
}

void BrowserController::LoadData() {
    const bool finished = RunTrapped(kBrowserLoadDataPlace, {
        [&] { frame_.ClearAddresses(); },
        [&] { frame_.InsertAddress(0, ""); },
        [&] { frame_.SetWaitCursor(true); },
        [&] {
            // Newest record first.
            Website website;
            std::vector<std::string> urls;
            // One pass over the catalogue, under one lock.
            website.ScanValid([&](const SlotView& entry) {
                urls.push_back(entry.Text(Website::kURL));
                return true;
            });
            website.CloseTable();
            for (auto it = urls.rbegin(); it != urls.rend(); ++it) frame_.InsertAddress(frame_.AddressCount(), *it);
        },
        [&] { frame_.ShowStatus(""); },
        [&] { frame_.SetWaitCursor(false); },
    });
    if (!finished) frame_.SetWaitCursor(false);
}

void BrowserController::LoadUserOptions() {
    RunTrapped(kBrowserLoadUserOptionsPlace, {
        [&] {
            if (!gRequireLogin) {
                control_.Navigate("about:blank");
                return;
            }
            User user;
            if (!user.Load(GetCurrentUser())) return;
            administrator_ = user.IsAdministrator() != 0;
            internetAccess_ = user.EnableInternetAccess() != 0;
            enforceWebsites_ = user.EnforceWebsites() != 0;
            allowNewWindows_ = user.AllowNewInternetWindows() != 0;
            lockAddressBar_ = user.LockAddressBar() != 0;
            recordLoaded_ = true;
            const std::string home = user.HomePage();
            user.CloseTable();
            if (!home.empty() && !NewWindow) {
                frame_.SetAddressText(home);
                frame_.InsertAddress(frame_.AddressCount(), frame_.AddressText());
                frame_.SetBusyTimer(true);
                control_.Navigate(home);
            } else {
                control_.Navigate("about:blank");
            }
        },
        [&] { frame_.ShowStatus(""); },
    });
}

void BrowserController::cboAddress_Click() { RunAddressCommand(); }

void BrowserController::RunAddressCommand() {
    const std::string typed = frame_.AddressText();
    const std::string address = Trimmed(typed);
    if (text::Equals(typed, "about:blank") || address.empty()) return;
    if (updatingList_) return;
    if (!internetAccess_ && !administrator_) {
        ShowBrowserMessage(0, kExclamationOk, "");
        frame_.SetAddressText("");
        return;
    }
    frame_.SetBusyTimer(true);
    if (!IsGuardedFileAddress(address) && IsWebsiteAllowable(GetCurrentUser(), address)) {
        RunIgnoringErrors({
            [&] { control_.Navigate(typed); },
            [&] { control_.SetFocus(); },
        });
        return;
    }
    // Nothing loads: the busy timer's next tick would put "Done" over the refusal.
    frame_.SetBusyTimer(false);
    frame_.ShowStatus(GetMessageText(kMsgUrlDenied, gLanguage));
    ShowBrowserMessage(0, kExclamationOk, address);
    Log(typed, "URL DENIED");
}

bool BrowserController::cboAddress_KeyPress(int KeyAscii) {
    if (KeyAscii == 13) {
        RunIgnoringErrors({[&] { cboAddress_Click(); }});
        return true;
    }
    return !(lockAddressBar_ && !administrator_);
}

void BrowserController::cboAddress_GotFocus() { frame_.SelectAddressText(); }

void BrowserController::ToolBar_ButtonClick(const std::string& key) {
    frame_.SetBusyTimer(true);
    const std::string k = text::ToLower(key);
    RunIgnoringErrors({[&] {
        if (k == "print") control_.ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER);
        else if (k == "back") control_.GoBack();
        else if (k == "forward") control_.GoForward();
        else if (k == "refresh") control_.Refresh();
        else if (k == "home") control_.GoHome();
        else if (k == "search") control_.GoSearch();
        else if (k == "stop") {
            frame_.SetBusyTimer(false);
            control_.Stop();
        } else if (k == "exit") frame_.CloseWindow();
    }});
}

void BrowserController::timTimer_Timer() {
    if (control_.Busy()) {
        frame_.SetCaption(GetMessageText(kMsgWebBrowser, gLanguage));
        frame_.ShowStatus(kLoadingText);
        return;
    }
    frame_.SetBusyTimer(false);
    frame_.ShowStatus(kDoneText);
    const std::string location = control_.LocationURL();
    if (!BlankURL(location)) {
        frame_.SetCaption(control_.LocationName());
        frame_.SetAddressText(WithoutTrailingSlash(location));
    }
}

void BrowserController::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    RunIgnoringErrors({[&] { frame_.SaveFormMetrics(); }});
    ParentBrowser = nullptr;
    // Each child closes its own children in turn.
    const auto children = children_;
    for (BrowserController* child : children)
        if (IsOpen(child)) child->Frame().CloseWindow();
    children_.clear();
}

// Every page and frame is tested (for a user whose websites are not enforced only against the
// files no page opens); resources follow their page.
void BrowserController::brwWebBrowser_BeforeNavigate2(const std::string& URL, NavigationKind, bool mainFrame,
                                                      bool& Cancel) {
    SetCurrentURL(URL);
    if (MayOpen(URL)) {
        // A main-frame navigation that goes ahead begins a new page load, which gets its own
        // message and its own frame record, whether or not it ever completes.
        if (mainFrame) {
            frameRefusalLogged_ = false;
            refusalShown_ = false;
        }
        return;
    }
    Cancel = true;
    if (mainFrame) {
        Refuse(URL, !refusalShown_);
        return;
    }
    // A refused frame stays empty: no message, and one record for the page however many.
    frame_.ShowStatus(GetMessageText(kMsgUrlDenied, gLanguage));
    if (!frameRefusalLogged_) Log(URL, "URL DENIED");
    frameRefusalLogged_ = true;
}

// No page opens a file the write guard keeps, whoever uses the browser; the website rule
// decides the rest for a user whose websites are enforced.
bool BrowserController::MayOpen(const std::string& URL) {
    if (IsGuardedFileAddress(URL)) return false;
    return !Enforced() || NavigationAllowed(URL);
}

// Only a record that was read exempts the user; without one the rule decides.
bool BrowserController::Enforced() const { return !recordLoaded_ || (!administrator_ && enforceWebsites_); }

// Only the literal blank page passes untested: an empty address, or one that does not read
// as an address, goes to the rule, which never admits it.
bool BrowserController::NavigationAllowed(const std::string& URL) {
    if (IsBlankPage(URL)) return true;
    return rule_.IsNavigationAllowable(GetCurrentUser(), Trimmed(URL));
}

void BrowserController::Refuse(const std::string& URL, bool showMessage) {
    frame_.ShowStatus(GetMessageText(kMsgUrlDenied, gLanguage));
    Log(URL, "URL DENIED");
    if (!showMessage) return;
    refusalShown_ = true;
    // Shown once the engine's call has returned: a window may close while the box waits.
    const std::weak_ptr<int> alive = alive_;
    frame_.RunLater([alive, address = Trimmed(URL)] {
        if (!alive.expired()) ShowBrowserMessage(0, kExclamationOk, address);
    });
}

void BrowserController::brwWebBrowser_StatusTextChange(const std::string& Text) { SetCurrentURL(Text); }

void BrowserController::brwWebBrowser_NavigateComplete2(const std::string& URL, bool mainFrame) {
    std::string url = URL;
    RunIgnoringErrors({
        [&] { url = RemoveTrailingSlash(url); },
        [&] { if (mainFrame) refusalShown_ = false; },
        [&] { if (administrator_ || !enforceWebsites_) UpdateAddressList(url); },
        [&] { if (!BlankURL(url)) Log(url, "URL ACCEPTED"); },
    });
}

void BrowserController::UpdateAddressList(const std::string& URL) {
    const std::string location = WithoutTrailingSlash(control_.LocationURL());
    int found = -1;
    for (int i = 0; i < frame_.AddressCount() && found < 0; ++i)
        if (text::Equals(frame_.AddressItem(i), location)) found = i;
    updatingList_ = true;
    RunIgnoringErrors({
        [&] { if (found >= 0) frame_.RemoveAddress(found); },
        [&] {
            if (BlankURL(URL)) return;
            frame_.InsertAddress(0, location);
            frame_.SetCaption(control_.LocationName());
        },
        [&] { if (StartingAddress.empty()) frame_.SelectAddress(0); },
    });
    updatingList_ = false;
}

void BrowserController::brwWebBrowser_NewWindow2(const std::string& URL, bool& Cancel) {
    Cancel = true;
    // The engine's call ends before anything here can wait, or close this window.
    const std::weak_ptr<int> alive = alive_;
    frame_.RunLater([this, alive, address = URL] {
        if (!alive.expired() && !unloaded_) OpenPageWindow(address);
    });
}

void BrowserController::OpenPageWindow(const std::string& address) {
    if (!MayOpen(address)) {
        Refuse(address, !refusalShown_);
        return;
    }
    const std::weak_ptr<int> alive = alive_;
    const URLProbe probe = Probe();
    const bool answers = probe ? probe(address) : IsURLAvailable(address);
    // The probe waits in an event loop, during which this window may have closed.
    if (alive.expired() || unloaded_) return;
    if (!answers) return;
    if (!(administrator_ || allowNewWindows_) || PageOpenedWindows() >= kMaxPageOpenedWindows) {
        frame_.ShowStatus(GetMessageText(kMsgAccessDenied, gLanguage));
        return;
    }
    OpenChildWindow(address);
}

void BrowserController::OpenChildWindow(const std::string& address) {
    BrowserController* child = nullptr;
    const bool shown = RunTrapped(kBrowserNewWindowPlace, {
        [&] { child = frame_.CreateBrowserWindow(); },
        [&] { child->SetLockAddressBar(true); },
        [&] { child->StartingAddress = address; },
        [&] { child->NewWindow = true; },
        [&] { child->ParentBrowser = this; },
        [&] { child->Frame().ShowWindow(); },
    });
    if (!shown || !child) return;
    RunIgnoringErrors({
        [&] { if (IsOpen(child)) child->Control().SetFocus(); },
        [&] { children_.push_back(child); },
        [&] { BrowserIndex = static_cast<std::int16_t>(children_.size()); },
    });
}

void BrowserController::brwWebBrowser_DownloadComplete() {
    RunIgnoringErrors({[&] { frame_.ShowStatus(GetMessageText(kMsgDownloadComplete, gLanguage)); }});
}

void BrowserController::brwWebBrowser_SetSecureLockIcon(int SecureLockIcon) {
    RunIgnoringErrors({[&] { frame_.SetPadlock(SecureLockIcon != 0); }});
}

void BrowserController::brwWebBrowser_EngineFailed() {
    RunIgnoringErrors({[&] { frame_.ShowStatus(kEngineFailedText); }});
}

void BrowserController::Log(const std::string& URL, const char* status) {
    WriteWebsiteLog(GetCurrentUser(), gEXEAppName, GetLocalComputerName(), URL, status);
}

}  // namespace corvane
