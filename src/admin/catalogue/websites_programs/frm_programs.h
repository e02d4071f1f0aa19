#pragma once

#include <map>

#include "admin/catalogue/websites_programs/catalogue_window.h"

class QLabel;

namespace corvane {

// The program catalogue window: each row with its program file's icon.
class frmPrograms : public CatalogueWindow {
    Q_OBJECT

public:
    explicit frmPrograms(QWidget* parent = nullptr);

    // How often a file's icon was read; each path is read once per window.
    int IconsRead() const { return iconsRead_; }

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

private:
    // The image of a program file: its icon, else the generic program image.
    int IconFor(const std::string& path) const;
    ListRow ProgramRow(const std::string& path, const std::string& description, std::int32_t id) const;

    QLabel* picBuffer_ = nullptr;
    mutable std::map<std::string, int> iconOfPath_;
    mutable int iconsRead_ = 0;
};

}  // namespace corvane
