#pragma once

#include <functional>

namespace corvane {

// SIGTERM and SIGINT end the program through its unload path: the handler
// only wakes the event loop, which then runs onTerminate.
void InstallTerminationHandlers(std::function<void()> onTerminate);

}  // namespace corvane
