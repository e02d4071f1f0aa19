#include "admin/users/members/frm_members.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "admin/users/members/member_rows.h"
#include "messages/message_catalogue.h"
#include "platform/core/text.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/window_helpers.h"
#include "ui_core/ui_services.h"

namespace corvane {

namespace {

constexpr int kTwipsPerPixel = 15;

QString Message(int number) {
    return QString::fromStdString(GetMessageText(number, ui::Services().language()));
}

}  // namespace

frmMembers::frmMembers(QWidget* parent) : QDialog(parent) {
    setObjectName("frmMembers");
    auto* layout = new QHBoxLayout(this);
    auto* imgGroups = new QLabel(this);
    imgGroups->setObjectName("imgGroups");
    imgGroups->setPixmap(style()->standardIcon(QStyle::SP_DirIcon).pixmap(32, 32));
    imgGroups->setAlignment(Qt::AlignTop);
    layout->addWidget(imgGroups);
    auto* right = new QVBoxLayout;
    lsvItems_ = new QTreeWidget(this);
    lsvItems_->setObjectName("lsvItems");
    lsvItems_->setRootIsDecorated(false);
    lsvItems_->setAllColumnsShowFocus(true);
    lsvItems_->setSelectionMode(QAbstractItemView::SingleSelection);
    lsvItems_->header()->setSectionsClickable(true);
    lsvItems_->header()->setStretchLastSection(false);
    right->addWidget(lsvItems_, 1);
    cmdCancel_ = new QPushButton(this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel_);
    right->addLayout(buttons);
    layout->addLayout(right, 1);
    resize(330, 280);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(lsvItems_->header(), &QHeaderView::sectionClicked, this, &frmMembers::SortByColumn);
}

std::int32_t frmMembers::ListCount() const { return lsvItems_->topLevelItemCount(); }

std::int32_t frmMembers::SelectedIndex() const {
    return SelectedRowPosition(lsvItems_);
}

void frmMembers::SetSelectedIndex(std::int32_t position) {
    if (position < 1 || position > ListCount()) return;
    // One row alone, whatever selection mode the list is in.
    const auto mode = lsvItems_->selectionMode();
    lsvItems_->setSelectionMode(QAbstractItemView::SingleSelection);
    lsvItems_->setCurrentItem(lsvItems_->topLevelItem(position - 1));
    lsvItems_->setSelectionMode(mode);
}

std::string frmMembers::SelectedItem() const {
    const std::int32_t index = SelectedIndex();
    if (index == 0) return {};
    return text::Trim(lsvItems_->topLevelItem(index - 1)->text(0).toStdString());
}

void frmMembers::SetLanguage() {
    setWindowTitle(Message(295));
    cmdCancel_->setText(Message(25));
    lsvItems_->setSortingEnabled(false);
    lsvItems_->clear();
    lsvItems_->setHeaderLabels({Message(308), Message(309)});
    lsvItems_->setColumnWidth(0, 1440 / kTwipsPerPixel);
    lsvItems_->setColumnWidth(1, 2100 / kTwipsPerPixel);
}

void frmMembers::LoadMembers() {
    lsvItems_->clear();
    BusyPointer busy;
    LoadMemberRows(groupName_, [this](const MemberRow& row) {
        auto* item = new QTreeWidgetItem(lsvItems_, {QString::fromStdString(row.login), QString::fromStdString(row.name)});
        item->setData(0, Qt::UserRole, row.userID);
    });
}

void frmMembers::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (formLoad_) {
        CenterForm(this);
        QTimer::singleShot(0, this, [this] { Activate(); });
    }
}

void frmMembers::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Activate();
}

void frmMembers::Activate() {
    if (formLoad_) {
        formLoad_ = false;
        SetLanguage();
        LoadMembers();
        if (ListCount() > 0) SetSelectedIndex(1);
        setWindowTitle(Message(295) + ": " + QString::fromStdString(groupName_));
        lsvItems_->setFocus();
        return;
    }
    if (ListCount() > 0 && SelectedIndex() > 0) {
        SetSelectedIndex(SelectedIndex());
        lsvItems_->setFocus();
    }
}

void frmMembers::SortByColumn(int column) {
    // The order flips on every click, also on another column than last time.
    order_ = order_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    lsvItems_->sortItems(column, order_);
    lsvItems_->header()->setSortIndicatorShown(true);
    lsvItems_->header()->setSortIndicator(column, order_);
}

}  // namespace corvane
