#include "errors/sendmail_sender.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/core/environment.h"
#include "errors/mail_composer.h"

extern char** environ;

namespace corvane {
namespace {

bool Runnable(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string LoginName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return pw->pw_name;
    return "corvane";
}

std::string HostName() {
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0') return "localhost";
    return buffer;
}

// sendmail reads the local convention of line ends and writes CR LF itself.
std::string LocalLineEnds(const std::string& crlf) {
    std::string out;
    out.reserve(crlf.size());
    for (std::size_t i = 0; i < crlf.size(); ++i) {
        if (crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n') continue;
        out += crlf[i];
    }
    return out;
}

using Clock = std::chrono::steady_clock;

// Milliseconds left until the deadline, for poll.
int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1000));
}

// Writes everything to the pipe (non-blocking) before the deadline; a reader
// that went away or never reads gives false rather than the signal that would
// end this program or a wait without end.
bool WriteAll(int fd, const std::string& data, Clock::time_point deadline) {
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    bool ok = true;
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN && Clock::now() < deadline) {
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, MillisecondsLeft(deadline));
                continue;
            }
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (!ok) {
        const timespec zero{};
        while (sigtimedwait(&pipeSignal, nullptr, &zero) > 0) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

// The exit status of the program once it has ended, or -1 when it had to be
// stopped; either way it is reaped, never left a zombie.
int WaitFor(pid_t pid, Clock::time_point deadline) {
    // Asked to end at the deadline, made to a second later.
    constexpr auto kGrace = std::chrono::seconds(1);
    bool asked = false;
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return !asked && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (r < 0 && errno != EINTR) return -1;
        const auto now = Clock::now();
        if (!asked && now >= deadline) {
            ::kill(pid, SIGTERM);
            asked = true;
        } else if (asked && now >= deadline + kGrace) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

class SendmailSender : public MailSender {
public:
    SendmailSender(std::string program, std::chrono::milliseconds limit)
        : program_(std::move(program)), limit_(limit) {}

    bool Send(const MailMessage& message) override {
        const std::string program = program_.empty() ? FindSendmail() : program_;
        if (!Runnable(program)) return false;

        MailEnvelope envelope;
        envelope.host = HostName();
        envelope.fromAddress = LoginName() + "@" + envelope.host;
        envelope.date = std::chrono::system_clock::now();
        envelope.utcOffsetMinutes = LocalUtcOffsetMinutes(envelope.date);
        std::ostringstream id;
        id << envelope.date.time_since_epoch().count() << "." << ::getpid() << "."
           << std::random_device{}();
        envelope.uniqueId = id.str();
        const auto mail = ComposeMail(message, envelope);
        if (!mail) return false;
        return Run(program, MailRecipient(message), LocalLineEnds(*mail));
    }

private:
    bool Run(const std::string& program, const std::string& recipient, const std::string& input) const {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
        std::vector<std::string> args{program, "-oi", "--", recipient};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[0]);
        if (rc != 0) {
            ::close(fds[1]);
            return false;
        }
        const auto deadline = Clock::now() + limit_;
        ::fcntl(fds[1], F_SETFL, ::fcntl(fds[1], F_GETFL) | O_NONBLOCK);
        const bool written = WriteAll(fds[1], input, deadline);
        ::close(fds[1]);
        const int status = WaitFor(pid, deadline);
        return written && status == 0;
    }

    std::string program_;
    std::chrono::milliseconds limit_;
};

}  // namespace

std::string FindSendmail() {
    for (const char* candidate : {"/usr/sbin/sendmail", "/usr/lib/sendmail"})
        if (Runnable(candidate)) return candidate;
    std::istringstream path(environment::Variable("PATH"));
    for (std::string dir; std::getline(path, dir, ':');) {
        if (dir.empty()) continue;
        const std::string candidate = dir + "/sendmail";
        if (Runnable(candidate)) return candidate;
    }
    return {};
}

std::unique_ptr<MailSender> MakeSendmailSender(std::string program, std::chrono::milliseconds limit) {
    return std::make_unique<SendmailSender>(std::move(program), limit);
}

}  // namespace corvane
