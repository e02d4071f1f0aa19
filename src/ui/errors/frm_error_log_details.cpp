#include "ui/errors/frm_error_log_details.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/errors/frm_error_log.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/picture_button.h"
#include "ui/helpers/window_helpers.h"
#include "errors/error_log_rows.h"

namespace corvane {
namespace {

// The order of txtDetails' lines, by column of the viewer's row.
constexpr std::array<int, 5> kDetailsOrder{0, 2, 3, 1, 4};
constexpr const auto& kCaptions = kErrorLogFieldCaptions;

QLineEdit* FlatBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    // A box without a border takes the window's colour.
    box->setFrame(false);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, parent->palette().color(QPalette::Window));
    box->setPalette(p);
    return box;
}

}  // namespace

frmErrorLogDetails::frmErrorLogDetails(frmErrorLog* viewer) : QDialog(viewer), viewer_(viewer) {
    setObjectName(QStringLiteral("frmErrorLogDetails"));
    setWindowTitle(QStringLiteral("Log Details"));

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabDetails"));
    auto* page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("Details"));
    ErrorNumber_ = FlatBox(page, "ErrorNumber");
    Description_ = FlatBox(page, "Description");
    Source_ = FlatBox(page, "Source");
    Location_ = FlatBox(page, "Location");
    TimeStamp_ = FlatBox(page, "TimeStamp");
    txtDetails_ = new QPlainTextEdit(page);
    txtDetails_->setObjectName(QStringLiteral("txtDetails"));
    txtDetails_->setReadOnly(true);
    auto* form = new QFormLayout(page);
    const std::array<QLineEdit*, 5> boxes{ErrorNumber_, Description_, Source_, Location_, TimeStamp_};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        form->addRow(QString::fromLatin1(kCaptions[i]), boxes[i]);
    form->addRow(QStringLiteral("Details:"), txtDetails_);
    for (QWidget* box : {static_cast<QWidget*>(ErrorNumber_), static_cast<QWidget*>(Description_),
                         static_cast<QWidget*>(Source_), static_cast<QWidget*>(Location_),
                         static_cast<QWidget*>(TimeStamp_), static_cast<QWidget*>(txtDetails_)})
        box->installEventFilter(this);

    cmdUp_ = NewPictureButton(this, "cmdUp", "Up", QStyle::SP_ArrowUp);
    cmdDown_ = NewPictureButton(this, "cmdDown", "Down", QStyle::SP_ArrowDown);
    cmdCopy_ = NewPictureButton(this, "cmdCopy", "Copy", QStyle::SP_FileDialogContentsView);
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdUp_, cmdDown_, cmdCopy_}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    resize(440, 360);

    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmErrorLogDetails::reject);
    connect(cmdUp_, &QPushButton::clicked, this, &frmErrorLogDetails::MoveUp);
    connect(cmdDown_, &QPushButton::clicked, this, &frmErrorLogDetails::MoveDown);
    connect(cmdCopy_, &QPushButton::clicked, this, [this] {
        QApplication::clipboard()->clear();
        QApplication::clipboard()->setText(Description_->text());
    });
}

void frmErrorLogDetails::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!firstActivation_) return;
    firstActivation_ = false;
    LoadErrorDetails();
    UpdateNavigationButtons();
    ErrorNumber_->setFocus();
}

void frmErrorLogDetails::closeEvent(QCloseEvent* event) {
    Cancelled = true;
    QDialog::closeEvent(event);
}

void frmErrorLogDetails::reject() {
    Cancelled = true;
    QDialog::reject();
}

void frmErrorLogDetails::LoadErrorDetails() {
    BusyPointer busy;
    const std::array<QLineEdit*, 5> boxes{ErrorNumber_, Description_, Source_, Location_, TimeStamp_};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(QString::fromStdString(viewer_->SelectedText(static_cast<int>(i))));
    QString details;
    for (int column : kDetailsOrder) {
        details += QString::fromLatin1(kCaptions[static_cast<std::size_t>(column)]) + " " +
                   boxes[static_cast<std::size_t>(column)]->text() + "\n";
    }
    txtDetails_->setPlainText(details);
}

void frmErrorLogDetails::UpdateNavigationButtons() {
    const std::int32_t n = viewer_->SelectedIndex();
    const std::int32_t c = viewer_->ListCount();
    // Each rule overrides the ones before it.
    bool up = true, down = true;
    if (n <= 1) {
        up = false;
        down = true;
    }
    if (n > 1 && n < c) up = down = true;
    if (n >= c) {
        up = true;
        down = false;
    }
    // One row, or none at all, has nothing to step to.
    if (c <= 1) up = down = false;
    cmdUp_->setEnabled(up);
    cmdDown_->setEnabled(down);
}

void frmErrorLogDetails::Step(int by) {
    const std::int32_t n = viewer_->SelectedIndex();
    viewer_->SetMultiSelect(false);
    viewer_->SetSelectedIndex(n + by);
    viewer_->SetMultiSelect(true);
    LoadErrorDetails();
    UpdateNavigationButtons();
}

bool frmErrorLogDetails::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* w = qobject_cast<QWidget*>(watched)) SelectAllTextAfterFocus(w);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace corvane
