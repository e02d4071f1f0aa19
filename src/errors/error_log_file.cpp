#include "errors/error_log_file.h"

#include <cstdio>

#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "ui_core/date_text.h"
#include "errors/system_log.h"

namespace corvane {

std::string ErrorLogPath() {
    return environment::ProgramFolder() + "/" + kProgramTitle + "_ErrorLog.txt";
}

std::string FormatErrorLine(const RaisedError& error, std::string& place) {
    if (place.empty()) place = kUnknownModule;
    return "[" + std::to_string(error.Number()) + "]," + error.Description() + "," +
           error.Source() + "," + place;
}

bool WriteErrorLog(const std::string& line, const std::string& path) {
    if (path.empty()) return true;
    const std::string entry = line + "," + ui::GeneralDateText(clock::Now()) + "\r\n";
    bool written = false;
    // One open, write and close per error, so that the viewer and other
    // copies of the program find the file closed between errors.
    if (std::FILE* file = std::fopen(path.c_str(), "ab")) {
        written = std::fwrite(entry.data(), 1, entry.size(), file) == entry.size();
        if (std::fclose(file) != 0) written = false;
    }
    try {
        CurrentSystemLog()->WriteError(line);
    } catch (...) {
        // The system log is a second copy; losing it must not lose the answer.
    }
    return written;
}

}  // namespace corvane
