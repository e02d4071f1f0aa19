#include "platform/core/error_trap.h"

#include <exception>
#include <vector>

namespace corvane {
namespace {
ErrorHandlerFunction& Handler() {
    static ErrorHandlerFunction handler;
    return handler;
}
}  // namespace

namespace {
thread_local std::vector<ErrorWatch*> tWatches;
}  // namespace

ErrorWatch::ErrorWatch(std::function<void()> onError) : onError_(std::move(onError)) { tWatches.push_back(this); }

ErrorWatch::~ErrorWatch() { std::erase(tWatches, this); }

int HandleError(const RaisedError& error, const std::string& place, int extra, int language) {
    for (ErrorWatch* watch : std::vector<ErrorWatch*>(tWatches)) watch->onError_();
    if (auto handler = Handler()) return handler(error, place, extra, language);
    return kErrorLeave;
}

void SetErrorHandler(ErrorHandlerFunction handler) { Handler() = std::move(handler); }

bool RunTrapped(const std::string& place, std::initializer_list<Statement> statements,
                int language) {
    for (auto it = statements.begin(); it != statements.end();) {
        int answer = kErrorResume;
        try {
            (*it)();
            ++it;
            continue;
        } catch (const std::exception& e) {
            answer = HandleError(ToRaisedError(e, place), place, 0, language);
        }
        if (answer == kErrorRetry) continue;
        if (answer == kErrorResume) {
            ++it;
            continue;
        }
        return false;
    }
    return true;
}

bool RunDecision(const std::string& place, std::initializer_list<Statement> steps, int language) {
    for (auto it = steps.begin(); it != steps.end();) {
        try {
            (*it)();
            ++it;
            continue;
        } catch (const std::exception& e) {
            // Only a retry goes on: a skipped step could be the one that refuses.
            int answer = kErrorLeave;
            try {
                answer = HandleError(ToRaisedError(e, place), place, 0, language);
            } catch (...) {
            }
            if (answer != kErrorRetry) return false;
        } catch (...) {
            return false;
        }
    }
    return true;
}

void RunIgnoringErrors(std::initializer_list<Statement> statements) {
    for (const auto& statement : statements) {
        try {
            statement();
        } catch (const std::exception&) {
            // Skipped on purpose: these procedures carry on whatever fails.
        }
    }
}

}  // namespace corvane
