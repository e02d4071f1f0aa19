#pragma once

// Waits on the real web engine by the events it and the program report: the engine's own load
// signals, and the website log's records, never the window's flags.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <gtest/gtest.h>
#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <string>
#include <vector>

#include "browser/window/engine_browser_control.h"
#include "browser_test_support.h"
#include "loopback_server.h"

namespace corvane::testing {

// The "URL ACCEPTED" records of an address (as the window records it, without one final "/").
inline int AcceptedRecords(std::string address) {
    if (!address.empty() && address.back() == '/') address.pop_back();
    int count = 0;
    for (const LogLine& line : BrowserTest::LogLines())
        if (line.status == "URL ACCEPTED" && line.url == address) ++count;
    return count;
}

// The loads of one engine page as the engine reports them, from the control's creation on.
class EngineLoads : public QObject {
public:
    explicit EngineLoads(EngineBrowserControl& control) : QObject(&control), loading_(control.Busy()) {
        connect(control.View()->page(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
            loading_ = info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
            if (!loading_) ++ended_;
            static const char* const kStatus[] = {"started", "stopped", "succeeded", "failed"};
            history_ += QStringLiteral("%1 %2 %3\n")
                            .arg(QLatin1String(kStatus[std::clamp(static_cast<int>(info.status()), 0, 3)]))
                            .arg(info.url().toString())
                            .arg(info.errorCode())
                            .toStdString();
        });
    }
    // Best made before the control loads anything: made later it starts from the control's
    // own word.
    static EngineLoads& Of(EngineBrowserControl& control) {
        for (QObject* child : control.children())
            if (auto* loads = dynamic_cast<EngineLoads*>(child)) return *loads;
        return *new EngineLoads(control);
    }
    bool Idle() const { return !loading_; }
    int Ended() const { return ended_; }
    // Every load the engine reported, one a line, for a failure's message.
    const std::string& History() const { return history_; }

private:
    bool loading_;
    int ended_ = 0;
    std::string history_;
};

// Stands between the control and its window, forwarding every event, and keeps each
// navigation the window cancelled.
class RefusalSpy : public IBrowserEvents {
public:
    struct Refusal {
        std::string url;
        bool mainFrame;
    };
    RefusalSpy(EngineBrowserControl& control, IBrowserEvents& window) : control_(&control), window_(window) {
        control.SetEvents(this);
    }
    ~RefusalSpy() override {
        if (control_) control_->SetEvents(&window_);
    }
    RefusalSpy(const RefusalSpy&) = delete;
    RefusalSpy& operator=(const RefusalSpy&) = delete;

    // Whether a frame's navigation to an address holding part was cancelled.
    bool FrameRefused(const std::string& part) const {
        return std::any_of(refused.begin(), refused.end(), [&](const Refusal& r) {
            return !r.mainFrame && r.url.find(part) != std::string::npos;
        });
    }

    void brwWebBrowser_BeforeNavigate2(const std::string& URL, NavigationKind kind, bool mainFrame,
                                       bool& Cancel) override {
        window_.brwWebBrowser_BeforeNavigate2(URL, kind, mainFrame, Cancel);
        if (Cancel) refused.push_back({URL, mainFrame});
    }
    void brwWebBrowser_StatusTextChange(const std::string& Text) override { window_.brwWebBrowser_StatusTextChange(Text); }
    void brwWebBrowser_NavigateComplete2(const std::string& URL, bool mainFrame) override {
        window_.brwWebBrowser_NavigateComplete2(URL, mainFrame);
    }
    void brwWebBrowser_NewWindow2(const std::string& URL, bool& Cancel) override { window_.brwWebBrowser_NewWindow2(URL, Cancel); }
    void brwWebBrowser_DownloadComplete() override { window_.brwWebBrowser_DownloadComplete(); }
    void brwWebBrowser_SetSecureLockIcon(int SecureLockIcon) override {
        window_.brwWebBrowser_SetSecureLockIcon(SecureLockIcon);
    }
    void brwWebBrowser_EngineFailed() override { window_.brwWebBrowser_EngineFailed(); }

    std::vector<Refusal> refused;

private:
    QPointer<EngineBrowserControl> control_;
    IBrowserEvents& window_;
};

// Opens address in the window once the engine is idle, and answers once the program has
// recorded the page as accepted. A load that something else aborts (a late navigation of the
// page before) is asked for again; a failure names every load the engine reported.
inline ::testing::AssertionResult ArriveAt(EngineBrowserControl& control, const std::string& address, int ms = 30000) {
    EngineLoads& loads = EngineLoads::Of(control);
    const int before = AcceptedRecords(address);
    QElapsedTimer deadline;
    deadline.start();
    const auto left = [&] { return static_cast<int>(std::max<qint64>(0, ms - deadline.elapsed())); };
    int tries = 0;
    while (left() > 0) {
        if (!WaitFor([&] { return loads.Idle(); }, left())) break;
        const int ended = loads.Ended();
        control.Navigate(address);
        ++tries;
        WaitFor([&] { return AcceptedRecords(address) > before || (loads.Idle() && loads.Ended() > ended); }, left());
        if (AcceptedRecords(address) > before) return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << address << " not recorded after " << tries << " tries; the engine's loads:\n"
                                         << loads.History();
}

}  // namespace corvane::testing
