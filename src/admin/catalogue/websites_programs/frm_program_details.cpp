#include "admin/catalogue/websites_programs/frm_program_details.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "catalogue/program.h"
#include "messages/message_catalogue.h"
#include "platform/core/cp1252.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "platform/system/file_helpers.h"
#include "ui/helpers/file_dialog.h"
#include "ui/platform_qt/file_icon.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

Program& AsProgram(KeyedTable& record) { return static_cast<Program&>(record); }
const Program& AsProgram(const KeyedTable& record) { return static_cast<const Program&>(record); }

bool RecordsCanHold(const std::string& text) { return cp1252::ToUtf8(cp1252::FromUtf8(text)) == text; }

constexpr const char* kUnstorablePathText =
    "The name of the chosen file holds characters that cannot be stored. Please choose another file.";

}  // namespace

frmProgramDetails::frmProgramDetails(QWidget* parent)
    : CatalogueEntryEditor(QStringLiteral("frmProgramDetails"), Texts{284, 285, 150, 571, true}, parent) {
    KeyBox()->setObjectName(QStringLiteral("txtName"));
    findChild<QLabel*>(QStringLiteral("lblKey"))->setObjectName(QStringLiteral("lblName"));
    cmdPathName_ = new QPushButton(QStringLiteral("..."), keyRow_);
    cmdPathName_->setObjectName(QStringLiteral("cmdPathName"));
    cmdPathName_->setFixedWidth(30);
    keyRow_->layout()->addWidget(cmdPathName_);
    // The icon box takes the picture's place beside the buttons.
    picProgram_ = Image1_;
    picProgram_->setObjectName(QStringLiteral("picProgram"));
    picProgram_->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    connect(cmdPathName_, &QPushButton::clicked, this, &frmProgramDetails::cmdPathName_Click);
}

std::unique_ptr<KeyedTable> frmProgramDetails::NewTable() const { return std::make_unique<Program>(); }
std::string frmProgramDetails::KeyOf(const KeyedTable& record) const { return AsProgram(record).ProgramPathName(); }
void frmProgramDetails::SetKeyOf(KeyedTable& record, std::string key) const {
    AsProgram(record).SetProgramPathName(std::move(key));
}
std::string frmProgramDetails::DescriptionOf(const KeyedTable& record) const { return AsProgram(record).Description(); }
void frmProgramDetails::SetDescriptionOf(KeyedTable& record, std::string text) const {
    AsProgram(record).SetDescription(std::move(text));
}
std::int32_t frmProgramDetails::AccessLevelOf(const KeyedTable& record) const { return AsProgram(record).AccessLevel(); }
void frmProgramDetails::SetAccessLevelOf(KeyedTable& record, std::int32_t level) const {
    AsProgram(record).SetAccessLevel(level);
}

void frmProgramDetails::ShowProgramIcon() {
    RunIgnoringErrors({[this] {
        const std::string path = KeyBox()->text().toStdString();
        if (!File().FileExists(path)) return;
        int size = 32;
        ExtractIcon(path, &imlLargeProgramsIcons_, picProgram_, size);
    }});
}

void frmProgramDetails::cmdPathName_Click() {
    FileDialogRequest request;
    request.title = QString::fromStdString(GetMessageText(284, gLanguage));
    request.startFolder =
        QString::fromStdString(GetUserSetting(kProgramDetailsSection, kStartProgramFileInitDir, gDataPath));
    request.fileName = KeyBox()->text();
    request.filters = {QStringLiteral("Executable Files (*.exe)"), QStringLiteral("All Files (*)")};
    request.selectedFilter = request.filters.last();
    request.mustExist = true;
    std::optional<QString> chosen;
    RunIgnoringErrors({[&] { chosen = ChooseFile(request, this); }});
    if (!chosen || chosen->isEmpty()) return;
    const std::string path = chosen->toStdString();
    if (!RecordsCanHold(path)) {
        ShowMsgBox(kUnstorablePathText, kMsgExclamation, GetMessageText(kMessageProgramName, gLanguage));
        return;
    }
    RunIgnoringErrors({[&] { SaveUserSetting(kProgramDetailsSection, kStartProgramFileInitDir, File().GetPath(path)); },
                       [&] { KeyBox()->setText(*chosen); }, [&] { ShowProgramIcon(); }});
}

}  // namespace corvane
