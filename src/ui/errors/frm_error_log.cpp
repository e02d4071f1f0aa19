#include "ui/errors/frm_error_log.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <array>
#include <filesystem>
#include <memory>

#include "platform/core/clock.h"
#include "platform/core/error_trap.h"
#include "platform/core/event_loop.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "platform/system/process_spawn.h"
#include "errors/error_log_file.h"
#include "errors/error_log_rows.h"
#include "errors/printouts.h"
#include "ui/errors/frm_error_log_details.h"
#include "ui/errors/frm_error_log_popup.h"
#include "ui_core/msgbox/msgbox_seam.h"
#include "ui/helpers/print_job.h"
#include "ui/helpers/screen_metrics.h"
#include "ui_core/ui_services.h"
#include "ui/helpers/window_helpers.h"
#include "ui/helpers/window_metrics.h"

namespace corvane {
namespace {

constexpr const char* kNoErrorLog = "An Error Log has not been created.";
constexpr double kButtonWidth = 1215;
constexpr double kButtonHeight = 375;

struct Column {
    const char* caption;
    double width;
};
constexpr Column kColumns[] = {
    {"Error", 1000}, {"Description", 2000}, {"Source", 1500}, {"Location", 1500}, {"Time Stamp", 1500}};

// Rows sort by the text of the column, letter case ignored.
class LogRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->resize(ui::ToPixels(kButtonWidth, kButtonHeight));
    return button;
}

}  // namespace

frmErrorLog::frmErrorLog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmErrorLog"));
    setWindowTitle(QStringLiteral("Error Log"));
    setSizeGripEnabled(true);
    resize(ui::ToPixels(8100, 4500));

    lsvItems_ = new QTreeWidget(this);
    lsvItems_->setObjectName(QStringLiteral("lsvItems"));
    cmdPrint_ = NewButton(this, "cmdPrint", "&Print");
    cmdDelete_ = NewButton(this, "cmdDelete", "&Delete Log");
    cmdView_ = NewButton(this, "cmdView", "&Open");
    cmdCancel_ = NewButton(this, "cmdCancel", "Cancel");
    cmdView_->setDefault(true);

    mnuPopUp_ = new QMenu(this);
    mnuPopUp_->setObjectName(QStringLiteral("mnuPopUp"));
    const auto item = [this](int index, const char* caption) {
        QAction* action = mnuPopUp_->addAction(QString::fromLatin1(caption));
        action->setObjectName(QStringLiteral("mnuPopUpItem%1").arg(index));
        return action;
    };
    QAction* details = item(0, "Details");
    QAction* deleteLog = item(1, "Delete Log");
    mnuPopUp_->addSeparator()->setObjectName(QStringLiteral("mnuPopUpItem2"));
    item(3, "Cancel");
    mnuPopUp_->setDefaultAction(details);
    connect(details, &QAction::triggered, this, &frmErrorLog::ShowDetails);
    connect(deleteLog, &QAction::triggered, this, &frmErrorLog::DeleteLog);

    LoadFormMetrics(this);
    SetColumnHeaders();
    if (gShowToolTips) {
        cmdView_->setToolTip(QStringLiteral("Open the Error Log with Notepad"));
        cmdDelete_->setToolTip(QStringLiteral("Delete the Error Log"));
        cmdCancel_->setToolTip(QStringLiteral("Close the Error Log"));
        cmdPrint_->setToolTip(QStringLiteral("Print the Error Log to the Default Printer"));
    }

    connect(cmdPrint_, &QPushButton::clicked, this, &frmErrorLog::PrintLog);
    connect(cmdDelete_, &QPushButton::clicked, this, &frmErrorLog::DeleteLog);
    connect(cmdView_, &QPushButton::clicked, this, &frmErrorLog::OpenLog);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(lsvItems_, &QTreeWidget::itemDoubleClicked, this, [this] { ShowDetails(); });
    connect(lsvItems_->header(), &QHeaderView::sectionClicked, this, &frmErrorLog::SortByColumn);
    lsvItems_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lsvItems_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        mnuPopUp_->popup(lsvItems_->viewport()->mapToGlobal(at));
    });
    Layout();
}

void frmErrorLog::SetColumnHeaders() {
    lsvItems_->setColumnCount(5);
    QStringList captions;
    for (const Column& c : kColumns) captions << QString::fromLatin1(c.caption);
    lsvItems_->setHeaderLabels(captions);
    for (int i = 0; i < 5; ++i) lsvItems_->header()->resizeSection(i, ui::ToPixelsX(kColumns[i].width));
    lsvItems_->setRootIsDecorated(false);
    lsvItems_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lsvItems_->setAllColumnsShowFocus(true);  // the whole row shows as selected
    lsvItems_->setSortingEnabled(false);
    lsvItems_->header()->setSectionsClickable(true);
    lsvItems_->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void frmErrorLog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only a shown list knows the width its columns share.
    Layout();
    if (!firstActivation_) return;
    firstActivation_ = false;
    LoadErrorLog();
}

void frmErrorLog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Layout();
}

void frmErrorLog::Layout() {
    const double width = ui::ToTwipsX(this->width());
    const double height = ui::ToTwipsY(this->height());
    const double buttonHeight = ui::ToTwipsY(cmdView_->height());
    lsvItems_->setGeometry(ui::ToPixels({60, 60, width - 120, height - 60 - buttonHeight - 120}));
    const double top = height - 400;
    double left = width - 4 * (ui::ToTwipsX(cmdPrint_->width()) + 60);
    for (QPushButton* b : {cmdPrint_, cmdDelete_, cmdView_, cmdCancel_}) {
        b->move(ui::ToPixelsX(left), ui::ToPixelsY(top));
        left += ui::ToTwipsX(b->width()) + 60;
    }
    if (isVisible()) FitListViewColumns(lsvItems_);
}

void frmErrorLog::done(int result) {
    SaveFormMetrics(this);
    QDialog::done(result);
}

bool frmErrorLog::LogExists() const { return ui::Services().fileExists(AppErrorLog); }

void frmErrorLog::Tell(const std::string& text, std::int32_t icon) {
    MsgBoxRequest request;
    request.prompt = text;
    request.buttons = icon;
    request.title = windowTitle().toStdString();
    PresentMsgBox(request);
}

void frmErrorLog::LoadErrorLog() {
    if (!LogExists()) {
        Tell(kNoErrorLog, kMsgInformation);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool failed = false;
    try {
        const ErrorLogLines log = ReadErrorLogLines(AppErrorLog);
        failed = log.failed;
        for (const std::string& line : log.lines) {
            YieldToEventLoop();
            const ErrorLogRow row = SplitErrorLogLine(line);
            if (row.pieces == 0) continue;  // a blank line is no entry
            auto* item = new LogRow(lsvItems_);
            const QString tip = QString::fromStdString(ErrorLogRowToolTip(row));
            for (int i = 0; i < 5; ++i) {
                item->setText(i, QString::fromStdString(row.fields[static_cast<std::size_t>(i)]));
                item->setToolTip(i, tip);
            }
        }
    } catch (...) {
        failed = true;
    }
    QApplication::restoreOverrideCursor();
    if (failed) Tell("An Unexpected Error prevented the Error Log being Loaded", kMsgExclamation);
}

void frmErrorLog::SortByColumn(int column) {
    sortAscending_ = !sortAscending_;
    lsvItems_->sortItems(column, sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

std::int32_t frmErrorLog::ListCount() const { return lsvItems_->topLevelItemCount(); }

std::int32_t frmErrorLog::SelectedIndex() const {
    return SelectedRowPosition(lsvItems_);
}

bool frmErrorLog::ItemSelected() const { return ListCount() > 0 && SelectedIndex() > 0; }

void frmErrorLog::SetSelectedIndex(std::int32_t n) {
    if (ListCount() == 0 || n > ListCount()) return;
    if (n < 1) {
        lsvItems_->clearSelection();
        return;
    }
    const bool multi = MultiSelect();
    SetMultiSelect(false);
    QTreeWidgetItem* item = lsvItems_->topLevelItem(n - 1);
    lsvItems_->clearSelection();
    lsvItems_->setCurrentItem(item);
    item->setSelected(true);
    lsvItems_->scrollToItem(item);
    SetMultiSelect(multi);
}

std::string frmErrorLog::SelectedText(int column) const {
    const std::int32_t n = SelectedIndex();
    if (n == 0) return {};
    return lsvItems_->topLevelItem(n - 1)->text(column).toStdString();
}

void frmErrorLog::SetMultiSelect(bool on) {
    lsvItems_->setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                                   : QAbstractItemView::SingleSelection);
}

bool frmErrorLog::MultiSelect() const {
    return lsvItems_->selectionMode() == QAbstractItemView::ExtendedSelection;
}

void frmErrorLog::OpenLog() {
    if (!LogExists()) {
        Tell(kNoErrorLog, kMsgInformation);
        return;
    }
    // The desktop's text viewer, given the path as one argument.
    if (OpenWithDesktop(AppErrorLog) == 0)
        Tell("An Unexpected Error prevented the Error Log being opened with Notepad", kMsgExclamation);
}

void frmErrorLog::DeleteLog() {
    if (!LogExists()) {
        Tell(kNoErrorLog, kMsgInformation);
        return;
    }
    MsgBoxRequest ask;
    ask.prompt = "Confirm. Are you sure that you want to delete the Error Log ?";
    ask.buttons = kMsgYesNo | kMsgQuestion;
    ask.title = windowTitle().toStdString();
    if (PresentMsgBox(ask) != kMsgYes) return;
    std::error_code ec;
    if (!std::filesystem::remove(AppErrorLog, ec) || ec) {
        Tell("An Unexpected Error prevented the Error Log being Deleted", kMsgExclamation);
        return;
    }
    Tell("The Error Log has been deleted", kMsgInformation);
    lsvItems_->clear();
}

void frmErrorLog::PrintLog() {
    if (!LogExists()) {
        Tell(kNoErrorLog, kMsgInformation);
        return;
    }
    ErrorLogLines log;
    std::size_t next = 0;
    ErrorLogPrintout printout(clock::Now());
    bool started = false;
    const PrintOutcome outcome =
        PrintLines(this, QStringLiteral("Courier New"), [&](std::vector<PrintedLine>& lines) {
            if (!started) {
                started = true;
                log = ReadErrorLogLines(AppErrorLog);
                if (log.failed) throw std::runtime_error("unreadable");
                lines = printout.Begin();
                return true;
            }
            if (next == log.lines.size()) return false;
            YieldToEventLoop();
            lines = printout.Add(log.lines[next++]);
            return true;
        });
    if (outcome == PrintOutcome::Failed)
        Tell("An Unexpected Error prevented the Error Log being Printed", kMsgExclamation);
}

void frmErrorLog::ShowDetails() {
    try {
        frmErrorLogDetails details(this);
        details.exec();
    } catch (...) {
    }
}

void frmErrorLog::ShowItemPopup() {
    if (!ItemSelected()) return;
    std::array<std::string, frmErrorLogPopup::kRows> fields;
    std::unique_ptr<frmErrorLogPopup> card;
    RunIgnoringErrors({
        [&] {
            for (int column = 0; column < frmErrorLogPopup::kRows; ++column)
                fields[static_cast<std::size_t>(column)] = text::Trim(SelectedText(column));
        },
        [&] { card = std::make_unique<frmErrorLogPopup>(this); },
        [&] {
            for (int row = 0; card && row < frmErrorLogPopup::kRows; ++row)
                card->ValueLabel(row)->setText(QString::fromStdString(fields[static_cast<std::size_t>(row)]));
        },
        [&] { RunModal(card.get()); },
    });
}

}  // namespace corvane
