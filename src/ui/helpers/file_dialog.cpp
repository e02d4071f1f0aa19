#include "ui/helpers/file_dialog.h"

#include <QFileDialog>
#include <utility>

namespace corvane {
namespace {

std::optional<QString> SystemFileDialog(const FileDialogRequest& request, QWidget* parent) {
    QFileDialog dialog(parent, request.title, request.startFolder);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
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
    if (Installed()) return Installed()(request, parent);
    return SystemFileDialog(request, parent);
}

}  // namespace corvane
