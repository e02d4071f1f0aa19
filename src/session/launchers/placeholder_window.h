#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;

namespace corvane {

// Stands in for a window that is not built yet: it carries the window's
// object name and caption, shows the inputs its launcher set (Qt properties
// of the window's input names) and closes with its one button. It answers
// Cancelled and IsDirty as False.
class frmPlaceholder : public QDialog {
    Q_OBJECT

public:
    frmPlaceholder(const QString& objectName, const QString& caption, QStringList inputNames,
                   QWidget* parent = nullptr);

    // The text the window shows, inputs included.
    QString Text() const;

    // Close and Esc; the console only minimises where it is the way in.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Refresh();

    QString caption_;
    QStringList inputNames_;
    QLabel* lblPlaceholder_ = nullptr;
    QPushButton* cmdLogin_ = nullptr;
    QPushButton* cmdLogOff_ = nullptr;
};

// The window that stands in for objectName until its own is registered.
QWidget* MakePlaceholderWindow(const QString& objectName);

}  // namespace corvane
