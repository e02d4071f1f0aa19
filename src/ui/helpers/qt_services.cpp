#include "ui/helpers/qt_services.h"

#include <QCoreApplication>
#include <memory>

#include "platform/core/event_loop.h"
#include "ui/msgbox/frm_enh_msg_box.h"
#include "ui/errors/frm_xp_error_dialog.h"
#include "ui/helpers/file_dialog.h"
#include "ui/helpers/top_level_form_registry.h"
#include "ui/helpers/window_metrics.h"

namespace corvane {

void InstallEventLoopYield() {
    SetYieldHook([] {
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
    });
}

void InstallWidgetServices() {
    InstallEventLoopYield();
    KeepWindowsOnScreen();
    ui::InstallTopLevelFormRegistry();
    InstallChooserGuard();
    SetMsgBoxPresenter(std::make_shared<EnhMsgBoxPresenter>());
    InstallErrorReporting();
}

}  // namespace corvane
