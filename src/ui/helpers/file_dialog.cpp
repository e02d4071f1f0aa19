#include "ui/helpers/file_dialog.h"

#include <QFileDialog>
#include <QPointer>
#include <utility>

#include "platform/core/program_title.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

std::optional<QString> SystemFileDialog(const FileDialogRequest& request, QWidget* parent) {
    QFileDialog dialog(parent, request.title, request.startFolder);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The chooser itself renames, deletes and makes nothing: every write goes through the write guard.
    dialog.setOption(QFileDialog::ReadOnly);
    dialog.setNameFilters(request.filters);
    if (!request.selectedFilter.isEmpty()) dialog.selectNameFilter(request.selectedFilter);
    // Without a suffix the name stays as chosen: Linux programs have no ".exe".
    if (save) dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

FileDialogFunction& Installed() {
    static FileDialogFunction dialog;
    return dialog;
}

}  // namespace

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

void ShowWriteRefused(const WriteTargetVerdict& verdict) {
    ShowMsgBox(WriteRefusalText(verdict), kMsgExclamation | kMsgOkOnly, kProgramTitle);
}

bool ReportGuardedWrite(const GuardedWrite& written) {
    if (written.result == GuardedWrite::Result::Refused) ShowWriteRefused(written.verdict);
    return written.result == GuardedWrite::Result::Written;
}

}  // namespace corvane
