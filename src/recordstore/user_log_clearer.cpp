#include "recordstore/user_log_clearer.h"

#include <utility>

namespace corvane {
namespace {
UserLogClearer& Installed() {
    static UserLogClearer clearer;
    return clearer;
}
}  // namespace

void SetUserLogClearer(UserLogClearer clearer) { Installed() = std::move(clearer); }

void ClearUserLogThroughClearer(std::string_view pathName) {
    if (auto clearer = Installed()) clearer(pathName);
}

}  // namespace corvane
