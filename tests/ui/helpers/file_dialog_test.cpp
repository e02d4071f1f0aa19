#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <filesystem>
#include <utility>

#include "platform/core/program_globals.h"
#include "support/temp_folder.h"
#include "ui/helpers/file_dialog.h"
#include "ui_core/msgbox/scripted_msgbox.h"

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

// A Save target among Corvane's own files is refused with a message naming
// the folder; the caller hears nothing was chosen. Open is not a write.
TEST(FileDialog, ASaveTargetInTheDataFolderIsRefusedWithAMessage) {
    test_support::TempFolder data;
    const std::string savedData = std::exchange(gDataPath, data.Path());
    auto box = ScriptedMsgBox::Install();
    const std::string users = data / "users.sec";
    auto previous = SetFileDialog([&](const FileDialogRequest&, QWidget*) {
        return std::optional<QString>(QString::fromStdString(users));
    });
    FileDialogRequest save;
    save.mode = FileDialogRequest::Mode::Save;
    EXPECT_EQ(ChooseFile(save, nullptr), std::nullopt);
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, WriteRefusalText({false, std::filesystem::canonical(data.Path()).string()}));
    EXPECT_EQ(box->Last().buttons, kMsgExclamation | kMsgOkOnly);
    FileDialogRequest open;
    EXPECT_EQ(ChooseFile(open, nullptr), std::optional<QString>(QString::fromStdString(users)));
    EXPECT_EQ(box->Count(), 1);
    SetFileDialog(previous);
    gDataPath = savedData;
}

// The system's chooser renames, deletes and makes no folders of its own.
TEST(FileDialog, TheSystemChooserChangesNoFiles) {
    bool readOnly = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                readOnly = dialog->testOption(QFileDialog::ReadOnly);
                dialog->reject();
            }
    });
    FileDialogRequest save;
    save.mode = FileDialogRequest::Mode::Save;
    EXPECT_EQ(ChooseFile(save, nullptr), std::nullopt);
    EXPECT_TRUE(readOnly);
}

// What a page may be handed: a plain file of one name outside Corvane's folders; anything else is
// refused with a message and the page gets nothing.
TEST(FileDialog, APageIsHandedNothingOfCorvanesWhateverNameItGoesBy) {
    test_support::TempFolder data, home;
    const std::string savedData = std::exchange(gDataPath, data.Path());
    auto box = ScriptedMsgBox::Install();
    const std::string users = data.Write("users.sec", "hash");
    const std::string homework = home.Write("homework.txt", "essay");
    std::filesystem::create_symlink(users, home / "innocent.txt");
    std::filesystem::create_symlink(data.Path(), home / "folder");
    std::filesystem::create_hard_link(home.Write("shared.txt", "x"), home / "shared-too.txt");
    const struct {
        std::string path;
        bool handed;
    } rows[] = {
        {homework, true},
        {users, false},
        {home / "innocent.txt", false},
        {home / "folder/users.sec", false},
        {home / "shared.txt", false},
        {"/proc/self/environ", false},
        {home / "missing.txt", false},
    };
    QString answer;
    auto previous = SetFileDialog([&](const FileDialogRequest& request, QWidget*) {
        EXPECT_EQ(request.mode, FileDialogRequest::Mode::Open);
        return std::optional<QString>(answer);
    });
    for (const auto& row : rows) {
        answer = QString::fromStdString(row.path);
        FileDialogRequest request;
        request.mode = FileDialogRequest::Mode::Save;  // an upload reads, whatever it is asked as
        const int boxes = box->Count();
        const std::optional<QString> chosen = ChooseFileToHandOut(request, nullptr);
        EXPECT_EQ(chosen.has_value(), row.handed) << row.path;
        EXPECT_EQ(box->Count(), boxes + (row.handed ? 0 : 1)) << row.path;
        if (!row.handed) EXPECT_EQ(box->Last().prompt.rfind("Nothing was handed to the page.", 0), 0u) << row.path;
    }
    // A hidden file of the home folder is what the next login reads: no page gets it either.
    const char* savedHome = std::getenv("HOME");
    const std::string keptHome = savedHome ? savedHome : "";
    ::setenv("HOME", home.Path().c_str(), 1);
    answer = QString::fromStdString(home.Write(".profile", "PATH=..."));
    EXPECT_EQ(ChooseFileToHandOut(FileDialogRequest{}, nullptr), std::nullopt);
    EXPECT_EQ(box->Last().prompt, "Nothing was handed to the page. " +
                                      std::filesystem::canonical(home / ".profile").string() +
                                      " decides which programs start, and no page may read it. Choose another file.");
    if (savedHome) ::setenv("HOME", keptHome.c_str(), 1);
    else ::unsetenv("HOME");
    SetFileDialog(previous);
    gDataPath = savedData;
}

}  // namespace
}  // namespace corvane
