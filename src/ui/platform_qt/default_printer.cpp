#include "ui/platform_qt/default_printer.h"

namespace corvane {
namespace {

// "device,driver,port" as the print routines last set it; unset until then.
std::optional<std::string>& ChosenDevice() {
    static std::optional<std::string> chosen;
    return chosen;
}

}  // namespace

void SetDefaultPrinter(const std::string& deviceName, const std::string& driverName,
                       const std::string& port) {
    ChosenDevice() = deviceName + "," + driverName + "," + port;
}

std::optional<std::string> DefaultPrinterChoice() { return ChosenDevice(); }

void RestoreDefaultPrinterChoice(const std::optional<std::string>& choice) { ChosenDevice() = choice; }

std::optional<QPrinterInfo> GetDefaultPrinter() {
    QString device;
    if (ChosenDevice()) {
        const std::string& chosen = *ChosenDevice();
        device = QString::fromStdString(chosen.substr(0, chosen.find(',')));
    } else {
        device = QPrinterInfo::defaultPrinterName();
    }
    if (device.isEmpty()) return std::nullopt;
    for (const QPrinterInfo& printer : QPrinterInfo::availablePrinters())
        if (printer.printerName() == device) return printer;
    return std::nullopt;
}

}  // namespace corvane
