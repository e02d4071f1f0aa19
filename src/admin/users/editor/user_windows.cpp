#include "admin/users/editor/user_windows.h"

#include "admin/users/editor/frm_user_details.h"
#include "admin/users/members/frm_members.h"
#include "session/launchers/window_factories.h"

namespace corvane {

void RegisterUserEditorWindows() {
    RegisterWindowFactory("frmUserDetails", [] { return new frmUserDetails; });
    RegisterWindowFactory("frmMembers", [] { return new frmMembers; });
}

}  // namespace corvane
