#pragma once

#include <QIcon>
#include <QList>

#include "admin/catalogue/websites_programs/catalogue_entry_editor.h"

namespace corvane {

// The program editor: one entry of programs.sec, keyed by the program's full
// path, with a file picker for the path and the program's icon.
class frmProgramDetails : public CatalogueEntryEditor {
    Q_OBJECT

public:
    explicit frmProgramDetails(QWidget* parent = nullptr);

    const std::string& ProgramName() const { return Key(); }
    void SetProgramName(std::string path) { SetKey(std::move(path)); }
    // Held for callers; nothing here uses it.
    std::string ProgramDescription;

    QPushButton* PathButton() const { return cmdPathName_; }
    QLabel* ProgramPicture() const { return picProgram_; }
    const QList<QIcon>& LargeIcons() const { return imlLargeProgramsIcons_; }

protected:
    std::unique_ptr<KeyedTable> NewTable() const override;
    std::string KeyOf(const KeyedTable& record) const override;
    void SetKeyOf(KeyedTable& record, std::string key) const override;
    std::string DescriptionOf(const KeyedTable& record) const override;
    void SetDescriptionOf(KeyedTable& record, std::string text) const override;
    std::int32_t AccessLevelOf(const KeyedTable& record) const override;
    void SetAccessLevelOf(KeyedTable& record, std::int32_t level) const override;
    void RecordShown() override { ShowProgramIcon(); }

private:
    void ShowProgramIcon();
    void cmdPathName_Click();

    QPushButton* cmdPathName_ = nullptr;
    QLabel* picProgram_ = nullptr;
    QList<QIcon> imlLargeProgramsIcons_;
};

// Where the program editor keeps the folder of the last file chosen.
inline constexpr const char* kProgramDetailsSection = "Form Metrics\\frmProgramDetails";
inline constexpr const char* kStartProgramFileInitDir = "Start Program File Init Dir";

}  // namespace corvane
