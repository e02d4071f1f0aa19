#pragma once

#include <QPageLayout>
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

// A window's last Print Setup choice, which its next job starts from.
struct PrintSetupChoice {
    bool chosen = false;
    QString printerName;
    int copies = 1;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

// The print-setup form of the print dialog: false when cancelled, the
// choice unchanged then.
bool RunPrintSetup(PrintSetupChoice& choice, QWidget* parent);

// The family itself when the system gives a fixed-pitch font for it, else
// the system's fixed font, so that columns of text line up.
QString FixedPitchFamily(const QString& family);

// Fills the lines to print next; false when there are no more. It may raise,
// which fails the job.
using PrintSource = std::function<bool(std::vector<PrintedLine>& lines)>;

// One print job as the program's print routines run it: the current default
// printer is remembered, the print dialog asked (Cancel ends quietly), the
// printer chosen becomes the program's default for the job, and the lines are
// printed in the given font family with the hourglass showing (a line that
// does not fit starts a new page). However the job ends, the program's
// default printer is then as it was before. A failure, a dialog that raises
// included, aborts the job and leaves no file. A PDF file named in the
// dialog is written through the write guard: a target in one of Corvane's
// own folders is refused with a message and ends as cancelled. With a
// setup choice the dialog starts from it.
PrintOutcome PrintLines(QWidget* window, const QString& fontFamily, const PrintSource& source,
                        const PrintSetupChoice* setup = nullptr);

}  // namespace corvane
