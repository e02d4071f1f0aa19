#pragma once

#include <map>
#include <string>
#include <vector>

#include "browser/window/browser_control.h"

namespace corvane::testing {

// A browser control without an engine: every navigation asks BeforeNavigate2 at once and,
// unless cancelled, completes at once (or stays busy until Finish when holdLoads is set).
class FakeBrowserControl : public IBrowserControl {
public:
    void SetEvents(IBrowserEvents* events) override { events_ = events; }

    void Navigate(const std::string& URL) override { Go(URL, NavigationKind::Typed); }
    void GoBack() override {
        calls.push_back("GoBack");
        if (history_.size() > 1) Go(history_[history_.size() - 2], NavigationKind::BackForward);
    }
    void GoForward() override { calls.push_back("GoForward"); }
    void GoHome() override { Go(kBrowserHomePage, NavigationKind::Other); }
    void GoSearch() override { Go(kBrowserSearchPage, NavigationKind::Other); }
    void Refresh() override {
        calls.push_back("Refresh");
        if (!location_.empty()) Go(location_, NavigationKind::Reload);
    }
    void Stop() override {
        calls.push_back("Stop");
        busy_ = false;
    }
    void ExecWB(OleCommandId command, OleCommandOption option) override {
        commands.push_back({command, option});
    }
    std::string LocationURL() const override { return location_; }
    std::string LocationName() const override {
        const auto it = titles.find(location_);
        return it == titles.end() ? location_ : it->second;
    }
    bool Busy() const override { return busy_; }
    void SetFocus() override { ++focusCount; }

    // A navigation the page itself starts (a link, a form, a redirect) or one of a frame.
    // Answers whether it went ahead.
    bool PageNavigates(const std::string& URL, NavigationKind kind, bool mainFrame = true) {
        bool cancel = false;
        if (events_) events_->brwWebBrowser_BeforeNavigate2(URL, kind, mainFrame, cancel);
        if (cancel) return false;
        if (mainFrame) {
            Arrive(URL);
        } else if (events_) {
            events_->brwWebBrowser_NavigateComplete2(URL, false);
        }
        return true;
    }
    // The page asks for a window on URL; answers the control's Cancel.
    bool AskNewWindow(const std::string& URL) {
        bool cancel = false;
        if (events_) events_->brwWebBrowser_NewWindow2(URL, cancel);
        return cancel;
    }
    // A click on the link under the pointer that asks for a window.
    bool AskNewWindow() { return AskNewWindow(hovered_); }
    void Hover(const std::string& link) {
        hovered_ = link;
        if (events_) events_->brwWebBrowser_StatusTextChange(link);
    }
    // Ends a held load.
    void Finish() {
        busy_ = false;
        if (events_) events_->brwWebBrowser_NavigateComplete2(location_, true);
    }

    std::vector<std::string> navigations;  // every address the control went to
    std::vector<std::string> calls;
    std::vector<std::pair<OleCommandId, OleCommandOption>> commands;
    std::map<std::string, std::string> titles;
    int focusCount = 0;
    bool holdLoads = false;

private:
    void Go(const std::string& URL, NavigationKind kind) {
        bool cancel = false;
        if (events_) events_->brwWebBrowser_BeforeNavigate2(URL, kind, true, cancel);
        if (!cancel) Arrive(URL);
    }
    void Arrive(const std::string& URL) {
        navigations.push_back(URL);
        history_.push_back(URL);
        location_ = URL;
        busy_ = holdLoads;
        if (!holdLoads && events_) events_->brwWebBrowser_NavigateComplete2(URL, true);
    }

    IBrowserEvents* events_ = nullptr;
    std::string location_;
    std::string hovered_;
    std::vector<std::string> history_;
    bool busy_ = false;
};

}  // namespace corvane::testing
