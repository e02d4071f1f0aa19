#include "admin/catalogue/websites_programs/frm_programs.h"

#include <QLabel>

#include "admin/catalogue/websites_programs/catalogue_pictures.h"
#include "admin/catalogue/websites_programs/frm_program_details.h"
#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "platform/core/error_trap.h"
#include "platform/system/file_helpers.h"
#include "session/rules/program_rule.h"
#include "ui/platform_qt/file_icon.h"

namespace corvane {
namespace {

constexpr int kProgramImage = 5;

}  // namespace

frmPrograms::frmPrograms(QWidget* parent)
    : CatalogueWindow(QStringLiteral("frmPrograms"),
                      Texts{151, 284, 285, 286, "NewProgram", "EditProgram", "DeleteProgram"}, 464, parent) {
    picture_->setObjectName(QStringLiteral("imgPrograms"));
    picture_->setPixmap(ProgramsPicture());
    for (const QIcon& icon : CatalogueSmallIcons()) AddSmallIcon(icon);
    picBuffer_ = new QLabel(this);
    picBuffer_->setObjectName(QStringLiteral("picBuffer"));
    picBuffer_->hide();
}

std::unique_ptr<KeyedTable> frmPrograms::NewEntry() const { return std::make_unique<Program>(); }

std::string frmPrograms::KeyOf(const KeyedTable& record) const {
    return static_cast<const Program&>(record).ProgramPathName();
}

int frmPrograms::IconFor(const std::string& path) const {
    // Read once per path: the image list would otherwise grow at every reload.
    if (const auto known = iconOfPath_.find(path); known != iconOfPath_.end()) return known->second;
    int image = 0;
    RunIgnoringErrors({[&] {
        if (!File().FileExists(path)) return;
        ++iconsRead_;
        int size = 16;
        const int before = imlSmallIcons_.size();
        QList<QIcon> added;
        if (ExtractIcon(path, &added, picBuffer_, size) > 0) {
            AddSmallIcon(added.first());
            image = before + 1;
        }
    }});
    if (image == 0) image = kProgramImage;
    iconOfPath_[path] = image;
    return image;
}

ListRow frmPrograms::ProgramRow(const std::string& path, const std::string& description, std::int32_t id) const {
    return {{QString::fromStdString(path), QString::fromStdString(description)}, QString::number(id), IconFor(path), false};
}

ListRow frmPrograms::RowFor(const RecordTable& record) const {
    const auto& program = static_cast<const Program&>(record);
    return ProgramRow(program.ProgramPathName(), program.Description(), program.ProgramID());
}

ListRow frmPrograms::RowForRecord(const SlotView& record, RecordTable&) const {
    return ProgramRow(record.Text(Program::kProgramPathName), record.Text(Program::kDescription), record.RecordNumber());
}

std::unique_ptr<CatalogueEntryEditor> frmPrograms::NewEditor() const { return std::make_unique<frmProgramDetails>(); }

bool frmPrograms::UpdateUsers(const std::string& oldKey, const std::string& newKey) const {
    return UpdateUsersPrograms(oldKey, newKey);
}

std::vector<std::int32_t> frmPrograms::LinksOf(const std::string& key) const {
    std::vector<std::int32_t> links;
    UserProgram table;
    if (!table.LoadUsers(key)) return links;
    for (const auto& link : *table.UserPrograms()) links.push_back((*link).UserProgramID());
    return links;
}

std::unique_ptr<RecordTable> frmPrograms::NewLinks() const { return std::make_unique<UserProgram>(); }

void frmPrograms::DeleteLinks(const std::vector<std::int32_t>& linkNumbers) const { DeleteAsOneChange<UserProgram>(linkNumbers); }

}  // namespace corvane
