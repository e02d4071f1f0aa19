#pragma once

#include "admin/options/status_dialog.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace corvane {

// "Directory Browser": a folder from a drive list and a folder list, or a
// share or folder on the network through the network browser. The folder
// list has an open folder of its own: a double click or code opens a folder,
// a single click only highlights it, and OK answers the open one.
class frmDirectory : public StatusDialog {
    Q_OBJECT
    Q_PROPERTY(QString NewCaption READ NewCaption WRITE SetNewCaption)
    Q_PROPERTY(bool NoCancel READ NoCancel WRITE SetNoCancel)
    Q_PROPERTY(bool Cancelled READ Cancelled)
    Q_PROPERTY(QString Path READ Path WRITE SetPath)

public:
    explicit frmDirectory(QWidget* parent = nullptr);
    ~frmDirectory() override;

    QString NewCaption() const { return newCaption_; }
    void SetNewCaption(const QString& caption) { newCaption_ = caption; }
    bool NoCancel() const { return noCancel_; }
    void SetNoCancel(bool value);
    bool Cancelled() const { return cancelled_; }
    // The answer: empty until OK or a network choice.
    QString Path() const { return path_; }
    // Opens the lists at the folder; the answer stays as it is.
    void SetPath(const QString& folder);
    void SetLanguage();

    // The folder the folder list has open.
    QString OpenFolder() const { return openFolder_; }

protected:
    void FirstActivation() override;
    void Layout() override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // False when the folder cannot be opened; the lists then stay.
    bool Open(const QString& folder);
    void ShowOpenFolder();
    void DriveChange(int index);
    void FollowDrive();
    void OK();
    void Cancel();
    void Network();

    QString newCaption_;
    bool noCancel_ = false;
    bool cancelled_ = false;
    QString path_;
    QString openFolder_;
    bool followOpenFolder_ = false;
    QStringList roots_;
    QComboBox* drvDrive_ = nullptr;
    QTreeView* dirDirectory_ = nullptr;
    QFileSystemModel* model_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdNetwork_ = nullptr;
};

}  // namespace corvane
