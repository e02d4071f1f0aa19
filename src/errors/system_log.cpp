#include "errors/system_log.h"
#include "platform/core/program_title.h"

#include <syslog.h>

#include <utility>

namespace corvane {
namespace {

class SyslogSystemLog : public SystemLog {
public:
    void WriteError(const std::string& text) override {
        // The identity must outlive every syslog call, so it is a literal.
        openlog(kProgramTitle, LOG_PID, LOG_USER);
        syslog(LOG_ERR, "%s", text.c_str());
        closelog();
    }
};

std::shared_ptr<SystemLog>& Installed() {
    static std::shared_ptr<SystemLog> log = MakeSyslogSystemLog();
    return log;
}

}  // namespace

std::unique_ptr<SystemLog> MakeSyslogSystemLog() { return std::make_unique<SyslogSystemLog>(); }

std::shared_ptr<SystemLog> CurrentSystemLog() { return Installed(); }

std::shared_ptr<SystemLog> SetSystemLog(std::shared_ptr<SystemLog> log) {
    if (!log) log = MakeSyslogSystemLog();
    return std::exchange(Installed(), std::move(log));
}

}  // namespace corvane
