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
    void Activated(QSystemTrayIcon::ActivationReason reason) {
        for (int message : MouseMessagesOf(reason))
            if (notify) notify(message);
    }

    QSystemTrayIcon icon_;
};

}  // namespace

std::vector<int> MouseMessagesOf(QSystemTrayIcon::ActivationReason reason) {
    // The area reports whole gestures; the icon decodes button messages.
    switch (reason) {
    case QSystemTrayIcon::Trigger: return {513, 514};
    case QSystemTrayIcon::DoubleClick: return {515, 514};
    case QSystemTrayIcon::Context: return {516, 517};
    default: return {};
    }
}

std::unique_ptr<TrayBackend> MakeQtTrayBackend() { return std::make_unique<QtTrayBackend>(); }

}  // namespace corvane
