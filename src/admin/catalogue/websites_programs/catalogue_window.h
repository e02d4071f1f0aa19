#pragma once

#include <QIcon>
#include <QList>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "admin/catalogue/websites_programs/catalogue_entry_editor.h"
#include "ui/list_window/list_window.h"

namespace corvane {

class KeyedTable;

// A catalogue window: every valid entry of the website or program catalogue,
// newest first, with Add and Edit through the entry editor and Delete that
// takes the users' links to the entry along. The website and program windows
// differ in their table, links, texts and row icons.
class CatalogueWindow : public ListWindow {
    Q_OBJECT

public:
    struct Texts {
        int caption = 0;
        int newLine = 0;     // activity line of an add
        int editLine = 0;    // of an edit
        int deleteLine = 0;  // of a delete
        const char* newProcedure = "";
        const char* editProcedure = "";
        const char* deleteProcedure = "";
    };

    CatalogueWindow(const QString& formName, Texts texts, int assignedMessage, QWidget* parent = nullptr);

    // The window's images: 4 a website, 5 a program; files' icons follow.
    const QList<QIcon>& SmallIcons() const { return imlSmallIcons_; }

protected:
    virtual std::unique_ptr<KeyedTable> NewEntry() const = 0;
    virtual std::string KeyOf(const KeyedTable& record) const = 0;
    virtual std::unique_ptr<CatalogueEntryEditor> NewEditor() const = 0;
    // Carries a changed key over to the users' links; true when one changed.
    virtual bool UpdateUsers(const std::string& oldKey, const std::string& newKey) const = 0;
    // The record numbers of the users' links to the key.
    virtual std::vector<std::int32_t> LinksOf(const std::string& key) const = 0;
    // A new object of the users' link table of this catalogue.
    virtual std::unique_ptr<RecordTable> NewLinks() const = 0;
    // Deletes the users' links given (inside the change that deletes the entry).
    virtual void DeleteLinks(const std::vector<std::int32_t>& linkNumbers) const = 0;
    // Shows the editor modally; tests answer it in place.
    virtual void ShowEditor(CatalogueEntryEditor& editor);

    std::unique_ptr<RecordTable> NewTable() const override;
    void ApplyLanguage() override;
    void NewCommand() override;
    void EditCommand() override;
    void DeleteCommand() override;

    void RefreshMainWindow();
    void AddSmallIcon(const QIcon& icon) const;

    mutable QList<QIcon> imlSmallIcons_;

private:
    void LogActivity(int message, const std::string& key) const;

    Texts texts_;
};

}  // namespace corvane
