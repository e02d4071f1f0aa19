#include "admin/catalogue/websites_programs/frm_website_details.h"

#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include "catalogue/website.h"

namespace corvane {
namespace {

Website& AsWebsite(KeyedTable& record) { return static_cast<Website&>(record); }
const Website& AsWebsite(const KeyedTable& record) { return static_cast<const Website&>(record); }

}  // namespace

frmWebsiteDetails::frmWebsiteDetails(QWidget* parent)
    : CatalogueEntryEditor(QStringLiteral("frmWebsiteDetails"), Texts{287, 288, 161, 570, false}, parent) {
    KeyBox()->setObjectName(QStringLiteral("txtURL"));
    findChild<QLabel*>(QStringLiteral("lblKey"))->setObjectName(QStringLiteral("lblURL"));
    Image1_->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(32, 32));
}

std::unique_ptr<KeyedTable> frmWebsiteDetails::NewTable() const { return std::make_unique<Website>(); }
std::string frmWebsiteDetails::KeyOf(const KeyedTable& record) const { return AsWebsite(record).URL(); }
void frmWebsiteDetails::SetKeyOf(KeyedTable& record, std::string key) const { AsWebsite(record).SetURL(std::move(key)); }
std::string frmWebsiteDetails::DescriptionOf(const KeyedTable& record) const { return AsWebsite(record).Description(); }
void frmWebsiteDetails::SetDescriptionOf(KeyedTable& record, std::string text) const {
    AsWebsite(record).SetDescription(std::move(text));
}
std::int32_t frmWebsiteDetails::AccessLevelOf(const KeyedTable& record) const { return AsWebsite(record).AccessLevel(); }
void frmWebsiteDetails::SetAccessLevelOf(KeyedTable& record, std::int32_t level) const {
    AsWebsite(record).SetAccessLevel(level);
}

}  // namespace corvane
