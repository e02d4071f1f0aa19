#include "session/launchers/placeholder_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "session/launchers/session_entry_points.h"

namespace corvane {
namespace {

struct Placeholder {
    const char* objectName;
    const char* caption;
    QStringList inputs;
};

// The windows other parts of the program build, with the inputs their
// launchers hand them.
const std::array<Placeholder, 18>& Placeholders() {
    static const std::array<Placeholder, 18> placeholders{{
        {"frmChangePassword", "Change Password", {"UserLogin"}},
        {"frmSetPassword", "Set Password", {"UserLogin"}},
        {"frmWizard", "New User", {"PrimaryUser", "NoCancel"}},
        {"frmUserDetails", "User Details", {"UserLogin"}},
        {"frmCorvane", "Corvane", {}},
        {"frmAdvancedSecurity", "Advanced Security", {}},
        {"frmSecurity", "Security", {}},
        {"frmMainOptions", "Options", {}},
        {"frmPrograms", "Programs", {}},
        {"frmWebsites", "Websites", {}},
        {"frmWebBrowser", "Web Browser", {"StartingAddress"}},
        {"frmSecureConsole", "Secure Console", {}},
        {"frmTip", "Tip of the Day", {}},
        {"frmUserLog", "User Log", {}},
        {"frmWebsiteLog", "Website Log", {}},
        {"frmUserLogDetails", "User Log Details", {"OpenTablePathname", "LogID"}},
        {"frmWebsiteLogDetails", "Website Log Details", {"OpenTablePathname", "LogID"}},
        {"frmAbout", "About", {}},
    }};
    return placeholders;
}

QString Message(int number) { return QString::fromStdString(GetMessageText(number, gLanguage)); }

}  // namespace

frmPlaceholder::frmPlaceholder(const QString& objectName, const QString& caption,
                               QStringList inputNames, QWidget* parent)
    : QDialog(parent), caption_(caption), inputNames_(std::move(inputNames)) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setProperty("Cancelled", false);
    setProperty("IsDirty", false);

    lblPlaceholder_ = new QLabel(this);
    lblPlaceholder_->setObjectName(QStringLiteral("lblPlaceholder"));
    lblPlaceholder_->setTextFormat(Qt::PlainText);
    lblPlaceholder_->setMinimumWidth(300);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    // The console is the way into a session where the desktop has no tray.
    if (objectName == QLatin1String("frmSecureConsole")) {
        cmdLogin_ = new QPushButton(Message(266), this);
        cmdLogin_->setObjectName(QStringLiteral("cmdLogin"));
        cmdLogOff_ = new QPushButton(Message(336), this);
        cmdLogOff_->setObjectName(QStringLiteral("cmdLogOff"));
        connect(cmdLogin_, &QPushButton::clicked, this, [] { MainSession().Authenticate(); });
        connect(cmdLogOff_, &QPushButton::clicked, this, [] { MainSession().LogOFF(); });
        buttons->addWidget(cmdLogin_);
        buttons->addWidget(cmdLogOff_);
    }
    auto* cmdClose = new QPushButton(Message(26), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPlaceholder_);
    layout->addStretch();
    layout->addLayout(buttons);
    Refresh();
}

QString frmPlaceholder::Text() const { return lblPlaceholder_->text(); }

bool frmPlaceholder::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::DynamicPropertyChange) Refresh();
    return handled;
}

void frmPlaceholder::reject() {
    if (cmdLogin_ && ConsoleIsTheWayIn()) {
        showMinimized();
        return;
    }
    QDialog::reject();
}

void frmPlaceholder::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

void frmPlaceholder::Refresh() {
    if (!lblPlaceholder_) return;
    QString text = caption_ + QStringLiteral(" (") + objectName() +
                   QStringLiteral(")\nThis window is not built yet.");
    for (const QString& input : inputNames_) {
        const QVariant value = property(input.toUtf8().constData());
        text += QStringLiteral("\n") + input + QStringLiteral(": ") +
                (value.isValid() ? value.toString() : QStringLiteral("(not set)"));
    }
    lblPlaceholder_->setText(text);
    if (cmdLogin_) {
        const bool authenticated = MainSession().Authenticated();
        cmdLogin_->setEnabled(!authenticated);
        cmdLogOff_->setEnabled(authenticated);
    }
}

QWidget* MakePlaceholderWindow(const QString& objectName) {
    for (const auto& p : Placeholders())
        if (objectName == QLatin1String(p.objectName))
            return new frmPlaceholder(objectName, QString::fromLatin1(p.caption), p.inputs);
    return new frmPlaceholder(objectName, objectName, {});
}

}  // namespace corvane
