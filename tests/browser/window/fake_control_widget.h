#pragma once

#include <QWidget>

#include "browser/window/frm_web_browser.h"
#include "fake_browser_control.h"

namespace corvane::testing {

// The fake control as a widget, for the real browser window.
class FakeControlWidget : public QWidget, public FakeBrowserControl {
public:
    using QWidget::QWidget;
    void SetFocus() override {
        FakeBrowserControl::SetFocus();
        setFocus();
    }
};

// Makes every browser window opened while it lives use a fake control.
class FakeControlScope {
public:
    FakeControlScope()
        : previous_(SetBrowserControlFactory([](QWidget* parent) {
              auto* control = new FakeControlWidget(parent);
              control->setObjectName(QStringLiteral("brwWebBrowser"));
              return BrowserControlParts{control, control};
          })) {}
    ~FakeControlScope() { SetBrowserControlFactory(previous_); }
    FakeControlScope(const FakeControlScope&) = delete;
    FakeControlScope& operator=(const FakeControlScope&) = delete;

    static FakeControlWidget& Of(frmWebBrowser& window) { return static_cast<FakeControlWidget&>(window.Control()); }

private:
    BrowserControlFactory previous_;
};

}  // namespace corvane::testing
