#include <gtest/gtest.h>

#include "ui/helpers/file_dialog.h"

namespace corvane {
namespace {

TEST(FileDialog, AnInstalledChooserAnswersAndTheRequestReachesIt) {
    FileDialogRequest seen;
    auto previous = SetFileDialog([&](const FileDialogRequest& request, QWidget*) -> std::optional<QString> {
        seen = request;
        return request.mode == FileDialogRequest::Mode::Open ? std::optional<QString>("/usr/bin/foo")
                                                             : std::nullopt;
    });
    FileDialogRequest open;
    open.title = "Select Program";
    open.filters = {"Executable Files (*.exe)", "All Files (*)"};
    open.selectedFilter = "All Files (*)";
    EXPECT_EQ(ChooseFile(open, nullptr), std::optional<QString>("/usr/bin/foo"));
    EXPECT_EQ(seen.title, "Select Program");
    EXPECT_EQ(seen.selectedFilter, "All Files (*)");

    FileDialogRequest save;
    save.mode = FileDialogRequest::Mode::Save;
    EXPECT_EQ(ChooseFile(save, nullptr), std::nullopt);
    SetFileDialog(previous);
}

}  // namespace
}  // namespace corvane
