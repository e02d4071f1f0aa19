#include "admin/security/frm_advanced_security.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include "admin/security/frm_lockdown_warning.h"
#include "admin/security/window_parts.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/file_dialog.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {
namespace {

constexpr int kRowIndexRole = Qt::UserRole + 1;

struct BoxText {
    const char* objectName;
    int message;
};
// In SettingsBox order.
constexpr std::array<BoxText, kSettingsBoxCount> kBoxTexts = {{
    {"chkAlwaysShowSecureConsole", 606},
    {"chkCannotCancelSecureConsole", 624},
    {"chkShowCorvaneAtNextLogin", 625},
    {"chkResetLockdownOptionsAtNextLogin", 626},
    {"chkApplySecuritySettingsOnStartup", 689},
}};

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* NewButton(const char* name) {
    auto* button = Named(new QPushButton, name);
    button->setAutoDefault(false);
    return button;
}

QTreeWidget* NewList(const char* name) {
    auto* list = Named(new QTreeWidget, name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->header()->setSectionsClickable(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

// One column of a report list, the width given in twips.
void SetSingleColumn(QTreeWidget* list, int message, double twips) {
    list->clear();
    list->setColumnCount(1);
    list->setHeaderLabels({MessageText(message)});
    list->header()->resizeSection(0, ui::ToPixelsX(twips));
}

// A row whose setting this desktop does not enforce: its tick shows what is
// stored, and nothing here can change it.
void ShowNoEffect(QTreeWidgetItem* item) {
    item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    item->setToolTip(0, QStringLiteral("Has no effect on this desktop"));
}

QIcon DriveImage(const QWidget* window, const std::string& key) {
    QStyle::StandardPixmap pixmap = QStyle::SP_DriveHDIcon;
    if (key == "floppy") pixmap = QStyle::SP_DriveFDIcon;
    if (key == "network") pixmap = QStyle::SP_DriveNetIcon;
    if (key == "cd-rom") pixmap = QStyle::SP_DriveCDIcon;
    return window->style()->standardIcon(pixmap);
}

QLabel* Heading(const char* name) {
    auto* label = Named(new QLabel, name);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// The saves and the Restrict Run list's loads run under the program's busy
// pointer; a busy step inside another keeps it until the outer one ends.
SecurityWindowServices WithHourglass(SecurityWindowServices services) {
    struct Pointer {
        int depth = 0;
        std::optional<BusyPointer> busy;
    };
    services.busyPointer = [pointer = std::make_shared<Pointer>()](bool busy) {
        if (busy) {
            if (pointer->depth++ == 0) pointer->busy.emplace();
        } else if (pointer->depth > 0 && --pointer->depth == 0) {
            pointer->busy.reset();
        }
    };
    return services;
}

}  // namespace

frmAdvancedSecurity::frmAdvancedSecurity(QWidget* parent)
    : frmAdvancedSecurity(SecurityWindowServicesWithWarning(nullptr), MakeLinuxDriveKinds(), parent) {}

frmAdvancedSecurity::frmAdvancedSecurity(SecurityWindowServices services, std::unique_ptr<DriveKinds> drives,
                                         QWidget* parent)
    : QDialog(parent), logic_(WithHourglass(std::move(services))), drives_(std::move(drives)) {
    setObjectName(QStringLiteral("frmAdvancedSecurity"));
    tabOptions_ = Named(new QTabWidget, "tabOptions");
    tabOptions_->addTab(BuildLockdownTab(), QString());
    tabOptions_->addTab(BuildRestrictRunTab(), QString());
    tabOptions_->addTab(BuildHideDrivesTab(), QString());
    tabOptions_->addTab(BuildSettingsTab(), QString());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabOptions_, 1);
    footer_.Build(this, layout);
    resize(500, 520);

    connect(footer_.cmdOK, &QPushButton::clicked, this, &frmAdvancedSecurity::cmdOK_Click);
    connect(footer_.cmdCancel, &QPushButton::clicked, this, &frmAdvancedSecurity::reject);
    connect(footer_.cmdApply, &QPushButton::clicked, this,
            [this] { Handle("cmdApply_Click", [this] { logic_.Apply(); }); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this), &QShortcut::activated, this,
            [this] { tabOptions_->setCurrentIndex((tabOptions_->currentIndex() + 1) % tabOptions_->count()); });
    // A list on a hidden page has no width of its own until the page shows.
    connect(tabOptions_, &QTabWidget::currentChanged, this, [this] {
        for (QTreeWidget* list : {lsvItems_, lsvLockdown_, lsvHideDrives_}) FitListViewColumns(list);
    });
    tabOptions_->setCurrentIndex(0);
    SetIsDirty(false);
    CenterForm(this);
}

QWidget* frmAdvancedSecurity::BuildLockdownTab() {
    lsvLockdown_ = NewList("lsvLockdown");
    lsvLockdown_->setSelectionMode(QAbstractItemView::SingleSelection);
    cmdSelectAll_ = NewButton("cmdSelectAll");
    cmdUnselectAll_ = NewButton("cmdUnselectAll");
    cmdReset_ = NewButton("cmdReset");
    cmdReset_->setText(QStringLiteral("Reset"));
    fraLockdown_ = Named(new QGroupBox, "fraLockdown");
    auto* side = new QVBoxLayout;
    side->addWidget(cmdSelectAll_);
    side->addWidget(cmdUnselectAll_);
    side->addStretch();
    side->addWidget(cmdReset_);
    auto* frame = new QHBoxLayout(fraLockdown_);
    frame->addWidget(lsvLockdown_, 1);
    frame->addLayout(side);
    auto* page = new QWidget;
    (new QVBoxLayout(page))->addWidget(fraLockdown_);

    connect(lsvLockdown_, &QTreeWidget::itemChanged, this, &frmAdvancedSecurity::lsvLockdown_ItemCheck);
    connect(lsvLockdown_->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { SortByColumn(lsvLockdown_, column); });
    connect(cmdSelectAll_, &QPushButton::clicked, this,
            [this] { Handle("cmdSelectAll_Click", [this] { logic_.SelectAllLockdownOptions(); }); });
    connect(cmdUnselectAll_, &QPushButton::clicked, this,
            [this] { Handle("cmdUnselectAll_Click", [this] { logic_.ClearAllLockdownOptions(); }); });
    connect(cmdReset_, &QPushButton::clicked, this,
            [this] { Handle("cmdReset_Click", [this] { logic_.Reset(); }); });
    return page;
}

QWidget* frmAdvancedSecurity::BuildRestrictRunTab() {
    chkRestrictRun_ = Named(new QCheckBox, "chkRestrictRun");
    lsvItems_ = NewList("lsvItems");
    lsvItems_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lsvItems_->setAutoFillBackground(true);
    cmdAdd_ = NewButton("cmdAdd");
    cmdDelete_ = NewButton("cmdDelete");
    cmdClear_ = NewButton("cmdClear");
    auto* side = new QVBoxLayout;
    side->addWidget(cmdAdd_);
    side->addWidget(cmdDelete_);
    side->addWidget(cmdClear_);
    side->addStretch();
    auto* list = new QHBoxLayout;
    list->addWidget(lsvItems_, 1);
    list->addLayout(side);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(chkRestrictRun_);
    layout->addLayout(list, 1);

    connect(chkRestrictRun_, &QCheckBox::clicked, this,
            [this](bool ticked) { Handle("chkRestrictRun_Click", [&] { logic_.RestrictRunClicked(ticked); }); });
    connect(lsvItems_->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { SortByColumn(lsvItems_, column); });
    connect(lsvItems_, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateRestrictRunControls(); });
    connect(cmdAdd_, &QPushButton::clicked, this, &frmAdvancedSecurity::cmdAdd_Click);
    connect(cmdDelete_, &QPushButton::clicked, this, &frmAdvancedSecurity::cmdDelete_Click);
    connect(cmdClear_, &QPushButton::clicked, this, [this] { Handle("cmdClear_Click", [this] { logic_.ClearPrograms(); }); });
    return page;
}

QWidget* frmAdvancedSecurity::BuildHideDrivesTab() {
    lsvHideDrives_ = NewList("lsvHideDrives");
    lsvHideDrives_->setSelectionMode(QAbstractItemView::SingleSelection);
    cmdSelectAllHideDrives_ = NewButton("cmdSelectAllHideDrives");
    cmdUnSelectAllHideDrives_ = NewButton("cmdUnSelectAllHideDrives");
    fraHideDrives_ = Named(new QGroupBox, "fraHideDrives");
    auto* side = new QVBoxLayout;
    side->addWidget(cmdSelectAllHideDrives_);
    side->addWidget(cmdUnSelectAllHideDrives_);
    side->addStretch();
    auto* frame = new QHBoxLayout(fraHideDrives_);
    frame->addWidget(lsvHideDrives_, 1);
    frame->addLayout(side);
    auto* page = new QWidget;
    (new QVBoxLayout(page))->addWidget(fraHideDrives_);

    connect(lsvHideDrives_, &QTreeWidget::itemChanged, this, &frmAdvancedSecurity::lsvHideDrives_ItemCheck);
    connect(cmdSelectAllHideDrives_, &QPushButton::clicked, this,
            [this] { Handle("cmdSelectAllHideDrives_Click", [this] { logic_.SelectAllDrives(); }); });
    connect(cmdUnSelectAllHideDrives_, &QPushButton::clicked, this,
            [this] { Handle("cmdUnSelectAllHideDrives_Click", [this] { logic_.ClearAllDrives(); }); });
    return page;
}

QWidget* frmAdvancedSecurity::BuildSettingsTab() {
    for (int box = 0; box < kSettingsBoxCount; ++box) {
        settingsBoxes_[box] = Named(new QCheckBox, kBoxTexts[box].objectName);
        connect(settingsBoxes_[box], &QCheckBox::clicked, this, [this, box](bool ticked) {
            Handle("chkSettings_Click", [&] { logic_.SettingsBoxClicked(box, ticked); });
        });
    }
    lblStartUp_ = Heading("lblStartUp");
    lblSecureConsole_ = Heading("lblSecureConsole");
    lblRecovery_ = Heading("lblRecovery");
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    const auto group = [&](QLabel* heading, std::initializer_list<int> boxes) {
        layout->addWidget(heading);
        for (const int box : boxes) {
            auto* row = new QHBoxLayout;
            row->addSpacing(16);
            row->addWidget(settingsBoxes_[box], 1);
            layout->addLayout(row);
        }
        layout->addSpacing(8);
    };
    group(lblStartUp_, {kApplySecuritySettingsOnStartup, kShowCorvaneAtNextLogin});
    group(lblSecureConsole_, {kAlwaysShowSecureConsole, kCannotCancelSecureConsole});
    group(lblRecovery_, {kResetLockdownOptionsAtNextLogin});
    layout->addStretch();
    return page;
}

void frmAdvancedSecurity::SetLanguage() {
    setWindowTitle(MessageText(401));
    for (const auto& [index, message] : {std::pair{0, 147}, {1, 149}, {2, 152}, {3, 184}})
        tabOptions_->setTabText(index, MessageText(message));
    footer_.SetLanguage();
    cmdSelectAll_->setText(MessageText(43));
    cmdSelectAllHideDrives_->setText(MessageText(43));
    cmdUnselectAll_->setText(MessageText(414));
    cmdUnSelectAllHideDrives_->setText(MessageText(414));
    cmdAdd_->setText(MessageText(24));
    cmdDelete_->setText(MessageText(3));
    cmdClear_->setText(MessageText(41));
    fraLockdown_->setTitle(MessageText(349));
    fraHideDrives_->setTitle(MessageText(152));
    chkRestrictRun_->setText(MessageText(623));
    for (int box = 0; box < kSettingsBoxCount; ++box) settingsBoxes_[box]->setText(MessageText(kBoxTexts[box].message));
    lblStartUp_->setText(MessageText(146));
    lblSecureConsole_->setText(MessageText(170));
    lblRecovery_->setText(MessageText(153));
    InitRestrictRunList();
    InitLockdownList();
    InitDriveList();
}

void frmAdvancedSecurity::InitRestrictRunList() {
    const QSignalBlocker quiet(lsvItems_);
    lsvItems_->setSortingEnabled(false);
    SetSingleColumn(lsvItems_, 151, 5000);
}

void frmAdvancedSecurity::InitLockdownList() {
    const QSignalBlocker quiet(lsvLockdown_);
    lsvLockdown_->setSortingEnabled(false);
    SetSingleColumn(lsvLockdown_, 20, 3250);
    // FillLockdownList: the rows in display order, unticked.
    bool anyInEffect = false;
    for (std::size_t row = 0; row < kLockdownListRows.size(); ++row) {
        auto* item = new QTreeWidgetItem(lsvLockdown_);
        item->setText(0, QString::fromStdString(LockdownRowCaption(kLockdownListRows[row], gLanguage)));
        item->setData(0, Qt::UserRole, QString::fromStdString(LockdownRowKey(kLockdownListRows[row])));
        item->setData(0, kRowIndexRole, static_cast<int>(row));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        if (!logic_.LockdownRowInEffect(static_cast<int>(row))) ShowNoEffect(item);
        else anyInEffect = true;
    }
    cmdSelectAll_->setEnabled(anyInEffect);
    cmdUnselectAll_->setEnabled(anyInEffect);
    FitListViewColumns(lsvLockdown_);
}

void frmAdvancedSecurity::InitDriveList() {
    const QSignalBlocker quiet(lsvHideDrives_);
    lsvHideDrives_->setSortingEnabled(false);
    SetSingleColumn(lsvHideDrives_, 20, 3250);
    lsvHideDrives_->setSortingEnabled(true);
    lsvHideDrives_->sortByColumn(0, Qt::AscendingOrder);
    // FillDriveList
    for (const DriveRow& row : FillDriveRows(*drives_)) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(row.text));
        item->setIcon(0, DriveImage(this, row.image));
        item->setData(0, Qt::UserRole, QString::fromStdString(row.key));
        item->setData(0, kRowIndexRole, row.key[0] - 'A');
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        if (!logic_.DrivesInEffect()) ShowNoEffect(item);
        lsvHideDrives_->addTopLevelItem(item);
    }
    cmdSelectAllHideDrives_->setEnabled(logic_.DrivesInEffect());
    cmdUnSelectAllHideDrives_->setEnabled(logic_.DrivesInEffect());
    // Fitted once the rows are in, so that their scroll bar is allowed for.
    FitListViewColumns(lsvHideDrives_);
}

void frmAdvancedSecurity::SetIsDirty(bool value) {
    logic_.IsDirty = value;
    footer_.ShowDirty(value);
}

std::int32_t frmAdvancedSecurity::ListCount() const { return lsvItems_->topLevelItemCount(); }

bool frmAdvancedSecurity::ItemSelected() const { return ListCount() > 0 && !lsvItems_->selectedItems().isEmpty(); }

std::int32_t frmAdvancedSecurity::ItemsSelectedCount() const {
    return ItemSelected() ? static_cast<std::int32_t>(lsvItems_->selectedItems().size()) : 0;
}

void frmAdvancedSecurity::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (formLoad_) QTimer::singleShot(0, this, &frmAdvancedSecurity::FirstActivation);
}

void frmAdvancedSecurity::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    for (QTreeWidget* list : {lsvItems_, lsvLockdown_, lsvHideDrives_}) FitListViewColumns(list);
}

void frmAdvancedSecurity::FirstActivation() {
    if (!formLoad_) return;
    formLoad_ = false;
    RunIgnoringErrors({[&] { SetLanguage(); }, [&] { LoadSettings(); }});
}

void frmAdvancedSecurity::LoadSettings() {
    BusyPointer busy;
    setWindowTitle(QString::fromStdString(logic_.Caption()));
    logic_.LoadSettings();
    ShowState();
}

void frmAdvancedSecurity::Handle(const char* place, const std::function<void()>& handler) {
    RunTrapped(std::string("frmAdvancedSecurity.") + place, {handler});
    ShowState();
}

void frmAdvancedSecurity::ShowState() {
    {
        const QSignalBlocker quietLockdown(lsvLockdown_);
        const QSignalBlocker quietDrives(lsvHideDrives_);
        for (int i = 0; i < lsvLockdown_->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = lsvLockdown_->topLevelItem(i);
            const bool ticked = logic_.LockdownRowTicked(item->data(0, kRowIndexRole).toInt());
            item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
        }
        for (int i = 0; i < lsvHideDrives_->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = lsvHideDrives_->topLevelItem(i);
            const bool ticked = logic_.DriveTicked(item->data(0, kRowIndexRole).toInt());
            item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
        }
    }
    for (int box = 0; box < kSettingsBoxCount; ++box) {
        settingsBoxes_[box]->setChecked(logic_.SettingsBoxTicked(box));
        settingsBoxes_[box]->setEnabled(logic_.SettingsBoxEnabled(box));
    }
    chkRestrictRun_->setChecked(logic_.RestrictRunTicked());
    ShowRestrictRunList();
    UpdateRestrictRunControls();
    SetIsDirty(logic_.IsDirty);
}

// LoadRestrictRunOptions' rows: rebuilt only when they changed, so that a
// selection survives a click elsewhere.
void frmAdvancedSecurity::ShowRestrictRunList() {
    const auto& entries = logic_.RestrictRunEntries();
    bool same = static_cast<std::size_t>(lsvItems_->topLevelItemCount()) == entries.size();
    for (std::size_t i = 0; same && i < entries.size(); ++i) {
        const QTreeWidgetItem* item = lsvItems_->topLevelItem(static_cast<int>(i));
        same = item->data(0, kColumnTagRole).toString().toStdString() == entries[i].name &&
               item->text(0).toStdString() == entries[i].data;
    }
    if (same) return;
    const QSignalBlocker quiet(lsvItems_);
    lsvItems_->clear();
    for (const auto& entry : entries) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(entry.data));
        item->setData(0, kColumnTagRole, QString::fromStdString(entry.name));
        lsvItems_->addTopLevelItem(item);
    }
}

void frmAdvancedSecurity::UpdateRestrictRunControls() {
    lsvItems_->setEnabled(logic_.RestrictRunListEnabled());
    cmdAdd_->setEnabled(logic_.AddEnabled());
    // UpdateRestrictRunButtons
    cmdDelete_->setEnabled(logic_.DeleteEnabled());
    cmdClear_->setEnabled(logic_.ClearEnabled());
    QPalette palette = lsvItems_->palette();
    const QPalette::ColorRole background = logic_.RestrictRunListEnabled() ? QPalette::Base : QPalette::Button;
    const QColor colour = QApplication::palette().color(QPalette::Active, background);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, colour);
    lsvItems_->setPalette(palette);
}

void frmAdvancedSecurity::lsvLockdown_ItemCheck(QTreeWidgetItem* item) {
    const int row = item->data(0, kRowIndexRole).toInt();
    const bool ticked = item->checkState(0) == Qt::Checked;
    if (ticked == logic_.LockdownRowTicked(row)) return;
    // The question may be asked inside; the row shows the answer afterwards.
    QTimer::singleShot(0, this, [this, row, ticked] {
        Handle("lsvLockdown_ItemCheck", [&] { logic_.LockdownRowChanged(row, ticked); });
    });
}

void frmAdvancedSecurity::lsvHideDrives_ItemCheck(QTreeWidgetItem* item) {
    const int letter = item->data(0, kRowIndexRole).toInt();
    const bool ticked = item->checkState(0) == Qt::Checked;
    if (ticked == logic_.DriveTicked(letter)) return;
    Handle("lsvHideDrives_ItemCheck", [&] { logic_.DriveChanged(letter, ticked); });
}

void frmAdvancedSecurity::cmdAdd_Click() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.filters = {QStringLiteral("Executable Files (*.exe)"), QStringLiteral("All Files (*)")};
    const std::optional<QString> chosen = ChooseFile(request, this);
    Handle("cmdAdd_Click", [&] {
        logic_.AddProgram(chosen ? std::optional<std::string>(chosen->toStdString()) : std::nullopt);
    });
}

void frmAdvancedSecurity::cmdDelete_Click() {
    if (!ItemSelected()) return;
    std::vector<std::string> names;
    for (int i = 0; i < lsvItems_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lsvItems_->topLevelItem(i);
        if (item->isSelected()) names.push_back(item->data(0, kColumnTagRole).toString().toStdString());
    }
    Handle("cmdDelete_Click", [&] { logic_.DeletePrograms(names); });
}

void frmAdvancedSecurity::cmdOK_Click() {
    bool hide = false;
    Handle("cmdOK_Click", [&] { hide = logic_.Ok(); });
    if (hide) QDialog::accept();
}

void frmAdvancedSecurity::reject() {
    logic_.Cancel();
    QDialog::reject();
}

void frmAdvancedSecurity::SortByColumn(QTreeWidget* list, int column) {
    const bool ascending = list->property("sortAscending").toBool();
    list->setProperty("sortAscending", !ascending);
    list->setSortingEnabled(true);
    list->sortByColumn(column, ascending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

}  // namespace corvane
