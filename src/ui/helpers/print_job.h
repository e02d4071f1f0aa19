#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "errors/printouts.h"

class QPrinter;
class QWidget;

namespace corvane {

// The print dialog: sets up the printer (its choice, copies, orientation) and
// answers false when the user cancels. Tests install one that prints to a
// PDF file or cancels; an empty function restores the system's dialog.
using PrintDialogFunction = std::function<bool(QPrinter& printer, QWidget* parent)>;
PrintDialogFunction SetPrintDialog(PrintDialogFunction dialog);
// Asks the installed print dialog (the system's by default).
bool AskPrintDialog(QPrinter& printer, QWidget* parent);

enum class PrintOutcome { Printed, Cancelled, Failed };

// Fills the lines to print next; false when there are no more. It may raise,
// which fails the job.
using PrintSource = std::function<bool(std::vector<PrintedLine>& lines)>;

// One print job as the program's print routines run it: the current default
// printer is remembered, the print dialog asked (Cancel ends quietly and
// changes nothing), the printer chosen becomes the program's default for the
// job, the lines are printed in the given font family with the hourglass
// showing (a line that does not fit starts a new page), and the remembered
// printer is made the default again. A failure aborts the job.
PrintOutcome PrintLines(QWidget* window, const QString& fontFamily, const PrintSource& source);

}  // namespace corvane
