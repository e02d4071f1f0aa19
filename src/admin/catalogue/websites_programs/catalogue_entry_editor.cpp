#include "admin/catalogue/websites_programs/catalogue_entry_editor.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "recordstore/keyed_table.h"
#include "recordstore/tables_change.h"
#include "session/login/login_boxes.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/window_helpers.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr int kFieldLength = 255;

QString Text(int message, int format = 0) {
    return QString::fromStdString(GetMessageText(message, gLanguage, std::nullopt, format));
}

QLineEdit* NewFieldBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(kFieldLength);
    box->setValidator(new RecordTextValidator(box));
    return box;
}

std::string Trimmed(const QLineEdit* box) { return text::Trim(box->text().toStdString()); }

}  // namespace

CatalogueEntryEditor::CatalogueEntryEditor(const QString& formName, Texts texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setObjectName(formName);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    tabDetails_ = new QTabWidget(this);
    tabDetails_->setObjectName(QStringLiteral("tabDetails"));
    auto* page = new QWidget(tabDetails_);
    tabDetails_->addTab(page, QStringLiteral("Details"));

    lblKey_ = new QLabel(page);
    lblKey_->setObjectName(QStringLiteral("lblKey"));
    txtKey_ = NewFieldBox(page, "txtKey");
    keyRow_ = new QWidget(page);
    auto* keyRow = new QHBoxLayout(keyRow_);
    keyRow->setContentsMargins(0, 0, 0, 0);
    keyRow->addWidget(txtKey_);
    lblDescription_ = new QLabel(QStringLiteral("Description:"), page);
    lblDescription_->setObjectName(QStringLiteral("lblDescription"));
    txtDescription_ = NewFieldBox(page, "txtDescription");
    lblWhatAccess_ = new QLabel(page);
    lblWhatAccess_->setObjectName(QStringLiteral("lblWhatAccess"));
    lblWhatAccess_->setWordWrap(true);
    auto* group = new QButtonGroup(this);
    group->setObjectName(QStringLiteral("optAccessGroup"));
    optAccess_[0] = new QRadioButton(QStringLiteral("Administrator"), page);
    optAccess_[1] = new QRadioButton(QStringLiteral("Standard User"), page);
    for (int i = 0; i < 2; ++i) {
        optAccess_[i]->setObjectName(QStringLiteral("optAccess%1").arg(i));
        group->addButton(optAccess_[i], i);
    }

    auto* fields = new QGridLayout(page);
    fields->addWidget(lblKey_, 0, 0);
    fields->addWidget(keyRow_, 0, 1);
    fields->addWidget(lblDescription_, 1, 0);
    fields->addWidget(txtDescription_, 1, 1);
    fields->addWidget(lblWhatAccess_, 2, 0, 1, 2);
    auto* options = new QHBoxLayout;
    options->addWidget(optAccess_[0]);
    options->addWidget(optAccess_[1]);
    options->addStretch();
    fields->addLayout(options, 3, 0, 1, 2);
    fields->setRowStretch(4, 1);
    fields->setColumnMinimumWidth(1, 300);

    Image1_ = new QLabel(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setFixedSize(32, 32);
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Image1_);
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabDetails_);
    layout->addLayout(buttons);

    connect(txtKey_, &QLineEdit::textChanged, this, [this](const QString& text) { cmdOK_->setEnabled(!text.isEmpty()); });
    connect(cmdOK_, &QPushButton::clicked, this, &CatalogueEntryEditor::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &CatalogueEntryEditor::cmdCancel_Click);
    txtKey_->installEventFilter(this);
    txtDescription_->installEventFilter(this);

    // The load step.
    FormLoad = true;
    cmdOK_->setEnabled(false);
}

std::string CatalogueEntryEditor::Place(const char* procedure) const {
    return objectName().toStdString() + "." + procedure;
}

void CatalogueEntryEditor::SetLanguage() { ApplyLanguage(); }

void CatalogueEntryEditor::ApplyLanguage() {
    RunTrapped(Place("ApplyLanguage"),
               {[this] {
                   setWindowTitle(Text(IsNew ? texts_.newCaption : texts_.editCaption));
                   tabDetails_->setTabText(0, Text(46));
                   lblKey_->setText(Text(texts_.keyLabel) + ':');
                   lblDescription_->setText(Text(49) + ':');
                   lblWhatAccess_->setText(Text(texts_.whatAccess));
                   optAccess_[0]->setText(Text(60));
                   optAccess_[1]->setText(Text(61));
                   cmdOK_->setText(Text(33, 1));
                   cmdCancel_->setText(Text(25));
               }},
               gLanguage);
}

void CatalogueEntryEditor::Activate() {
    if (!FormLoad) return;
    RunIgnoringErrors({[this] { FormLoad = false; }, [this] { SetLanguage(); },
                       [this] {
                           if (IsNew)
                               SetDefaults();
                           else
                               LoadData();
                       },
                       [this] { txtKey_->setFocus(); }});
}

void CatalogueEntryEditor::SetDefaults() { optAccess_[1]->setChecked(true); }

void CatalogueEntryEditor::LoadData() {
    BusyPointer busy;
    RunTrapped(Place("LoadData"),
               {[this] {
                   auto table = NewTable();
                   table->OpenTable(OpenTablePathname);
                   if (table->Load(key_)) ShowRecord(*table);
               }},
               gLanguage);
}

void CatalogueEntryEditor::ShowRecord(const KeyedTable& record) {
    txtKey_->setText(QString::fromStdString(KeyOf(record)));
    txtDescription_->setText(QString::fromStdString(DescriptionOf(record)));
    const std::int32_t level = AccessLevelOf(record);
    // Levels without a button of their own select neither.
    auto* group = optAccess_[0]->group();
    group->setExclusive(false);
    for (int i = 0; i < 2; ++i) optAccess_[i]->setChecked(level == i);
    group->setExclusive(true);
    RecordShown();
}

void CatalogueEntryEditor::cmdOK_Click() {
    bool valid = false, saved = false;
    RunTrapped(Place("cmdOK_Click"),
               {[this] { IsDirty = true; }, [&] { valid = DataIsValid(); },
                [&] {
                    if (valid) saved = SaveData();
                },
                [&] {
                    // Only a written entry counts as saved.
                    if (saved) hide();
                }},
               gLanguage);
}

bool CatalogueEntryEditor::DataIsValid() {
    bool valid = false;
    const std::string text = Trimmed(txtKey_);
    RunTrapped(Place("DataIsValid"),
               {[&] {
                   const std::string parameter = GetMessageText(texts_.keyLabel, gLanguage);
                   if (text.empty()) {
                       ShowMessage(1, kMsgExclamation, parameter);
                       txtKey_->setFocus();
                   } else if (QString::fromStdString(text).compare(QString::fromStdString(key_), Qt::CaseInsensitive) != 0) {
                       auto table = NewTable();
                       table->OpenTable(OpenTablePathname);
                       if (table->Exists(text)) {
                           ShowMessage(0, kMsgExclamation, parameter);
                           txtKey_->setFocus();
                       } else {
                           valid = true;
                       }
                   } else {
                       valid = true;
                   }
               }},
               gLanguage);
    return valid;
}

bool CatalogueEntryEditor::SaveData() {
    bool written = false;
    bool gone = false;
    setCursor(Qt::WaitCursor);
    RunTrapped(Place("SaveData"),
               {[&] {
                   auto table = NewTable();
                   table->OpenTable(OpenTablePathname);
                   if (IsNew) {
                       StoreRecord(*table);
                       table->AddNew();
                       key_ = KeyOf(*table);
                       written = true;
                       return;
                   }
                   // The entry and the links that follow its key as one commit.
                   const std::unique_ptr<RecordTable> links = newLinkTable ? newLinkTable() : nullptr;
                   std::unique_ptr<TablesChange> change;
                   if (links) change = std::make_unique<TablesChange>(std::initializer_list<RecordTable*>{table.get(), links.get()});
                   const std::string oldKey = key_;
                   if (!table->Load(key_) || !table->UpdateLoadedRecord([&] {
                           StoreRecord(*table);
                           return true;
                       })) {
                       gone = true;
                       return;
                   }
                   const std::string newKey = KeyOf(*table);
                   if (renameLinks && newKey != oldKey) renameLinks(oldKey, newKey);
                   if (change) change->Commit();
                   key_ = newKey;
                   written = true;
               }},
               gLanguage);
    unsetCursor();
    if (gone) ShowMsgBox(kEntryGoneText, kMsgExclamation, GetMessageText(kMessageProgramName, gLanguage));
    return written;
}

void CatalogueEntryEditor::StoreRecord(KeyedTable& record) const {
    SetKeyOf(record, Trimmed(txtKey_));
    SetDescriptionOf(record, texts_.trimDescription ? Trimmed(txtDescription_) : txtDescription_->text().toStdString());
    int level = 0;
    while (level < 2 && !optAccess_[level]->isChecked()) ++level;
    // An existing entry of a level without a button keeps it.
    if (level < 2 || IsNew) SetAccessLevelOf(record, level);
}

int CatalogueEntryEditor::ShowMessage(int mode, std::int32_t buttons, const std::string& parameter) {
    int message = 0;
    if (mode == 0) message = 519;
    if (mode == 1) message = 518;
    if (mode == 2) message = kMessageRecordLocked;
    const std::string prompt = message ? GetMessageText(message, gLanguage, parameter) : std::string();
    return ShowMsgBox(prompt, buttons, GetMessageText(kMessageProgramName, gLanguage));
}

void CatalogueEntryEditor::cmdCancel_Click() {
    Cancelled = true;
    hide();
}

void CatalogueEntryEditor::reject() { cmdCancel_Click(); }

void CatalogueEntryEditor::closeEvent(QCloseEvent* event) {
    // The close box acts as Cancel; a close the program asks for goes through.
    if (event->spontaneous()) {
        event->ignore();
        cmdCancel_Click();
        return;
    }
    QDialog::closeEvent(event);
}

bool CatalogueEntryEditor::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Activate();
    return QDialog::event(event);
}

void CatalogueEntryEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Without a window manager no activation may come.
    if (FormLoad && !activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] { Activate(); });
    }
}

bool CatalogueEntryEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == txtKey_ || watched == txtDescription_))
        SelectAllTextAfterFocus(static_cast<QWidget*>(watched));
    return QDialog::eventFilter(watched, event);
}

}  // namespace corvane
