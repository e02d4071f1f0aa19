#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace corvane {

class KeyedTable;
class RecordTable;

// The dialog that adds or changes one catalogue entry: its key (an address or
// a program path), its description and the access level it requires. It
// validates the key, writes the record itself and hides; the caller reads
// Cancelled, IsDirty and the key and unloads it. The website and program
// editors differ in their record class, texts and extras only.
class CatalogueEntryEditor : public QDialog {
    Q_OBJECT

public:
    struct Texts {
        int newCaption = 0;       // caption of a new entry
        int editCaption = 0;      // caption of an edited entry
        int keyLabel = 0;         // the key's label and the parameter of 518/519
        int whatAccess = 0;
        bool trimDescription = false;
    };

    CatalogueEntryEditor(const QString& formName, Texts texts, QWidget* parent = nullptr);

    std::string OpenTablePathname;
    // Set each time OK is pressed, before validation; never reset.
    bool IsDirty = false;
    // Set by Cancel, Esc and the close box.
    bool Cancelled = false;
    bool FormLoad = true;
    bool IsNew = false;
    std::int32_t Response = 0;

    // Set by the list window: a new object of the catalogue's link table, and the rewrite of
    // its links from one key to another. A renamed entry and its links are then saved as one
    // commit (TablesChange): all of it or, after a failure, nothing.
    std::function<std::unique_ptr<RecordTable>()> newLinkTable;
    std::function<void(const std::string& oldKey, const std::string& newKey)> renameLinks;

    // The key on entry; after a successful OK the key as saved.
    const std::string& Key() const { return key_; }
    void SetKey(std::string key) { key_ = std::move(key); }

    void SetLanguage();
    // The first activation prepares the window; later ones do nothing. The
    // window system calls it; tests may call it directly.
    void Activate();

    QLineEdit* KeyBox() const { return txtKey_; }
    QLineEdit* DescriptionBox() const { return txtDescription_; }
    QRadioButton* AccessButton(int index) const { return optAccess_[index]; }
    QPushButton* OkButton() const { return cmdOK_; }
    QPushButton* CancelButton() const { return cmdCancel_; }

public slots:
    void reject() override;

protected:
    // A new record object of the catalogue's table.
    virtual std::unique_ptr<KeyedTable> NewTable() const = 0;
    virtual std::string KeyOf(const KeyedTable& record) const = 0;
    virtual void SetKeyOf(KeyedTable& record, std::string key) const = 0;
    virtual std::string DescriptionOf(const KeyedTable& record) const = 0;
    virtual void SetDescriptionOf(KeyedTable& record, std::string text) const = 0;
    virtual std::int32_t AccessLevelOf(const KeyedTable& record) const = 0;
    virtual void SetAccessLevelOf(KeyedTable& record, std::int32_t level) const = 0;
    // Runs once a record was shown by LoadData.
    virtual void RecordShown() {}

    std::string Place(const char* procedure) const;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Fields row beside the key box, for a button of the derived window.
    QWidget* keyRow_ = nullptr;
    QTabWidget* tabDetails_ = nullptr;
    QLabel* Image1_ = nullptr;

private:
    void ApplyLanguage();
    void SetDefaults();
    void LoadData();
    void ShowRecord(const KeyedTable& record);
    bool DataIsValid();
    bool SaveData();
    void StoreRecord(KeyedTable& record) const;
    void cmdOK_Click();
    void cmdCancel_Click();
    int ShowMessage(int mode, std::int32_t buttons, const std::string& parameter);

    Texts texts_;
    std::string key_;
    bool activationQueued_ = false;
    QLabel* lblKey_ = nullptr;
    QLineEdit* txtKey_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLineEdit* txtDescription_ = nullptr;
    QLabel* lblWhatAccess_ = nullptr;
    QRadioButton* optAccess_[2] = {nullptr, nullptr};
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

// The text shown when the entry to edit was removed meanwhile.
inline constexpr const char* kEntryGoneText =
    "This entry no longer exists; it may have been deleted at another workstation. Nothing was saved.";

}  // namespace corvane
