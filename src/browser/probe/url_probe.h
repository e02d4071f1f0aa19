#pragma once

#include <chrono>
#include <string>

namespace corvane {

// How long an address may take to answer before it counts as not available.
inline constexpr std::chrono::milliseconds kURLProbeTimeout{10000};

// True exactly when a GET of the http or https address ends, after its redirects, with status
// 200. No answer within the timeout, another status, another scheme, an address that does not
// parse or a missing application object: False. Waits in a local event loop, so timers and
// clicks go on meanwhile (and may re-enter the caller). Never raises.
bool IsURLAvailable(const std::string& address, std::chrono::milliseconds timeout = kURLProbeTimeout);

}  // namespace corvane
