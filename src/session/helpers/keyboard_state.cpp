#include "session/helpers/keyboard_state.h"

#include <utility>

namespace corvane {
namespace {
std::shared_ptr<KeyboardState>& Installed() {
    static std::shared_ptr<KeyboardState> state;
    return state;
}
}  // namespace

std::shared_ptr<KeyboardState> SetKeyboardState(std::shared_ptr<KeyboardState> state) {
    return std::exchange(Installed(), std::move(state));
}

bool IsCapsLockOn() {
    const auto state = Installed();
    if (!state) return false;
    const CapsLockState caps = state->CapsLock();
    return caps.toggled && !caps.held;
}

}  // namespace corvane
