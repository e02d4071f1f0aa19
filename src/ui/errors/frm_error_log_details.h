#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace corvane {

class frmErrorLog;

// "Log Details": the error-log viewer's selected row, one field a box, and the
// five together in txtDetails; Up and Down step through the viewer's rows,
// Copy puts the description on the clipboard. OK hides it; Cancel, Esc and
// the title bar's close set Cancelled and hide it.
class frmErrorLogDetails : public QDialog {
    Q_OBJECT

public:
    explicit frmErrorLogDetails(frmErrorLog* viewer);

    // Stored and returned only.
    bool IsDirty = false;
    bool Cancelled = false;
    bool FormLoad = true;
    bool IsNew = false;
    std::int32_t Response = 0;
    std::int32_t LogID = 0;

    // The viewer's selected row into the boxes.
    void LoadErrorDetails();
    void UpdateNavigationButtons();
    void MoveDown() { Step(+1); }
    void MoveUp() { Step(-1); }

    // Cancel, Esc and the title bar's close all come here.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Step(int by);

    frmErrorLog* viewer_;
    QLineEdit* ErrorNumber_ = nullptr;
    QLineEdit* Description_ = nullptr;
    QLineEdit* Source_ = nullptr;
    QLineEdit* Location_ = nullptr;
    QLineEdit* TimeStamp_ = nullptr;
    QPlainTextEdit* txtDetails_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdUp_ = nullptr;
    QPushButton* cmdDown_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    bool firstActivation_ = true;
};

}  // namespace corvane
