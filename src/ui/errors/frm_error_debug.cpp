#include "ui/errors/frm_error_debug.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/core/clock.h"
#include "errors/mail_sender.h"
#include "errors/printouts.h"
#include "ui/errors/frm_error_log.h"
#include "ui_core/help.h"
#include "ui_core/msgbox/msgbox_seam.h"
#include "ui/helpers/picture_button.h"
#include "ui/helpers/print_job.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {
frmErrorDebug::frmErrorDebug(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmErrorDebug"));
    setWindowTitle(QStringLiteral("Debug and Error Reporting"));

    lblMessage_ = new QLabel(QStringLiteral("Details of this Error are shown below."), this);
    lblMessage_->setObjectName(QStringLiteral("lblMessage"));
    ErrorDetails_ = new QPlainTextEdit(this);
    ErrorDetails_->setObjectName(QStringLiteral("ErrorDetails"));
    ErrorDetails_->installEventFilter(this);
    lblSendReportMessage_ = new QLabel(
        QStringLiteral("You can choose to send details of this Error by clicking the Send Error "
                       "Report button below."),
        this);
    lblSendReportMessage_->setObjectName(QStringLiteral("lblSendReportMessage"));
    lblSendReportMessage_->setWordWrap(true);

    cmdSendErrorReport_ = new QPushButton(QStringLiteral("Send Error Report"), this);
    cmdSendErrorReport_->setObjectName(QStringLiteral("cmdSendErrorReport"));
    cmdSendErrorReport_->setAutoDefault(false);
    cmdCopy_ = NewPictureButton(this, "cmdCopy", "Copy", QStyle::SP_FileDialogContentsView);
    cmdPrint_ = NewPictureButton(this, "cmdPrint", "Print", QStyle::SP_DialogSaveButton);
    cmdHelp_ = NewPictureButton(this, "cmdHelp", "Help", QStyle::SP_DialogHelpButton);
    cmdErrorLog_ = NewPictureButton(this, "cmdErrorLog", "Error Log", QStyle::SP_FileDialogDetailedView);
    cmdClose_ = new QPushButton(QStringLiteral("Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSendErrorReport_);
    buttons->addStretch();
    for (QPushButton* b : {cmdCopy_, cmdPrint_, cmdHelp_, cmdErrorLog_, cmdClose_}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage_);
    layout->addWidget(ErrorDetails_);
    layout->addWidget(lblSendReportMessage_);
    layout->addLayout(buttons);
    resize(480, 300);

    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdCopy_, &QPushButton::clicked, this, [this] {
        QApplication::clipboard()->clear();
        QApplication::clipboard()->setText(ErrorDetails_->toPlainText());
    });
    connect(cmdPrint_, &QPushButton::clicked, this, &frmErrorDebug::PrintError);
    connect(cmdHelp_, &QPushButton::clicked, this, [this] { ShowHelpFile(helpFile_); });
    connect(cmdErrorLog_, &QPushButton::clicked, this, &frmErrorDebug::ShowErrorLog);
    connect(cmdSendErrorReport_, &QPushButton::clicked, this, &frmErrorDebug::SendErrorReport);

    // Hidden until the first activation decides.
    cmdSendErrorReport_->hide();
    lblSendReportMessage_->hide();
}

void frmErrorDebug::SetErrorDetails(const std::string& report) {
    QString text = QString::fromStdString(report);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    ErrorDetails_->setPlainText(text);
}

std::string frmErrorDebug::ErrorDetailsText() const {
    return ErrorDetails_->toPlainText().toStdString();
}

void frmErrorDebug::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!formLoad_) return;
    formLoad_ = false;
    ApplySendReportOption();
}

void frmErrorDebug::ApplySendReportOption() {
    cmdSendErrorReport_->setVisible(EnableSendErrorReport);
    lblSendReportMessage_->setVisible(EnableSendErrorReport);
    layout()->activate();
}

bool frmErrorDebug::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ErrorDetails_ && event->type() == QEvent::FocusIn) {
        SelectAllTextAfterFocus(ErrorDetails_);
    }
    return QDialog::eventFilter(watched, event);
}

void frmErrorDebug::PrintError() {
    const std::vector<PrintedLine> lines =
        ErrorDetailsPrintout(ErrorDetails_->toPlainText().toStdString(), clock::Now());
    bool given = false;
    const PrintOutcome outcome =
        PrintLines(this, QStringLiteral("Courier New"), [&](std::vector<PrintedLine>& out) {
            if (given) return false;
            given = true;
            out = lines;
            return true;
        });
    if (outcome != PrintOutcome::Failed) return;
    MsgBoxRequest request;
    request.prompt = "An Unexpected Error prevented the Error Details being Printed";
    request.buttons = kMsgExclamation;
    request.title = windowTitle().toStdString();
    PresentMsgBox(request);
}

void frmErrorDebug::SendErrorReport() {
    if (ErrorReportEmail.empty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Sent on a thread of its own; whether or not the report went out, the window says nothing.
    SendEMailInBackground("Error Report", ErrorReportEmail, "Error Report",
                          ErrorDetails_->toPlainText().toStdString(), "", "");
    QApplication::restoreOverrideCursor();
}

void frmErrorDebug::ShowErrorLog() {
    try {
        frmErrorLog viewer(this);
        viewer.AppErrorLog = AppErrorLog;
        viewer.exec();
    } catch (...) {
    }
}

}  // namespace corvane
