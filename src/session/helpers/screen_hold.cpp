#include "session/helpers/screen_hold.h"

#include <utility>

namespace corvane {
namespace {
std::shared_ptr<ScreenHold>& InstalledHold() {
    static std::shared_ptr<ScreenHold> hold;
    return hold;
}
}  // namespace

std::shared_ptr<ScreenHold> SetScreenHold(std::shared_ptr<ScreenHold> hold) {
    return std::exchange(InstalledHold(), std::move(hold));
}

std::shared_ptr<ScreenHold> CurrentScreenHold() { return InstalledHold(); }

}  // namespace corvane
