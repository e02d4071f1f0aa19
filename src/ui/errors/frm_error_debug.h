#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace corvane {

// "Debug and Error Reporting": the full report of an error, which the user
// can copy, print, e-mail to the support address (Send Error Report, shown
// only when EnableSendErrorReport is set), and the buttons for the help file
// and the error-log viewer. Close, Enter and Esc hide it.
class frmErrorDebug : public QDialog {
    Q_OBJECT

public:
    explicit frmErrorDebug(QWidget* parent = nullptr);

    std::string AppErrorLog;
    bool EnableSendErrorReport = false;
    std::string ErrorReportEmail;

    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(std::string value) { helpFile_ = std::move(value); }
    bool FormLoad() const { return formLoad_; }
    void SetFormLoad(bool value) { formLoad_ = value; }

    // The report shown in ErrorDetails.
    void SetErrorDetails(const std::string& report);
    std::string ErrorDetailsText() const;

    // Prints the report; a failure says "An Unexpected Error prevented the
    // Error Details being Printed".
    void PrintError();
    // Sends the report to ErrorReportEmail (nothing when it is empty); says
    // nothing either way.
    void SendErrorReport();
    // Opens the error-log viewer on AppErrorLog, modally.
    void ShowErrorLog();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplySendReportOption();

    QLabel* lblMessage_ = nullptr;
    QPlainTextEdit* ErrorDetails_ = nullptr;
    QLabel* lblSendReportMessage_ = nullptr;
    QPushButton* cmdSendErrorReport_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    QPushButton* cmdErrorLog_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    std::string helpFile_;
    bool formLoad_ = true;
};

}  // namespace corvane
