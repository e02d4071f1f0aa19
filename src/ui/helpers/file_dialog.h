#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace corvane {

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

// Asks the installed chooser (the system's QFileDialog by default).
std::optional<QString> ChooseFile(const FileDialogRequest& request, QWidget* parent);

}  // namespace corvane
