#pragma once

#include "admin/catalogue/websites_programs/catalogue_window.h"

namespace corvane {

// The website catalogue window.
class frmWebsites : public CatalogueWindow {
    Q_OBJECT

public:
    explicit frmWebsites(QWidget* parent = nullptr);

protected:
    std::unique_ptr<KeyedTable> NewEntry() const override;
    std::string KeyOf(const KeyedTable& record) const override;
    ListRow RowFor(const RecordTable& record) const override;
    ListRow RowForRecord(const SlotView& record, RecordTable& table) const override;
    std::unique_ptr<CatalogueEntryEditor> NewEditor() const override;
    bool UpdateUsers(const std::string& oldKey, const std::string& newKey) const override;
    std::vector<std::int32_t> LinksOf(const std::string& key) const override;
    void DeleteLinks(const std::vector<std::int32_t>& linkNumbers) const override;
    std::unique_ptr<RecordTable> NewLinks() const override;
};

}  // namespace corvane
