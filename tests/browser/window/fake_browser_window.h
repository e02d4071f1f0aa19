#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/window/browser_controller.h"
#include "browser/window/browser_frame.h"
#include "fake_browser_control.h"

namespace corvane::testing {

class FakeBrowserWindow;

// Every fake window made in a test, opened children included; they live until the pool goes.
using FakeWindowPool = std::vector<std::unique_ptr<FakeBrowserWindow>>;

// A browser window without Qt: the frame records what the controller shows.
class FakeBrowserWindow : public IBrowserFrame {
public:
    explicit FakeBrowserWindow(FakeWindowPool& pool) : pool_(pool) { controller.Form_Load(); }

    std::string AddressText() const override { return addressText; }
    void SetAddressText(const std::string& text) override { addressText = text; }
    int AddressCount() const override { return static_cast<int>(addresses.size()); }
    std::string AddressItem(int index) const override { return addresses.at(static_cast<std::size_t>(index)); }
    void ClearAddresses() override { addresses.clear(); }
    void InsertAddress(int index, const std::string& text) override {
        addresses.insert(addresses.begin() + index, text);
    }
    void RemoveAddress(int index) override { addresses.erase(addresses.begin() + index); }
    void SelectAddress(int index) override { addressText = AddressItem(index); }
    void FocusAddress() override { ++addressFocus; }
    void SelectAddressText() override { ++addressSelections; }
    void SetCaption(const std::string& text) override { caption = text; }
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void SetPadlock(bool shown) override { padlock = shown; }
    void SetBusyTimer(bool enabled) override { timer = enabled; }
    void SetWaitCursor(bool wait) override { waitCursor = wait; }
    void SetLanguage() override { ++languageSets; }
    void RefreshToolBar() override {}
    void LoadFormMetrics() override {}
    void SaveFormMetrics() override { ++metricsSaves; }
    BrowserController* CreateBrowserWindow() override {
        pool_.push_back(std::make_unique<FakeBrowserWindow>(pool_));
        return &pool_.back()->controller;
    }
    void ShowWindow() override {
        shown = true;
        controller.Form_Activate();
    }
    void CloseWindow() override {
        closed = true;
        controller.Form_Unload();
    }
    // At once, unless holdLater keeps the work for RunHeld.
    void RunLater(std::function<void()> work) override {
        if (holdLater) held.push_back(std::move(work));
        else work();
    }
    void RunHeld() {
        auto work = std::move(held);
        held.clear();
        for (auto& w : work) w();
    }

    // The fake behind a controller the frame made.
    static FakeBrowserWindow& Of(BrowserController* c) { return static_cast<FakeBrowserWindow&>(c->Frame()); }
    const std::string& LastStatus() const { return statuses.back(); }

    std::string addressText;
    std::vector<std::string> addresses;
    std::vector<std::string> statuses;
    std::string caption;
    bool padlock = false, timer = false, waitCursor = false, shown = false, closed = false, holdLater = false;
    std::vector<std::function<void()>> held;
    int addressFocus = 0, addressSelections = 0, languageSets = 0, metricsSaves = 0;

    FakeBrowserControl control;
    BrowserController controller{*this, control};

private:
    FakeWindowPool& pool_;
};

}  // namespace corvane::testing
