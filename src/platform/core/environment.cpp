#include "platform/core/environment.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace corvane::environment {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string ProgramFolder() {
    if (auto dir = Variable("CORVANE_PROGRAM_DIR"); !dir.empty()) {
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        return dir;
    }
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec).string();
    return exe.parent_path().string();
}

std::string ComputerName() {
    if (auto name = Variable("CORVANE_COMPUTER_NAME"); !name.empty()) return name;
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0) return {};
    return buf;
}

}  // namespace corvane::environment
