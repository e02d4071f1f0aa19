#include "recordstore/user_log_clearing.h"

#include <utility>

namespace corvane {
namespace {
std::function<void(const std::string&)>& Hook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}
}  // namespace

void ClearUserLogFile(const std::string& pathName) {
    if (auto hook = Hook()) hook(pathName);
}

void SetClearUserLogFileHook(std::function<void(const std::string&)> hook) {
    Hook() = std::move(hook);
}

}  // namespace corvane
