#include "platform/core/event_loop.h"

namespace corvane {
namespace {
std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}
}  // namespace

void YieldToEventLoop() {
    // Copy first: the hook may replace itself while it runs.
    if (auto hook = Hook()) hook();
}

void SetYieldHook(std::function<void()> hook) { Hook() = std::move(hook); }

}  // namespace corvane
