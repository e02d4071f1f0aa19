#pragma once

#include <cstdint>
#include <string>

namespace corvane {

class LogViewer;

// The printed log reports: the viewer's list as it stands at the start, in
// its shown order, as fixed-width lines in "Courier New" (or the system's
// fixed font) through the print dialog, starting from the viewer's Print
// Setup choice. The default printer is the same afterwards. A failure asks
// Retry or Cancel. A second report while one prints is refused.
void PrintUserLog(LogViewer& window);
void PrintWebsiteLog(LogViewer& window);

// Mode 0: message 468; any other mode an empty prompt; titled 290.
int ShowReportMessage(int mode, std::int32_t buttons, const std::string& unused = {});

}  // namespace corvane
