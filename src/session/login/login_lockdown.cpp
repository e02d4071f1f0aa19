#include "session/login/login_lockdown.h"

#include <algorithm>
#include <cmath>

#include "platform/core/carry_on.h"
#include "platform/settings/global_settings.h"
#include "platform/system/workstation.h"
#include "session/login/login_services.h"

namespace corvane {
namespace {

constexpr int kOptionTaskManager = 18;
constexpr int kOptionTaskbar = 20;

}  // namespace

void LoginLockdown::Apply() {
    if (applied_) return;
    applied_ = true;
    const auto& services = CurrentLoginServices();
    if (gHideTaskBarDuringLogin) {
        bool lockedBefore = false;
        CarryOn([&] { lockedBefore = services.lockdownOptionOn(kOptionTaskbar); });
        CarryOn([&] {
            HideTaskbar();
            showTaskbar_ = !lockedBefore;
        });
    }
    if (gHideDesktopDuringLogin) {
        CarryOn([&] {
            HideDesktop();
            showDesktop_ = true;
        });
    }
    if (gLockTaskManagerDuringLogin) {
        bool lockedBefore = false;
        CarryOn([&] { lockedBefore = services.lockdownOptionOn(kOptionTaskManager); });
        CarryOn([&] {
            DisableTaskManager();
            unlockTaskManager_ = !lockedBefore;
        });
    }
}

void LoginLockdown::Undo() {
    if (showDesktop_) CarryOn(ShowDesktop);
    if (unlockTaskManager_) CarryOn(EnableTaskManager);
    if (showTaskbar_) CarryOn(ShowTaskbar);
    showDesktop_ = unlockTaskManager_ = showTaskbar_ = false;
}

PixelRect LoginClipRectangle(double leftTwips, double topTwips, double widthTwips,
                             double heightTwips, double twipsPerPixelX, double twipsPerPixelY) {
    const double tx = std::max(1.0, std::round(twipsPerPixelX));
    const double ty = std::max(1.0, std::round(twipsPerPixelY));
    PixelRect r;
    r.left = static_cast<int>(std::lround(leftTwips / tx));
    r.top = static_cast<int>(std::lround(topTwips / ty));
    r.right = r.left + static_cast<int>(std::lround(widthTwips / tx));
    r.bottom = r.top + static_cast<int>(std::lround(heightTwips / ty));
    return r;
}

}  // namespace corvane
