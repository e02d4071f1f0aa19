#include "session/login/login_lockdown.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>

#include "platform/settings/global_settings.h"
#include "platform/system/workstation.h"
#include "session/login/login_services.h"

namespace corvane {
namespace {

// Load and unload carry on with their next step after any error.
void Quietly(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

constexpr int kOptionTaskManager = 18;
constexpr int kOptionTaskbar = 20;

}  // namespace

void LoginLockdown::Apply() {
    if (applied_) return;
    applied_ = true;
    const auto& services = CurrentLoginServices();
    if (gHideTaskBarDuringLogin) {
        bool lockedBefore = false;
        Quietly([&] { lockedBefore = services.lockdownOptionOn(kOptionTaskbar); });
        Quietly([&] {
            HideTaskbar();
            showTaskbar_ = !lockedBefore;
        });
    }
    if (gHideDesktopDuringLogin) {
        Quietly([&] {
            HideDesktop();
            showDesktop_ = true;
        });
    }
    if (gLockTaskManagerDuringLogin) {
        bool lockedBefore = false;
        Quietly([&] { lockedBefore = services.lockdownOptionOn(kOptionTaskManager); });
        Quietly([&] {
            DisableTaskManager();
            unlockTaskManager_ = !lockedBefore;
        });
    }
}

void LoginLockdown::Undo() {
    if (showDesktop_) Quietly(ShowDesktop);
    if (unlockTaskManager_) Quietly(EnableTaskManager);
    if (showTaskbar_) Quietly(ShowTaskbar);
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
