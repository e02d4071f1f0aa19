#pragma once

#include <QPrinterInfo>

#include <optional>
#include <string>

namespace corvane {

// The printer the print routines use. Setting it changes only this program's
// choice, never the system's default printer; until it is set, the system's
// default is used.
void SetDefaultPrinter(const std::string& deviceName, const std::string& driverName,
                       const std::string& port);

// The choice as SetDefaultPrinter last made it ("device,driver,port"); none
// while the system's default is followed.
std::optional<std::string> DefaultPrinterChoice();
// Puts back a choice read with DefaultPrinterChoice, none included.
void RestoreDefaultPrinterChoice(const std::optional<std::string>& choice);

// The first printer of the system's list whose name equals the chosen
// device name exactly; none when there is no such printer.
std::optional<QPrinterInfo> GetDefaultPrinter();

}  // namespace corvane
