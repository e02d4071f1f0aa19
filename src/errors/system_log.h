#pragma once

#include <memory>
#include <string>

namespace corvane {

// Where reported errors go besides the error-log file: the system's log.
class SystemLog {
public:
    virtual ~SystemLog() = default;
    // Records one error entry; never raises.
    virtual void WriteError(const std::string& text) = 0;
};

// The system log of Linux: syslog under the name "Corvane", facility user,
// priority error.
std::unique_ptr<SystemLog> MakeSyslogSystemLog();

// The system log in use (syslog until a test installs another).
std::shared_ptr<SystemLog> CurrentSystemLog();
// Installs a system log; nullptr restores syslog. Returns the previous one.
std::shared_ptr<SystemLog> SetSystemLog(std::shared_ptr<SystemLog> log);

}  // namespace corvane
