#include "admin/logs/viewers/reports_mod.h"

#include <QPointer>

#include "admin/logs/viewers/log_report.h"
#include "admin/logs/viewers/log_viewer.h"
#include "logs/current_user.h"
#include "logs/log_writers.h"
#include "messages/message_catalogue.h"
#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/core/event_loop.h"
#include "platform/settings/global_settings.h"
#include "ui/helpers/print_job.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr int kRetry = 4;

// Raised into the print job when the window closed between two blocks.
struct WindowClosed {};

void PrintReport(LogViewer& viewer, int titleMessage, const std::vector<int>& widths) {
    if (viewer.reportRunning) return;
    // The report yields between blocks, and the window may close (and be
    // freed) meanwhile: the job then ends quietly and nothing touches it.
    const QPointer<LogViewer> window(&viewer);
    window->reportRunning = true;
    struct Running {
        const QPointer<LogViewer>& w;
        ~Running() {
            if (w) w->reportRunning = false;
        }
    } running{window};
    const std::string title = GetMessageText(titleMessage, gLanguage);
    // The rows as shown now: a reload while printing changes the window, not the report.
    const LogRows rows = window->Model()->Rows();
    const std::vector<std::string> headings = window->Headings();
    const QString family = FixedPitchFamily(QStringLiteral("Courier New"));
    for (;;) {
        LogReport report(title, headings, widths, rows, clock::Now(), gLanguage);
        const PrintOutcome outcome = PrintLines(
            window, family,
            [&](std::vector<PrintedLine>& lines) {
                YieldToEventLoop();
                if (!window) throw WindowClosed{};
                return report.Next(lines);
            },
            &window->PrintChoice());
        if (!window) break;
        if (outcome == PrintOutcome::Printed) {
            WriteActivityLog(GetCurrentUser(), gEXEAppName, GetLocalComputerName(),
                             GetMessageText(5, gLanguage) + " - " + title);
            break;
        }
        if (outcome == PrintOutcome::Cancelled) break;
        // The message box runs the event loop too.
        if (ShowReportMessage(0, 53) != kRetry || !window) break;
    }
}

}  // namespace

int ShowReportMessage(int mode, std::int32_t buttons, const std::string&) {
    const std::string prompt = mode == 0 ? GetMessageText(468, gLanguage) : std::string();
    return ShowMsgBox(prompt, buttons, GetMessageText(290, gLanguage));
}

void PrintUserLog(LogViewer& window) { PrintReport(window, 297, kUserLogReportWidths); }

void PrintWebsiteLog(LogViewer& window) { PrintReport(window, 164, kWebsiteLogReportWidths); }

}  // namespace corvane
