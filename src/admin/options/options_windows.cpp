#include "admin/options/options_windows.h"

#include "admin/options/frm_main_options.h"
#include "session/launchers/window_factories.h"

namespace corvane {

void RegisterOptionsWindows() {
    RegisterWindowFactory(QStringLiteral("frmMainOptions"), [] { return new frmMainOptions; });
}

}  // namespace corvane
