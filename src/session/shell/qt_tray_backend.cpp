#include <QSystemTrayIcon>

#include "session/shell/tray_icon.h"

namespace corvane {
namespace {

class QtTrayBackend : public TrayBackend {
public:
    QtTrayBackend() {
        QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                         [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
    }

    bool Available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    void Add(const QString& tip, const QIcon& icon) override {
        Modify(tip, icon);
        icon_.show();
    }

    void Modify(const QString& tip, const QIcon& icon) override {
        icon_.setToolTip(tip);
        icon_.setIcon(icon);
    }

    void Delete() override { icon_.hide(); }

private:
    // The area reports whole gestures; the icon decodes button messages.
    void Activated(QSystemTrayIcon::ActivationReason reason) {
        if (!notify) return;
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            notify(513);
            notify(514);
            break;
        case QSystemTrayIcon::DoubleClick:
            notify(515);
            notify(514);
            break;
        case QSystemTrayIcon::Context:
            notify(516);
            notify(517);
            break;
        default:
            break;
        }
    }

    QSystemTrayIcon icon_;
};

}  // namespace

std::unique_ptr<TrayBackend> MakeQtTrayBackend() { return std::make_unique<QtTrayBackend>(); }

}  // namespace corvane
