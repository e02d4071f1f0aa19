#include "ui/qt_services.h"

#include <QCoreApplication>
#include <memory>

#include "platform/event_loop.h"
#include "ui/frm_enh_msg_box.h"
#include "ui/frm_xp_error_dialog.h"
#include "ui/top_level_form_registry.h"

namespace corvane {

void InstallEventLoopYield() {
    SetYieldHook([] {
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
    });
}

void InstallWidgetServices() {
    InstallEventLoopYield();
    ui::InstallTopLevelFormRegistry();
    SetMsgBoxPresenter(std::make_shared<EnhMsgBoxPresenter>());
    InstallErrorReporting();
}

}  // namespace corvane
