#include "ui/helpers/file_dialog.h"

#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <utility>

#include "platform/core/program_title.h"
#include "ui/helpers/nested_dialogs.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

std::optional<QString> SystemFileDialog(const FileDialogRequest& request, QWidget* parent) {
    QFileDialog dialog(parent, request.title, request.startFolder);
    dialog.setObjectName(QLatin1String(kChooserName));
    // Set for the whole program too (UseOwnDialogs); here it holds for this one whatever else is set.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The chooser itself renames, deletes and makes nothing: every write goes through the write guard.
    dialog.setOption(QFileDialog::ReadOnly);
    // Qt leaves its New Folder action on under that option; nothing shows it then, but off is off.
    if (auto* newFolder = dialog.findChild<QAction*>(QStringLiteral("qt_new_folder_action"))) newFolder->setEnabled(false);
    dialog.setNameFilters(request.filters);
    if (!request.selectedFilter.isEmpty()) dialog.selectNameFilter(request.selectedFilter);
    // Without a suffix the name stays as chosen: Linux programs have no ".exe".
    if (save) dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (RunNestedDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// Closes any other file dialog as it shows; Corvane's chooser passes.
class ChooserGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return false;
        auto* dialog = qobject_cast<QFileDialog*>(watched);
        if (!dialog || IsOwnChooser(*dialog)) return false;
        // Nothing in it may act before it goes: read-only at once, refused from its own loop.
        dialog->setOption(QFileDialog::ReadOnly);
        dialog->setEnabled(false);
        QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        return false;
    }
};

// What may be handed to a page: the file itself after links, plain, of one
// name, outside every folder and file the write guard keeps.
bool MayHandOut(const QString& path, WriteTargetVerdict& verdict) {
    const QString real = QFileInfo(path).canonicalFilePath();
    // The kernel's own files look plain but are windows onto running programs.
    const bool kernel = real.startsWith(QLatin1String("/proc/")) || real.startsWith(QLatin1String("/sys/"));
    struct stat st {};
    if (real.isEmpty() || kernel || ::stat(real.toLocal8Bit().constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_nlink != 1) {
        verdict = {};
        return false;
    }
    verdict = CheckWriteTarget(real.toStdString());
    if (!verdict.allowed) return false;
    verdict = CheckWriteTarget(path.toStdString());
    return verdict.allowed;
}

FileDialogFunction& Installed() {
    static FileDialogFunction dialog;
    return dialog;
}

}  // namespace

void UseOwnDialogs() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

bool IsOwnChooser(const QFileDialog& dialog) {
    if (dialog.objectName() != QLatin1String(kChooserName) || !dialog.testOption(QFileDialog::ReadOnly) ||
        !dialog.testOption(QFileDialog::DontUseNativeDialog) || dialog.testAttribute(Qt::WA_DontShowOnScreen))
        return false;
    // And nothing on its face renames, deletes or makes a folder.
    for (const char* name : {"qt_rename_action", "qt_delete_action", "qt_new_folder_action"})
        if (const auto* action = dialog.findChild<QAction*>(QLatin1String(name)); action && action->isEnabled())
            return false;
    const auto* button = dialog.findChild<QWidget*>(QStringLiteral("newFolderButton"));
    return !button || !button->isEnabled();
}

void InstallChooserGuard() {
    static QPointer<ChooserGuard> guard;
    if (guard || !qApp) return;
    guard = new ChooserGuard(qApp);
    qApp->installEventFilter(guard);
}

FileDialogFunction SetFileDialog(FileDialogFunction dialog) {
    return std::exchange(Installed(), std::move(dialog));
}

std::optional<QString> ChooseFile(const FileDialogRequest& request, QWidget* parent) {
    std::optional<QString> chosen = Installed() ? Installed()(request, parent) : SystemFileDialog(request, parent);
    if (!chosen || chosen->isEmpty() || request.mode != FileDialogRequest::Mode::Save) return chosen;
    const WriteTargetVerdict verdict = CheckWriteTarget(chosen->toStdString());
    if (verdict.allowed) return chosen;
    // The message has no owner: the window that asked gets the focus back after it.
    const QPointer<QWidget> window = parent ? parent->window() : nullptr;
    ShowWriteRefused(verdict);
    if (window) window->activateWindow();
    return std::nullopt;
}

std::optional<QString> ChooseFileToHandOut(const FileDialogRequest& request, QWidget* parent) {
    FileDialogRequest open = request;
    open.mode = FileDialogRequest::Mode::Open;
    open.mustExist = true;
    std::optional<QString> chosen = ChooseFile(open, parent);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    WriteTargetVerdict verdict;
    if (MayHandOut(*chosen, verdict)) return chosen;
    const QPointer<QWidget> window = parent ? parent->window() : nullptr;
    ShowMsgBox(verdict.folder.empty()
                   ? std::string("Nothing was handed to the page. A page may be given only an ordinary file, such as a "
                                 "document or a picture: not a folder, a device or a system file, nor a file "
                                 "with a second name (a hard link) or one that Corvane protects. Choose another "
                                 "file.")
               : verdict.startPlace
                   ? "Nothing was handed to the page. " + verdict.folder +
                         " decides which programs start, and no page may read it. Choose another file."
                   : "Nothing was handed to the page. The folder " + verdict.folder +
                         " holds Corvane's own files, which no page may read. Choose another file.",
               kMsgExclamation | kMsgOkOnly, kProgramTitle);
    if (window) window->activateWindow();
    return std::nullopt;
}

void ShowWriteRefused(const WriteTargetVerdict& verdict) {
    ShowMsgBox(WriteRefusalText(verdict), kMsgExclamation | kMsgOkOnly, kProgramTitle);
}

bool ReportGuardedWrite(const GuardedWrite& written) {
    if (written.result == GuardedWrite::Result::Refused) ShowWriteRefused(written.verdict);
    return written.result == GuardedWrite::Result::Written;
}

}  // namespace corvane
