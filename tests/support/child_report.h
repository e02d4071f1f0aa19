#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace corvane::test_support {

// Runs body in a child process (one that may change its user without touching the test
// run's) and returns the text body returned, noting a child that did not finish.
inline std::string ReportFromChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string report = body();
        [[maybe_unused]] auto written = ::write(fds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) report += " (the child did not finish)";
    return report;
}

}  // namespace corvane::test_support
