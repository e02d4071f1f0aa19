#include "app/termination.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace corvane {
namespace {

int gWakeFds[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(gWakeFds[0], &byte, 1);
}

}  // namespace

void InstallTerminationHandlers(std::function<void()> onTerminate) {
    if (gWakeFds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gWakeFds) != 0) return;
    auto* notifier = new QSocketNotifier(gWakeFds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, onTerminate] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(gWakeFds[1], &byte, 1);
        notifier->setEnabled(false);
        onTerminate();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace corvane
