#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace corvane {

// The notification area as the icon sees it. The platform's area hands the
// mouse message numbers it sees (512 move, 513–515 left down, up, double,
// 516–518 right down, up, double) to the installed notify function.
class TrayBackend {
public:
    virtual ~TrayBackend() = default;
    // The desktop has a notification area.
    virtual bool Available() const = 0;
    virtual void Add(const QString& tip, const QIcon& icon) = 0;
    virtual void Modify(const QString& tip, const QIcon& icon) = 0;
    virtual void Delete() = 0;
    std::function<void(int message)> notify;
};

// The notification area through QSystemTrayIcon: a click comes as 513, 514,
// a double click as 515, 514, the context request as 516, 517.
std::unique_ptr<TrayBackend> MakeQtTrayBackend();
std::vector<int> MouseMessagesOf(QSystemTrayIcon::ActivationReason reason);

// The program's icon in the notification area: its tip, picture and
// visibility, and the mouse messages decoded into events. A left button-up
// starts (or, while it runs, stops) the 500 ms click timer; when it fires,
// SingleClick follows, so a double click raises none. While disabled the
// messages are ignored, but a pending SingleClick still comes.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TrayIcon(std::unique_ptr<TrayBackend> backend, QObject* parent = nullptr);
    ~TrayIcon() override;

    QString ToolTipText() const { return toolTipText_; }
    void SetToolTipText(const QString& text);
    QIcon Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);
    // True adds the icon to the notification area (once), false removes it.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // True: a right button-up opens the window's system menu instead of
    // raising events.
    bool SysMenu() const { return sysMenu_; }
    void SetSysMenu(bool on) { sysMenu_ = on; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on) { enabled_ = on; }

    // The icon is in the notification area (also when the area refused it).
    bool Added() const { return added_; }
    // The tip as the notification area takes it: 63 characters at most in
    // the 8-bit code page, a zero byte, blanks to 64 bytes.
    std::string TipField() const;

    // The system menu of window (the parent when null) at the pointer.
    void ShowSysMenu(QWidget* window = nullptr);
    // Replaces how the system menu is shown (tests record it instead).
    void SetSysMenuPresenter(std::function<void(QWidget*)> presenter);

    // One mouse message from the notification area.
    void notify(int message);

    QTimer* tmrMenu() { return &tmrMenu_; }
    // The click timer fired: it stops and SingleClick (1) follows.
    void tmrMenu_Timer();

signals:
    void MouseMove();
    void MouseDown(short Button);
    void MouseUp(short Button);
    void DblClick(short Button);
    void Click(short Button);
    void SingleClick(short Button);

private:
    void ShowIcon(bool show);
    // The tip as the notification area shows it.
    QString ShownTip() const;

    std::unique_ptr<TrayBackend> backend_;
    std::function<void(QWidget*)> sysMenuPresenter_;
    QString toolTipText_;
    QIcon icon_;
    QTimer tmrMenu_;
    bool visible_ = false;
    bool sysMenu_ = true;
    bool enabled_ = true;
    bool added_ = false;
};

}  // namespace corvane
