#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace corvane {

class LogTable;
class LogViewer;

// One record of a log in full, read-only, with a summary for the clipboard;
// while its viewer is open, Up and Down step through the viewer's list and
// read each record afresh from the file. The two log details windows differ
// only in their rows and record.
class LogDetailsDialog : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString OpenTablePathname READ TablePathProperty WRITE SetTablePathProperty)
    Q_PROPERTY(int LogID READ LogIDProperty WRITE SetLogIDProperty)

public:
    struct Row {
        const char* label;
        const char* box;
        int message;
        const char* suffix;           // after the message: ":" or " ID:"
        bool besidePrevious = false;  // shares the line of the row before
        bool wide = false;            // a box half as wide again
    };
    struct Spec {
        const char* formName;
        const char* viewerName;
        int titleMessage;
        std::vector<Row> rows;  // in the summary's order
    };

    // Empty: the log's standard file in the data folder.
    std::string OpenTablePathname;
    // Stored only.
    bool IsDirty = false;
    // Set by Cancel and by any close; nothing reads it.
    bool Cancelled = false;
    // True until the first activation has done its work.
    bool FormLoad = true;
    bool IsNew = false;
    std::int32_t Response = 0;
    // The record shown: its number in the file.
    std::int32_t LogID = 0;

    void SetLanguage();
    // Reads record LogID into the boxes; a record that cannot be loaded
    // leaves them as they were.
    void LoadData();
    void UpdateNavigationButtons();
    // The first-activation set-up; the window system calls it, tests may too.
    void Activate();

    void cmdUp_Click() { Step(-1); }
    void cmdDown_Click() { Step(+1); }
    void cmdCopy_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    // Esc.
    void reject() override;

    QLineEdit* Box(const char* name) const;
    QLabel* Label(const char* name) const;
    QPlainTextEdit* Description() const { return txtDescription_; }
    // The summary as the clipboard gets it, with its CR LF line ends.
    const std::string& Summary() const { return summary_; }
    QPushButton* UpButton() const { return cmdUp_; }
    QPushButton* DownButton() const { return cmdDown_; }
    QPushButton* CopyButton() const { return cmdCopy_; }
    QPushButton* OKButton() const { return cmdOK_; }
    QPushButton* CancelButton() const { return cmdCancel_; }

protected:
    explicit LogDetailsDialog(Spec spec);

    // A new, closed record object of the log.
    virtual std::unique_ptr<LogTable> NewRecord() const = 0;
    // The loaded record's box texts, one per row.
    virtual std::vector<std::string> Values(const LogTable& record) const = 0;

    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void InitNavigation();
    void FlattenTextBoxes();
    void ApplyLanguage();
    void Step(int by);
    // The viewer while a window of its name is loaded, else null.
    LogViewer* Viewer() const;

    QString TablePathProperty() const { return QString::fromStdString(OpenTablePathname); }
    void SetTablePathProperty(const QString& path) { OpenTablePathname = path.toStdString(); }
    int LogIDProperty() const { return LogID; }
    void SetLogIDProperty(int id) { LogID = id; }

    Spec spec_;
    std::string summary_;
    QTabWidget* tabDetails_ = nullptr;
    std::vector<QLabel*> labels_;
    std::vector<QLineEdit*> boxes_;
    QLabel* lblDescription_ = nullptr;
    QPlainTextEdit* txtDescription_ = nullptr;
    QPushButton* cmdUp_ = nullptr;
    QPushButton* cmdDown_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace corvane
