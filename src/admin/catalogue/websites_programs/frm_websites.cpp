#include "admin/catalogue/websites_programs/frm_websites.h"

#include <QLabel>

#include "admin/catalogue/websites_programs/catalogue_pictures.h"
#include "admin/catalogue/websites_programs/frm_website_details.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "logs/update_users_websites.h"

namespace corvane {
namespace {

constexpr int kWebsiteImage = 4;

}  // namespace

frmWebsites::frmWebsites(QWidget* parent)
    : CatalogueWindow(QStringLiteral("frmWebsites"),
                      Texts{162, 287, 288, 289, "NewWebsite", "EditWebsite", "DeleteWebsite"}, 463, parent) {
    picture_->setObjectName(QStringLiteral("imgWebsites"));
    picture_->setPixmap(WebsitesPicture());
    for (const QIcon& icon : CatalogueSmallIcons()) AddSmallIcon(icon);
}

std::unique_ptr<KeyedTable> frmWebsites::NewEntry() const { return std::make_unique<Website>(); }

std::string frmWebsites::KeyOf(const KeyedTable& record) const { return static_cast<const Website&>(record).URL(); }

namespace {

ListRow WebsiteListRow(const std::string& url, const std::string& description, std::int32_t id) {
    return {{QString::fromStdString(url), QString::fromStdString(description)}, QString::number(id), kWebsiteImage, false};
}

}  // namespace

ListRow frmWebsites::RowFor(const RecordTable& record) const {
    const auto& website = static_cast<const Website&>(record);
    return WebsiteListRow(website.URL(), website.Description(), website.WebsiteID());
}

ListRow frmWebsites::RowForRecord(const SlotView& record, RecordTable&) const {
    return WebsiteListRow(record.Text(Website::kURL), record.Text(Website::kDescription), record.RecordNumber());
}

std::unique_ptr<CatalogueEntryEditor> frmWebsites::NewEditor() const { return std::make_unique<frmWebsiteDetails>(); }

bool frmWebsites::UpdateUsers(const std::string& oldKey, const std::string& newKey) const {
    return UpdateUsersWebsites(oldKey, newKey);
}

std::vector<std::int32_t> frmWebsites::LinksOf(const std::string& key) const {
    std::vector<std::int32_t> links;
    UserWebsite table;
    if (!table.LoadUsers(key)) return links;
    for (const auto& link : *table.UserWebsites()) links.push_back((*link).WebsiteID());
    return links;
}

std::unique_ptr<RecordTable> frmWebsites::NewLinks() const { return std::make_unique<UserWebsite>(); }

void frmWebsites::DeleteLinks(const std::vector<std::int32_t>& linkNumbers) const { DeleteAsOneChange<UserWebsite>(linkNumbers); }

}  // namespace corvane
