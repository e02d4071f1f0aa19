#include "session/shell/tray_icon.h"

#include <QCursor>
#include <QMenu>
#include <QWidget>

#include "platform/core/cp1252.h"

namespace corvane {
namespace {

constexpr int kTipBytes = 64;

// The hidden window's own menu: only closing it makes sense there.
void ShowWindowMenu(QWidget* window) {
    if (!window) return;
    QMenu menu;
    QObject::connect(menu.addAction(QObject::tr("Close")), &QAction::triggered, window,
                     &QWidget::close);
    menu.exec(QCursor::pos());
}

}  // namespace

TrayIcon::TrayIcon(std::unique_ptr<TrayBackend> backend, QObject* parent)
    : QObject(parent), backend_(std::move(backend)), sysMenuPresenter_(&ShowWindowMenu) {
    tmrMenu_.setInterval(500);
    connect(&tmrMenu_, &QTimer::timeout, this, &TrayIcon::tmrMenu_Timer);
    if (backend_) backend_->notify = [this](int message) { notify(message); };
}

TrayIcon::~TrayIcon() { ShowIcon(false); }

void TrayIcon::SetToolTipText(const QString& text) {
    toolTipText_ = text;
    if (added_ && backend_) backend_->Modify(ShownTip(), icon_);
}

void TrayIcon::SetIcon(const QIcon& icon) {
    icon_ = icon;
    if (added_ && backend_) backend_->Modify(ShownTip(), icon_);
}

void TrayIcon::SetVisible(bool visible) {
    visible_ = visible;
    ShowIcon(visible);
}

std::string TrayIcon::TipField() const {
    std::string field = cp1252::FromUtf8(toolTipText_.toStdString());
    if (field.size() > kTipBytes - 1) field.resize(kTipBytes - 1);
    field += '\0';
    field.resize(kTipBytes, ' ');
    return field;
}

QString TrayIcon::ShownTip() const {
    const std::string field = TipField();
    return QString::fromStdString(cp1252::ToUtf8(field.substr(0, field.find('\0'))));
}

void TrayIcon::ShowIcon(bool show) {
    if (show && !added_) {
        if (backend_) {
            if (!backend_->Available())
                qWarning("Corvane: the desktop has no system tray; the secure console is the way in.");
            backend_->Add(ShownTip(), icon_);
        }
        added_ = true;
    } else if (!show && added_) {
        if (backend_) backend_->Delete();
        added_ = false;
    }
}

void TrayIcon::ShowSysMenu(QWidget* window) {
    if (!window) window = qobject_cast<QWidget*>(parent());
    if (sysMenuPresenter_) sysMenuPresenter_(window);
}

void TrayIcon::SetSysMenuPresenter(std::function<void(QWidget*)> presenter) {
    sysMenuPresenter_ = presenter ? std::move(presenter) : &ShowWindowMenu;
}

void TrayIcon::notify(int message) {
    if (!enabled_) return;
    switch (message) {
    case 512:
        emit MouseMove();
        break;
    case 513:
        emit MouseDown(1);
        break;
    case 514:
        emit MouseUp(1);
        emit Click(1);
        if (tmrMenu_.isActive()) tmrMenu_.stop();
        else tmrMenu_.start();
        break;
    case 515:
        emit DblClick(1);
        break;
    case 516:
        emit MouseDown(2);
        break;
    case 517:
        if (sysMenu_) {
            ShowSysMenu(nullptr);
        } else {
            emit MouseUp(2);
            emit Click(2);
        }
        break;
    case 518:
        emit DblClick(2);
        break;
    default:
        break;
    }
}

void TrayIcon::tmrMenu_Timer() {
    tmrMenu_.stop();
    emit SingleClick(1);
}

}  // namespace corvane
