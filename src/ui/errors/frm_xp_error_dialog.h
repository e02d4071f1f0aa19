#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "errors/error_dialog_seam.h"

class QFrame;
class QLabel;
class QPushButton;

namespace corvane {

class LinkLabel;

// The error dialog. A banner names the program and the error; five links
// answer Abort (3), Retry (4) or Ignore (5), open the help file, or open the
// debug window; Close, Enter and Esc close it with Response left at 0. Found
// in tests by its object name, the links as "lblErrSelect0" to "lblErrSelect4".
class frmXPErrorDialog : public QDialog {
    Q_OBJECT

public:
    explicit frmXPErrorDialog(QWidget* parent = nullptr);

    // Builds a dialog for the request, shows it modally and returns Response.
    static int Run(const ErrorDialogRequest& request);

    // Sets the members, the caption and the three label texts.
    void Apply(const ErrorDialogRequest& request);

    // Passed on to the debug window.
    bool EnableSendErrorReport = false;
    std::string ErrorReportEmail;
    std::string AppErrorLog;
    std::string ErrorReportString;
    // Gives the links their tool tips at the first activation.
    bool ShowToolTips = false;
    // 0 until a link answers 3, 4 or 5.
    std::int32_t Response = 0;

    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(std::string value) { helpFile_ = std::move(value); }
    // True from loading until the first activation.
    bool FormLoad() const { return formLoad_; }
    void SetFormLoad(bool value) { formLoad_ = value; }
    // Kept and returned; nothing acts on it.
    std::int32_t DefaultAction() const { return defaultAction_; }
    void SetDefaultAction(std::int32_t value) { defaultAction_ = value; }

    // Opens the debug window modally over this one, with this dialog's values.
    void ShowDebugWindow();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LinkClicked(int index);
    void SetOptionToolTips();

    QWidget* picBanner_ = nullptr;
    QLabel* HeaderCaption_ = nullptr;
    QLabel* ErrorMessage_ = nullptr;
    QFrame* lnLower_ = nullptr;
    QFrame* lnLower2_ = nullptr;
    QLabel* SelectOptionsCaption_ = nullptr;
    QLabel* ContactMessage_ = nullptr;
    std::array<LinkLabel*, 5> lblErrSelect_{};
    QPushButton* cmdClose_ = nullptr;
    std::string helpFile_;
    bool formLoad_ = true;
    std::int32_t defaultAction_ = 0;
};

// Shows every reported error in the error dialog.
class XPErrorDialogPresenter : public ErrorDialogPresenter {
public:
    int Present(const ErrorDialogRequest& request) override { return frmXPErrorDialog::Run(request); }
};

// Installs the error handler and the error dialog for the running program.
void InstallErrorReporting();

}  // namespace corvane
