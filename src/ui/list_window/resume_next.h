#pragma once

#include <functional>
#include <initializer_list>

namespace corvane {

// Runs each statement in turn; one that fails is skipped and the next runs.
// For the window steps whose errors are not reported (loading, activation,
// layout, row building).
inline void ResumeNext(std::initializer_list<std::function<void()>> statements) {
    for (const auto& statement : statements) {
        try {
            statement();
        } catch (...) {
        }
    }
}

}  // namespace corvane
