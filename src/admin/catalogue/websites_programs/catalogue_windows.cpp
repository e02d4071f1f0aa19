#include "admin/catalogue/websites_programs/catalogue_windows.h"

#include "admin/catalogue/websites_programs/frm_programs.h"
#include "admin/catalogue/websites_programs/frm_websites.h"
#include "session/launchers/window_factories.h"

namespace corvane {

void RegisterCatalogueWindows() {
    RegisterWindowFactory(QStringLiteral("frmWebsites"), [] { return new frmWebsites; });
    RegisterWindowFactory(QStringLiteral("frmPrograms"), [] { return new frmPrograms; });
}

}  // namespace corvane
