#include "admin/catalogue/websites_programs/catalogue_window.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>

#include "admin/users/corvane/frm_corvane.h"
#include "logs/current_user.h"
#include "logs/log_writers.h"
#include "messages/message_catalogue.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "platform/system/workstation_forms.h"
#include "recordstore/keyed_table.h"
#include "recordstore/tables_change.h"
#include "ui/helpers/screen_metrics.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

QString Text(int message) { return QString::fromStdString(GetMessageText(message, gLanguage)); }

ListWindow::Features CatalogueFeatures(int assignedMessage) {
    ListWindow::Features f;
    f.assignedMessage = assignedMessage;
    return f;
}

// Keeps the pointer as asked until the command's end, also after an error.
class PointerScope {
public:
    PointerScope() = default;
    ~PointerScope() { Set(Qt::ArrowCursor); }
    PointerScope(const PointerScope&) = delete;
    PointerScope& operator=(const PointerScope&) = delete;
    void Set(Qt::CursorShape shape) {
        if (set_) QApplication::restoreOverrideCursor();
        set_ = shape != Qt::ArrowCursor;
        if (set_) QApplication::setOverrideCursor(shape);
    }

private:
    bool set_ = false;
};

}  // namespace

CatalogueWindow::CatalogueWindow(const QString& formName, Texts texts, int assignedMessage, QWidget* parent)
    : ListWindow(formName, CatalogueFeatures(assignedMessage), parent), texts_(texts) {
    // The first opening, before any size was kept for this user.
    if (GetUserSetting("Form Metrics\\" + formName.toStdString(), "Width", "").empty())
        resize(ui::ToPixels(7800, 4500));
}

std::unique_ptr<RecordTable> CatalogueWindow::NewTable() const { return NewEntry(); }

void CatalogueWindow::AddSmallIcon(const QIcon& icon) const {
    imlSmallIcons_.append(icon);
    model_->SetIcons(std::vector<QIcon>(imlSmallIcons_.begin(), imlSmallIcons_.end()));
}

void CatalogueWindow::ApplyLanguage() {
    setWindowTitle(Text(texts_.caption));
    cmdAdd_->setText(Text(24));
    cmdEdit_->setText(Text(2));
    cmdDelete_->setText(Text(3));
    cmdCancel_->setText(Text(25));
}

void CatalogueWindow::ShowEditor(CatalogueEntryEditor& editor) { editor.exec(); }

void CatalogueWindow::LogActivity(int message, const std::string& key) const {
    WriteActivityLog(GetCurrentUser(), gEXEAppName, GetLocalComputerName(), GetMessageText(message, gLanguage) + " - " + key);
}

void CatalogueWindow::RefreshMainWindow() {
    if (!IsFormLoaded("frmCorvane")) return;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* users = qobject_cast<frmCorvane*>(window)) users->LoadData();
}

void CatalogueWindow::NewCommand() {
    std::unique_ptr<CatalogueEntryEditor> editor;
    RunTrapped(Place(texts_.newProcedure),
               {[&] { editor = NewEditor(); }, [&] { editor->IsNew = true; }, [&] { ShowEditor(*editor); },
                [&] {
                    if (editor->Cancelled || !editor->IsDirty) return;
                    LoadData();
                    LogActivity(texts_.newLine, editor->Key());
                }},
               gLanguage);
}

void CatalogueWindow::EditCommand() {
    if (NoEdits || !ItemSelected()) return;
    PointerScope pointer;
    std::unique_ptr<CatalogueEntryEditor> editor;
    std::unique_ptr<KeyedTable> entry;
    bool found = false;
    std::string oldKey;
    RunTrapped(Place(texts_.editProcedure),
               {[&] { pointer.Set(Qt::WaitCursor); },
                [&] {
                    entry = NewEntry();
                    found = entry->Load(SelectedItem());
                    // Gone meanwhile: show the list as it is now and open nothing.
                    if (found) return;
                    const std::int32_t at = SelectedIndex();
                    LoadData();
                    SetSelectedIndex(at);
                },
                [&] {
                    if (found) editor = NewEditor();
                },
                [&] {
                    if (!found) return;
                    pointer.Set(Qt::ArrowCursor);
                    SetNoAutoRefresh(true);
                    oldKey = KeyOf(*entry);
                    editor->SetKey(oldKey);
                    // The editor saves a renamed entry and its links as one commit.
                    editor->newLinkTable = [this] { return NewLinks(); };
                    editor->renameLinks = [this](const std::string& from, const std::string& to) {
                        UpdateUsers(from, to);
                    };
                    ShowEditor(*editor);
                },
                [&] {
                    if (!found || editor->Cancelled || !editor->IsDirty) return;
                    pointer.Set(Qt::WaitCursor);
                    const std::string newKey = editor->Key();
                    if (oldKey != newKey) RefreshMainWindow();
                    auto saved = NewEntry();
                    if (saved->Load(newKey)) UpdateListItem(*saved);
                    LogActivity(texts_.editLine, SelectedItem());
                    pointer.Set(Qt::ArrowCursor);
                }},
               gLanguage);
    SetNoAutoRefresh(false);
}

void CatalogueWindow::DeleteCommand() {
    if (!ItemSelected()) return;
    PointerScope pointer;
    NoEdits = true;
    SetNoAutoRefresh(true);
    QModelIndexList marked = lsvItems_->selectionModel()->selectedRows();
    std::sort(marked.begin(), marked.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<ListRow> rows;
    for (const QModelIndex& index : marked) rows.push_back(model_->Row(index.row()));
    bool carriedOn = true;
    for (const ListRow& row : rows) {
        if (!carriedOn) break;
        const std::string key = row.cells.value(0).toStdString();
        std::vector<std::int32_t> links;
        bool keep = false;
        carriedOn = RunTrapped(
            Place(texts_.deleteProcedure),
            {[&] { pointer.Set(Qt::BusyCursor); }, [&] { links = LinksOf(key); },
             [&] {
                 if (!links.empty()) keep = AskConfirmation(1, kMsgYesNo | kMsgExclamation, key) != kMsgYes;
             },
             [&] {
                 if (keep) return;
                 // The entry and its links as one commit; the links read again under the
                 // change's locks, so none added meanwhile stays for a later entry of the name.
                 const std::unique_ptr<KeyedTable> entry = NewEntry();
                 const std::unique_ptr<RecordTable> linkTable = NewLinks();
                 TablesChange change({entry.get(), linkTable.get()});
                 entry->Delete(row.tag.toInt());
                 DeleteLinks(LinksOf(key));
                 change.Commit();
             },
             [&] {
                 if (!keep) LogActivity(texts_.deleteLine, key);
             }},
            gLanguage);
    }
    if (carriedOn) LoadData();
    NoEdits = false;
    SetNoAutoRefresh(false);
}

}  // namespace corvane
