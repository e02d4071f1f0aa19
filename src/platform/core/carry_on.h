#pragma once

#include <exception>

namespace corvane {

// Runs one step of a procedure that carries on with its next step after any
// error, without a message (the login window's load and unload, Security's
// login and logout, the console's launches).
template <typename Step>
void CarryOn(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace corvane
