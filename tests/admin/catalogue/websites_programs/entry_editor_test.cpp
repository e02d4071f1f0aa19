#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QWindow>

#include "admin/catalogue/websites_programs/catalogue_test_support.h"
#include "platform/settings/settings_store.h"
#include "ui/helpers/file_dialog.h"

namespace corvane::test {
namespace {

std::string Noun(Kind kind) { return kind == Kind::Website ? "URL" : "Program"; }

class EntryEditorTest : public CatalogueTest, public ::testing::WithParamInterface<Kind> {};

struct ValidationRow {
    const char* name;
    const char* editing;  // "" for a new entry
    const char* typed;
    int message;           // 0, 518 or 519
    const char* savedKey;  // the key answered afterwards
};

TEST_P(EntryEditorTest, ValidatesTheKeyAndSavesOnlyAValidOne) {
    const Kind kind = GetParam();
    const ValidationRow rows[] = {
        {"blanks only", "", "   ", 518, ""},
        {"case-only rename", "alpha", "ALPHA", 0, "ALPHA"},
        {"another entry in other case with blanks", "alpha", "  BETA ", 519, "alpha"},
        {"new against the whole table", "", " Alpha", 519, ""},
        {"new, trimmed", "", "  gamma  ", 0, "gamma"},
    };
    for (const ValidationRow& row : rows) {
        SCOPED_TRACE(std::string(KindName(kind)) + ": " + row.name);
        test_support::TempFolder folder;
        gDataPath = folder.Path();
        box_->Clear();
        AddEntry(kind, {"alpha", "first", 1});
        AddEntry(kind, {"beta", "second", 0});
        auto editor = OpenEditor(kind, row.editing);
        editor->KeyBox()->setText(QString::fromUtf8(row.typed));
        ASSERT_TRUE(editor->OkButton()->isEnabled());
        editor->OkButton()->click();

        EXPECT_TRUE(editor->IsDirty);
        EXPECT_FALSE(editor->Cancelled);
        EXPECT_EQ(editor->Key(), row.savedKey);
        std::vector<std::string> keys;
        for (const Entry& e : Entries(kind)) keys.push_back(e.key);
        if (row.message == 0) {
            EXPECT_EQ(box_->Count(), 0);
            EXPECT_FALSE(editor->isVisible());
            EXPECT_NE(std::find(keys.begin(), keys.end(), row.savedKey), keys.end());
            EXPECT_EQ(keys.size(), *row.editing ? 2u : 3u);
        } else {
            ASSERT_EQ(box_->Count(), 1);
            const std::string expected = row.message == 518 ? "Field " + Noun(kind) + " cannot be Blank."
                                                            : Noun(kind) + " already exists. Please select an alternative and try again.";
            EXPECT_EQ(box_->Last().prompt, expected);
            EXPECT_EQ(box_->Last().buttons, kMsgExclamation);
            EXPECT_EQ(box_->Last().title, "Corvane");
            EXPECT_TRUE(editor->isVisible());
            EXPECT_EQ(keys, (std::vector<std::string>{"alpha", "beta"}));
        }
    }
}

TEST_P(EntryEditorTest, EmptyKeyDisablesOkAndEnterIsSwallowed) {
    auto editor = OpenEditor(GetParam(), "");
    EXPECT_FALSE(editor->OkButton()->isEnabled());
    EXPECT_TRUE(editor->AccessButton(1)->isChecked());
    editor->KeyBox()->setText("x");
    EXPECT_TRUE(editor->OkButton()->isEnabled());
    editor->KeyBox()->setText("");
    EXPECT_FALSE(editor->OkButton()->isEnabled());
    QTest::keyClick(editor->KeyBox(), Qt::Key_Return);
    EXPECT_FALSE(editor->IsDirty);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(Entries(GetParam()).size(), 0u);
}

TEST_P(EntryEditorTest, ALevelWithoutAButtonIsKeptUnlessOneIsChosen) {
    const Kind kind = GetParam();
    for (const std::int32_t level : {2, 3}) {
        SCOPED_TRACE(level);
        test_support::TempFolder folder;
        gDataPath = folder.Path();
        AddEntry(kind, {"alpha", "old", level, "Auditors"});
        auto editor = OpenEditor(kind, "alpha");
        EXPECT_FALSE(editor->AccessButton(0)->isChecked());
        EXPECT_FALSE(editor->AccessButton(1)->isChecked());
        editor->DescriptionBox()->setText(" new ");
        editor->OkButton()->click();
        ASSERT_FALSE(editor->isVisible());
        Entry saved = Entries(kind).at(0);
        EXPECT_EQ(saved.accessLevel, level);
        EXPECT_EQ(saved.otherAccess, "Auditors");
        EXPECT_EQ(saved.description, "new");

        auto again = OpenEditor(kind, "alpha");
        again->AccessButton(0)->setChecked(true);
        again->OkButton()->click();
        EXPECT_EQ(Entries(kind).at(0).accessLevel, 0);
    }
}

TEST_P(EntryEditorTest, CancelAfterAnInvalidOkAnswersCancelledAndDirty) {
    const Kind kind = GetParam();
    // Cancel button, Esc and the close box close alike.
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        auto editor = OpenEditor(kind, "");
        editor->KeyBox()->setText("  ");
        editor->OkButton()->click();
        ASSERT_TRUE(editor->isVisible());
        if (way == 0) editor->CancelButton()->click();
        if (way == 1) QTest::keyClick(editor->DescriptionBox(), Qt::Key_Escape);
        if (way == 2) editor->windowHandle()->close();
        QApplication::processEvents();
        EXPECT_TRUE(editor->Cancelled);
        EXPECT_TRUE(editor->IsDirty);
        EXPECT_FALSE(editor->isVisible());
        EXPECT_EQ(editor->Key(), "");
    }
    EXPECT_EQ(Entries(kind).size(), 0u);
}

TEST_P(EntryEditorTest, AnEntryGoneMeanwhileOrAFailedSaveKeepsTheEditorOpen) {
    const Kind kind = GetParam();
    const std::int32_t id = AddEntry(kind, {"alpha", "first", 1});
    auto editor = OpenEditor(kind, "alpha");
    if (kind == Kind::Website)
        Website().Delete(id);
    else
        Program().Delete(id);
    editor->KeyBox()->setText("renamed");
    editor->OkButton()->click();
    ASSERT_EQ(box_->Count(), 1);
    EXPECT_EQ(box_->Last().prompt, kEntryGoneText);
    EXPECT_EQ(box_->Last().buttons, kMsgExclamation);
    EXPECT_EQ(box_->Last().title, "Corvane");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Key(), "alpha");
    EXPECT_EQ(Entries(kind).size(), 0u);
    editor->CancelButton()->click();
    EXPECT_TRUE(editor->Cancelled);

    // A table that cannot be written: the error is reported and nothing counts as saved.
    AddEntry(kind, {"beta", "second", 1});
    auto failing = OpenEditor(kind, "beta");
    const QString table = QDir(QString::fromStdString(gDataPath)).filePath(kind == Kind::Website ? "websites.sec" : "programs.sec");
    ASSERT_TRUE(QFile::remove(table));
    ASSERT_TRUE(QDir().mkdir(table));
    errors_.clear();
    failing->DescriptionBox()->setText("changed");
    failing->OkButton()->click();
    EXPECT_FALSE(errors_.empty());
    EXPECT_TRUE(failing->isVisible());
    EXPECT_FALSE(failing->Cancelled);
}

INSTANTIATE_TEST_SUITE_P(BothEditors, EntryEditorTest, ::testing::Values(Kind::Website, Kind::Program),
                         [](const auto& info) { return std::string(KindName(info.param)); });

// The program editor's file picker.
class ProgramPickerTest : public CatalogueTest {
protected:
    void TearDown() override {
        SetFileDialog(nullptr);
        CatalogueTest::TearDown();
    }
    static qint64 PictureKey(frmProgramDetails& editor) { return editor.ProgramPicture()->pixmap().cacheKey(); }
    static std::string InitDir() { return GetUserSetting(kProgramDetailsSection, kStartProgramFileInitDir, "(none)"); }
};

TEST_F(ProgramPickerTest, CancelChangesNothingAndAChoiceSetsPathIconAndFolder) {
    const QString tool = QDir(QString::fromStdString(gDataPath)).filePath("tool.sh");
    QFile file(tool);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    frmProgramDetails editor;
    editor.IsNew = true;
    editor.show();
    editor.Activate();
    editor.KeyBox()->setText("/typed/by/hand");
    const qint64 defaultPicture = PictureKey(editor);
    EXPECT_EQ(PictureKey(editor), defaultPicture) << "typing never changes the icon";

    const std::string initial = InitDir();
    std::vector<FileDialogRequest> asked;
    SetFileDialog([&](const FileDialogRequest& r, QWidget*) -> std::optional<QString> {
        asked.push_back(r);
        return std::nullopt;
    });
    editor.PathButton()->click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].title, "New Program");
    EXPECT_EQ(asked[0].startFolder.toStdString(), initial == "(none)" ? gDataPath : initial);
    EXPECT_EQ(asked[0].fileName, "/typed/by/hand");
    EXPECT_TRUE(asked[0].mustExist);
    EXPECT_TRUE(asked[0].defaultSuffix.isEmpty());
    EXPECT_EQ(asked[0].selectedFilter, asked[0].filters.last());
    EXPECT_EQ(editor.KeyBox()->text(), "/typed/by/hand");
    EXPECT_EQ(PictureKey(editor), defaultPicture);
    EXPECT_EQ(InitDir(), initial);

    SetFileDialog([&](const FileDialogRequest& r, QWidget*) -> std::optional<QString> {
        asked.push_back(r);
        return tool;
    });
    editor.PathButton()->click();
    EXPECT_EQ(editor.KeyBox()->text(), tool);
    EXPECT_NE(PictureKey(editor), defaultPicture);
    EXPECT_EQ(editor.LargeIcons().size(), 1);
    EXPECT_EQ(InitDir(), QDir(QString::fromStdString(gDataPath)).path().toStdString() + "/");
    editor.PathButton()->click();
    EXPECT_EQ(asked.back().startFolder.toStdString(), InitDir());
}

TEST_F(ProgramPickerTest, APathTheRecordsCannotHoldIsRefused) {
    frmProgramDetails editor;
    editor.IsNew = true;
    editor.show();
    editor.Activate();
    SetFileDialog([](const FileDialogRequest&, QWidget*) -> std::optional<QString> {
        return QString::fromUtf8("/opt/\xe6\x97\xa5\xe6\x9c\xac/tool");
    });
    const std::string before = InitDir();
    editor.PathButton()->click();
    ASSERT_EQ(box_->Count(), 1);
    EXPECT_EQ(box_->Last().buttons, kMsgExclamation);
    EXPECT_TRUE(editor.KeyBox()->text().isEmpty());
    EXPECT_EQ(InitDir(), before);
}

}  // namespace
}  // namespace corvane::test
