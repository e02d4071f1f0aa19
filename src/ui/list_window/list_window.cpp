#include "ui/list_window/list_window.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "recordstore/record_table.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui/helpers/window_metrics.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr int kRefreshInterval = 10000;
constexpr double kButtonWidth = 1155;
constexpr double kButtonHeight = 345;

QPushButton* NewButton(QWidget* parent, const char* name, double top) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(ui::ToPixels({0, top, kButtonWidth, kButtonHeight}));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

ListWindow::ListWindow(const QString& formName, Features features, QWidget* parent)
    : QDialog(parent), features_(features) {
    setObjectName(formName);
    lsvItems_ = new QTreeView(this);
    lsvItems_->setObjectName(QStringLiteral("lsvItems"));
    model_ = new ListRowModel(lsvItems_);
    lsvItems_->setModel(model_);
    cmdAdd_ = NewButton(this, "cmdAdd", 90);
    cmdEdit_ = NewButton(this, "cmdEdit", 510);
    cmdDelete_ = NewButton(this, "cmdDelete", 930);
    cmdCancel_ = NewButton(this, "cmdCancel", 1350);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("imgPicture"));
    tmrRefresh_ = new QTimer(this);
    tmrRefresh_->setObjectName(QStringLiteral("tmrRefresh"));
    if (features_.statusBar) {
        StatusBar_ = new QStatusBar(this);
        StatusBar_->setObjectName(QStringLiteral("StatusBar"));
        StatusBar_->setSizeGripEnabled(false);
        statusPanel_ = new QLabel(StatusBar_);
        statusPanel_->setObjectName(QStringLiteral("StatusBarPanel1"));
        StatusBar_->addWidget(statusPanel_, 1);
    }
    BuildPopUp();

    connect(cmdAdd_, &QPushButton::clicked, this, &ListWindow::AddClicked);
    connect(cmdEdit_, &QPushButton::clicked, this, &ListWindow::EditClicked);
    connect(cmdDelete_, &QPushButton::clicked, this, &ListWindow::DeleteClicked);
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { CancelClicked(); });
    connect(tmrRefresh_, &QTimer::timeout, this, &ListWindow::AutoRefreshData);
    connect(lsvItems_->header(), &QHeaderView::sectionClicked, this, &ListWindow::SortByHeader);
    connect(lsvItems_, &QTreeView::doubleClicked, this, [this] {
        if (features_.doubleClickEdits) EditClicked();
    });
    lsvItems_->installEventFilter(this);
    lsvItems_->viewport()->installEventFilter(this);

    RunIgnoringErrors({[this] { InitialiseList(); }, [this] {
                    if (features_.formMetrics) LoadFormMetrics(this);
                }});
}

ListWindow::~ListWindow() = default;

void ListWindow::InitialiseList() {
    lsvItems_->setRootIsDecorated(false);
    lsvItems_->setItemsExpandable(false);
    lsvItems_->setUniformRowHeights(true);  // a million rows need no per-row measuring
    lsvItems_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lsvItems_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lsvItems_->setAllColumnsShowFocus(true);  // full-row selection
    lsvItems_->setSelectionMode(features_.multiSelect ? QAbstractItemView::ExtendedSelection
                                                      : QAbstractItemView::SingleSelection);
    // The selection stays highlighted while the list has no focus.
    QPalette palette = lsvItems_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    lsvItems_->setPalette(palette);
    lsvItems_->setSortingEnabled(false);  // header clicks are ours (SortByHeader)
    lsvItems_->header()->setSectionsClickable(true);
    lsvItems_->header()->setSortIndicatorShown(false);
    lsvItems_->header()->setStretchLastSection(false);
    tmrRefresh_->setInterval(kRefreshInterval);
    SetNoAutoRefresh(false);
    NoEdits = false;
    if (!features_.refreshTimer) tmrRefresh_->stop();
}

void ListWindow::BuildPopUp() {
    mnuPopUp_ = new QMenu(this);
    mnuPopUp_->setObjectName(QStringLiteral("mnuPopUp"));
    const QStringList& captions = features_.popUp;
    for (int i = 0; i < captions.size(); ++i) {
        QAction* action = captions[i] == QLatin1String("-") ? mnuPopUp_->addSeparator()
                                                             : mnuPopUp_->addAction(captions[i]);
        action->setObjectName(QStringLiteral("mnuPopUpItem%1").arg(i));
        connect(action, &QAction::triggered, this, [this, i] { PopUpItemClicked(i); });
        if (i == 0) mnuPopUp_->setDefaultAction(action);
    }
}

void ListWindow::PopUpItemClicked(int index) {
    if (index == 0) AddClicked();
    if (index == 1) EditClicked();
    if (index == 2) DeleteClicked();
}

void ListWindow::SetNoAutoRefresh(bool value) {
    noAutoRefresh_ = value;
    if (value || !features_.refreshTimer)
        tmrRefresh_->stop();
    else
        tmrRefresh_->start();
}

std::string ListWindow::Place(const char* procedure) const {
    return objectName().toStdString() + "." + procedure;
}

// --- Selection --------------------------------------------------------------

std::int32_t ListWindow::ListCount() const { return model_ ? model_->rowCount() : 0; }

bool ListWindow::ItemSelected() const {
    return ListCount() > 0 && lsvItems_->selectionModel()->currentIndex().isValid();
}

std::int32_t ListWindow::SelectedIndex() const {
    return ItemSelected() ? lsvItems_->selectionModel()->currentIndex().row() + 1 : 0;
}

std::string ListWindow::SelectedItem() const {
    if (!ItemSelected()) return {};
    const int row = lsvItems_->selectionModel()->currentIndex().row();
    return text::Trim(model_->Row(row).cells.value(0).toStdString());
}

std::int32_t ListWindow::ItemsSelectedCount() const {
    if (!ItemSelected()) return 0;
    return static_cast<std::int32_t>(lsvItems_->selectionModel()->selectedRows().size());
}

void ListWindow::SetSelectedIndex(std::int32_t n) {
    RunIgnoringErrors({[&] {
        if (ListCount() == 0) return;
        const QModelIndex row = model_->index(n - 1, 0);
        if (features_.directSelectedIndex) {
            if (row.isValid())
                lsvItems_->selectionModel()->setCurrentIndex(
                    row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            lsvItems_->setFocus();
            return;
        }
        if (n <= 0 || n > ListCount()) return;
        const auto mode = lsvItems_->selectionMode();
        lsvItems_->setSelectionMode(QAbstractItemView::SingleSelection);
        lsvItems_->selectionModel()->setCurrentIndex(
            row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        lsvItems_->setSelectionMode(mode);
    }});
}

void ListWindow::SelectAllItems() {
    if (lsvItems_->selectionMode() == QAbstractItemView::ExtendedSelection ||
        lsvItems_->selectionMode() == QAbstractItemView::MultiSelection)
        lsvItems_->selectAll();
}

// --- Rows -------------------------------------------------------------------

ListRow ListWindow::RowForRecord(const SlotView& record, RecordTable& table) const {
    table.TakeMembers(record);
    return RowFor(table);
}

void ListWindow::LoadData() {
    model_->ClearRows();
    BusyPointer busy;
    std::unique_ptr<RecordTable> table;
    // The valid records as they lie in the file, read in one pass under one lock; the rows
    // are made from them newest first.
    std::vector<std::uint8_t> records;
    std::vector<std::int32_t> numbers;
    std::size_t made = 0;
    RunTrapped(Place("LoadData"),
               {[&] {
                    table = NewTable();
                    records.clear();
                    numbers.clear();
                    const std::uint32_t length = table->Layout().dataLength;
                    table->ScanValid([&](const SlotView& record) {
                        records.insert(records.end(), record.Data(), record.Data() + length);
                        numbers.push_back(record.RecordNumber());
                        return true;
                    });
                },
                [&] {
                    // The rows made so far are shown however the walk ends; a retry goes on
                    // from the record that failed.
                    const RecordDescription& desc = table->Layout();
                    std::vector<ListRow> rows;
                    try {
                        for (; made < numbers.size(); ++made) {
                            const std::size_t i = numbers.size() - 1 - made;
                            rows.push_back(RowForRecord(SlotView(desc, records.data() + i * desc.dataLength, numbers[i]), *table));
                        }
                    } catch (...) {
                        model_->AddRows(std::move(rows));
                        throw;
                    }
                    model_->AddRows(std::move(rows));
                },
                [this] { RefreshStatusBar(); }, [this] { EnableButtons(); }},
               gLanguage);
}

void ListWindow::AddListItem(const RecordTable& record) {
    RunIgnoringErrors({[&] {
        if (record.ValidRecord()) model_->AddRow(RowFor(record));
    }});
}

void ListWindow::UpdateListItem(const RecordTable& record) {
    RunIgnoringErrors({[&] {
        if (!ItemSelected() || !record.ValidRecord()) return;
        model_->SetRow(SelectedIndex() - 1, RowFor(record));
    }});
}

void ListWindow::RefreshStatusBar() {
    if (!statusPanel_) return;
    const int n = ListCount();
    statusPanel_->setText(QStringLiteral("%1 %2").arg(n).arg(n == 1 ? QStringLiteral("Item") : QStringLiteral("Items")));
}

void ListWindow::EnableButtons() {
    const bool rows = ListCount() > 0;
    cmdEdit_->setEnabled(rows);
    cmdDelete_->setEnabled(rows);
}

// --- Columns and captions ---------------------------------------------------

void ListWindow::AddColumn(const QString& caption, double widthTwips, int exportWidth) {
    model_->AddColumn(caption, exportWidth);
    lsvItems_->header()->resizeSection(model_->columnCount() - 1, ui::ToPixelsX(widthTwips));
}

void ListWindow::FitColumns() { FitListViewColumns(lsvItems_); }

void ListWindow::SetupColumns() {
    RunIgnoringErrors({[this] { model_->ClearColumns(); }, [this] { model_->SetSortingOff(); },
                [this] { model_->ClearRows(); },
                [this] { AddColumn(QString::fromStdString(GetMessageText(309, gLanguage)), 1440); },
                [this] { AddColumn(QString::fromStdString(GetMessageText(49, gLanguage)), 2100); },
                [this] { FitColumns(); }});
}

void ListWindow::SetLanguage() {
    SetupColumns();
    ApplyLanguage();
}

// --- Commands ---------------------------------------------------------------

void ListWindow::AddClicked() { NewCommand(); }

void ListWindow::EditClicked() {
    if (ItemSelected() && !NoEdits) EditCommand();
}

void ListWindow::DeleteClicked() {
    if (!ItemSelected()) return;
    if (AskConfirmation(0, kMsgYesNo | kMsgQuestion, "") == kMsgYes) DeleteCommand();
}

int ListWindow::AskConfirmation(int kind, std::int32_t buttons, const std::string& text) {
    std::string prompt;
    if (kind == 0)
        prompt = ItemsSelectedCount() == 1 ? GetMessageText(421, gLanguage)
                                           : GetMessageText(422, gLanguage, std::to_string(ItemsSelectedCount()));
    else if (kind == 1)
        prompt = GetMessageText(features_.assignedMessage, gLanguage, text);
    else if (kind == 2)
        prompt = GetMessageText(kMessageRecordLocked, gLanguage, text);
    ModalChild modal(this);
    return ShowMsgBox(prompt, buttons, GetMessageText(kMessageProgramName, gLanguage));
}

void ListWindow::CancelClicked() {
    RunIgnoringErrors({[this] { close(); }});
}

void ListWindow::SortByHeader(int column) {
    const Qt::SortOrder order =
        model_->SortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    model_->sort(column, order);
    lsvItems_->header()->setSortIndicatorShown(true);
    lsvItems_->header()->setSortIndicator(column, order);
}

// --- Timer ------------------------------------------------------------------

void ListWindow::AutoRefreshData() {
    // A tick can arrive again while RecordCount yields, or under a dialog;
    // before the first activation there are no columns to fill.
    if (refreshing_ || modalChildren_ > 0 || formLoad_) return;
    if (features_.noAutoRefreshSwitch && noAutoRefresh_) return;
    refreshing_ = true;
    if (features_.noAutoRefreshSwitch) tmrRefresh_->stop();
    const bool ranToEnd = RunTrapped(Place("AutoRefreshData"),
                                     {[this] {
                                          if (NewTable()->RecordCount() != ListCount()) LoadData();
                                      }},
                                     gLanguage);
    // After an error that left, the timer waits for the next activation.
    if (features_.noAutoRefreshSwitch && ranToEnd) tmrRefresh_->start();
    refreshing_ = false;
}

ListWindow::ModalChild::ModalChild(ListWindow* window) : window_(window) {
    ++window_->modalChildren_;
    window_->tmrRefresh_->stop();
}

ListWindow::ModalChild::~ModalChild() {
    if (--window_->modalChildren_ == 0 && window_->features_.refreshTimer &&
        !(window_->features_.noAutoRefreshSwitch && window_->noAutoRefresh_))
        window_->tmrRefresh_->start();
}

// --- Activation and events --------------------------------------------------

void ListWindow::FirstActivation() {
    RunIgnoringErrors({[this] { SetLanguage(); }, [this] { LoadData(); },
                [this] {
                    if (ListCount() > 0) SetSelectedIndex(1);
                },
                [this] { lsvItems_->setFocus(); }});
}

void ListWindow::Activate() {
    if (formLoad_) {
        formLoad_ = false;
        FirstActivation();
    } else {
        RunIgnoringErrors({[this] {
                        if (ListCount() > 0 && SelectedIndex() != 0) {
                            SetSelectedIndex(SelectedIndex());
                            lsvItems_->setFocus();
                        }
                    },
                    [this] {
                        if (features_.buttonsOnActivation) EnableButtons();
                    }});
    }
    if (features_.refreshTimer) tmrRefresh_->start();
}

bool ListWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Activate();
    return QDialog::event(event);
}

void ListWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Activation may never come without a window manager: the first showing
    // does the set-up once the window is up.
    if (formLoad_ && !activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            if (formLoad_) Activate();
        });
    }
    if (features_.catalogueLayout) CatalogueLayout();
}

void ListWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (features_.catalogueLayout) CatalogueLayout();
}

void ListWindow::CatalogueLayout() {
    const double width = ui::ToTwipsX(this->width());
    const double statusHeight = StatusBar_ ? ui::ToTwipsY(StatusBar_->sizeHint().height()) : 0;
    const double height = ui::ToTwipsY(this->height()) - statusHeight;
    const double addWidth = ui::ToTwipsX(cmdAdd_->width());
    RunIgnoringErrors({[&] { lsvItems_->setGeometry(ui::ToPixels({90, 90, width - addWidth - 270, height - 90})); },
                [&] {
                    const int left = lsvItems_->geometry().right() + 1 + ui::ToPixelsX(90);
                    for (QPushButton* b : {cmdAdd_, cmdEdit_, cmdDelete_, cmdCancel_}) b->move(left, b->y());
                },
                [&] {
                    const QSize p = picture_->sizeHint();
                    picture_->setGeometry(cmdAdd_->geometry().right() + 1 - p.width(),
                                          ui::ToPixelsY(height - 120) - p.height(), p.width(), p.height());
                },
                [&] {
                    if (StatusBar_)
                        StatusBar_->setGeometry(0, this->height() - StatusBar_->sizeHint().height(), this->width(),
                                                StatusBar_->sizeHint().height());
                },
                [&] { FitColumns(); }});
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lsvItems_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (features_.enterEdits) EditClicked();
            return true;
        }
        // The view would select every row by itself; Ctrl+A is ours on release.
        if (key->matches(QKeySequence::SelectAll)) return true;
    }
    if (watched == lsvItems_ && event->type() == QEvent::KeyRelease && features_.listKeys) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat()) return false;
        if (key->key() == Qt::Key_Delete) DeleteClicked();
        if (key->key() == Qt::Key_A && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier)
            SelectAllItems();
        else if (key->key() == Qt::Key_F5)
            LoadData();
    }
    if (watched == lsvItems_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && !mnuPopUp_->actions().isEmpty())
            mnuPopUp_->popup(mouse->globalPosition().toPoint());
    }
    return QDialog::eventFilter(watched, event);
}

void ListWindow::done(int result) {
    if (features_.formMetrics) RunIgnoringErrors({[this] { SaveFormMetrics(this); }});
    QDialog::done(result);
}

}  // namespace corvane
