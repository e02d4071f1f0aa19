#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/system/write_guard.h"

class QFileDialog;
class QWidget;

namespace corvane {

// Makes every dialog of Qt's in the program its own widget dialog, never the
// desktop's (GTK, a portal): those take no read-only option and run out of
// the program's reach. Call before the QApplication is made.
void UseOwnDialogs();

// The object name of Corvane's chooser.
inline constexpr char kChooserName[] = "dlgChooseFile";

// Whether a file dialog is Corvane's chooser as it must be: Qt's widget
// dialog, read-only, no rename, delete or new folder enabled on it.
bool IsOwnChooser(const QFileDialog& dialog);

// Refuses, the moment it shows, every file dialog in the program that is not
// Corvane's chooser, as if cancelled: the last line should a route to Qt's
// own chooser be missed. Call once, after the QApplication exists.
void InstallChooserGuard();

// What a window asks of the file chooser. Filters are Qt name filters
// ("Executable Files (*.exe)"); the selected filter is preselected when given.
struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString startFolder;
    QString fileName;                 // preset name
    QStringList filters;
    QString selectedFilter;
    QString defaultSuffix;            // Save only; empty keeps the name as typed
    bool mustExist = true;            // Open: only existing files
    bool confirmOverwrite = true;     // Save: ask before replacing a file
};

// The file chooser: the chosen path, or nothing when the user cancelled.
// Tests install one that answers a name or cancels; an empty function
// restores the system's dialog.
using FileDialogFunction = std::function<std::optional<QString>(const FileDialogRequest&, QWidget* parent)>;
FileDialogFunction SetFileDialog(FileDialogFunction dialog);

// Asks the installed chooser (the system's QFileDialog by default). A Save
// target inside one of Corvane's own folders is refused with a message, and
// the answer is then nothing, as if cancelled.
std::optional<QString> ChooseFile(const FileDialogRequest& request, QWidget* parent);

// Asks for a file to hand to a web page (Open): a file that is one of
// Corvane's, lies in one of its folders (after links), has another name too
// (a hard link) or is no plain file is refused with a message, and the
// answer is then nothing.
std::optional<QString> ChooseFileToHandOut(const FileDialogRequest& request, QWidget* parent);

// Tells the person that nothing was written at a refused target, naming the
// folder (through the message-box seam).
void ShowWriteRefused(const WriteTargetVerdict& verdict);

// Says so when a guarded write was refused; true only when it was written.
bool ReportGuardedWrite(const GuardedWrite& written);

}  // namespace corvane
