#pragma once

#include "admin/catalogue/websites_programs/catalogue_entry_editor.h"

namespace corvane {

// The website editor: one entry of websites.sec, keyed by its address.
class frmWebsiteDetails : public CatalogueEntryEditor {
    Q_OBJECT

public:
    explicit frmWebsiteDetails(QWidget* parent = nullptr);

    const std::string& WebsiteURL() const { return Key(); }
    void SetWebsiteURL(std::string url) { SetKey(std::move(url)); }

protected:
    std::unique_ptr<KeyedTable> NewTable() const override;
    std::string KeyOf(const KeyedTable& record) const override;
    void SetKeyOf(KeyedTable& record, std::string key) const override;
    std::string DescriptionOf(const KeyedTable& record) const override;
    void SetDescriptionOf(KeyedTable& record, std::string text) const override;
    std::int32_t AccessLevelOf(const KeyedTable& record) const override;
    void SetAccessLevelOf(KeyedTable& record, std::int32_t level) const override;
};

}  // namespace corvane
