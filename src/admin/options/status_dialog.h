#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace corvane {

// A sizable dialog with a one-panel status bar along its bottom that runs
// FirstActivation once, when it is first activated, and Layout at every resize.
class StatusDialog : public QDialog {
    Q_OBJECT

public:
    explicit StatusDialog(QWidget* parent = nullptr);
    bool FormLoad() const { return formLoad_; }
    QString StatusText() const;

protected:
    void ShowStatus(const QString& text);
    int StatusHeight() const;
    virtual void FirstActivation() = 0;
    virtual void Layout() = 0;

    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Activate();

    bool formLoad_ = true;
    QWidget* statusBar_ = nullptr;
    QLabel* panel_ = nullptr;
};

}  // namespace corvane
