#pragma once

#include <functional>

namespace corvane {

// Lets pending window and timer events run. A no-op until the window layer
// installs its hook; the core never depends on the window toolkit.
void YieldToEventLoop();
void SetYieldHook(std::function<void()> hook);

}  // namespace corvane
