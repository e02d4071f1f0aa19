#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "browser/window/browser_controller.h"
#include "browser/window/browser_frame.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;

namespace corvane {

// The control a browser window shows and drives: its widget and its interface (often the same
// object). Tests install a factory that makes a fake; an empty one restores the engine's.
struct BrowserControlParts {
    QWidget* widget = nullptr;
    IBrowserControl* control = nullptr;
};
using BrowserControlFactory = std::function<BrowserControlParts(QWidget* parent)>;
BrowserControlFactory SetBrowserControlFactory(BrowserControlFactory factory);

// The browser window: tool bar, address strip, the control, status bar and menus. The logic is
// the BrowserController's; the window lays out, shows and forwards.
class frmWebBrowser : public QMainWindow, public IBrowserFrame {
    Q_OBJECT

public:
    explicit frmWebBrowser(QWidget* parent = nullptr);
    ~frmWebBrowser() override;

    BrowserController& Controller() { return *controller_; }
    IBrowserControl& Control() { return *control_; }

    // The frame's procedures.
    void ShowStatus(const std::string& text) override;
    void SetLanguage() override;
    void Form_Resize();
    void mnuFileItem_Click(int index);
    void mnuEditItem_Click(int index);
    void mnuHelpItem_Click(int index);

    // IBrowserFrame.
    std::string AddressText() const override;
    void SetAddressText(const std::string& text) override;
    int AddressCount() const override;
    std::string AddressItem(int index) const override;
    void ClearAddresses() override;
    void InsertAddress(int index, const std::string& text) override;
    void RemoveAddress(int index) override;
    void SelectAddress(int index) override;
    void FocusAddress() override;
    void SelectAddressText() override;
    void SetCaption(const std::string& text) override;
    void SetPadlock(bool shown) override;
    void SetBusyTimer(bool enabled) override;
    void SetWaitCursor(bool wait) override;
    void RefreshToolBar() override;
    void LoadFormMetrics() override;
    void SaveFormMetrics() override;
    BrowserController* CreateBrowserWindow() override;
    void ShowWindow() override;
    void CloseWindow() override;
    void RunLater(std::function<void()> work) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildToolBar();
    void BuildMenus();
    void BuildStatusBar();

    QWidget* widgetOfControl_ = nullptr;
    IBrowserControl* control_ = nullptr;
    std::unique_ptr<BrowserController> controller_;
    QToolBar* toolBar_ = nullptr;
    QWidget* picAddress_ = nullptr;
    QLabel* lblAddress_ = nullptr;
    QComboBox* cboAddress_ = nullptr;
    QToolBar* tblGo_ = nullptr;
    QAction* goButton_ = nullptr;
    QMenu* mnuFile_ = nullptr;
    QMenu* mnuEdit_ = nullptr;
    QMenu* mnuHelp_ = nullptr;
    QList<QAction*> mnuFileItem_, mnuEditItem_, mnuHelpItem_;
    QLabel* panels_[4] = {};
    QLabel* picPadlock_ = nullptr;
    QTimer* timTimer_ = nullptr;
    bool waitCursor_ = false;
    bool shownOnce_ = false;
};

}  // namespace corvane
