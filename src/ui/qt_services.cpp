#include "ui/qt_services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <memory>

#include "platform/event_loop.h"
#include "ui/frm_enh_msg_box.h"
#include "ui/help.h"
#include "ui/top_level_form_registry.h"
#include "ui/ui_services.h"

namespace corvane {
namespace {

// The help viewer of the desktop: the file part of the target, the topic
// number, when there is one, as the address's fragment.
void OpenHelpWithDesktop(const std::string& target, int command, int data) {
    const std::string file = target.substr(0, target.find('>'));
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(file));
    if (command == kHelpContext) url.setFragment(QString::number(data));
    QDesktopServices::openUrl(url);
}

bool StartDetached(const std::string& commandLine) {
    QStringList parts = QProcess::splitCommand(QString::fromStdString(commandLine));
    if (parts.isEmpty()) return false;
    const QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts);
}

}  // namespace

void InstallEventLoopYield() {
    SetYieldHook([] {
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
    });
}

void InstallWidgetServices() {
    InstallEventLoopYield();
    ui::InstallTopLevelFormRegistry();
    SetMsgBoxPresenter(std::make_shared<EnhMsgBoxPresenter>());
    ui::UiServices services = ui::Services();
    services.openHelp = OpenHelpWithDesktop;
    services.startProgram = StartDetached;
    ui::SetServices(std::move(services));
}

}  // namespace corvane
