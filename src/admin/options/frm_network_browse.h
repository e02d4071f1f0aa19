#pragma once

#include "admin/options/status_dialog.h"

#include <QDialog>
#include <QHash>
#include <QString>
#include <memory>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace corvane {

class NetworkResource;

// "Network": the network as a tree, filled as its nodes are first expanded:
// the root's providers, their workgroups, servers and shares, and the files
// and folders of a share that opens. OK answers the UNC path of the chosen
// share or folder in Path.
class frmNetworkBrowse : public StatusDialog {
    Q_OBJECT
    Q_PROPERTY(bool Cancelled READ Cancelled)
    Q_PROPERTY(QString Path READ Path)
    Q_PROPERTY(QString Computer READ Computer)

public:
    explicit frmNetworkBrowse(QWidget* parent = nullptr);
    ~frmNetworkBrowse() override;

    bool Cancelled() const { return cancelled_; }
    QString Path() const { return path_; }
    QString Computer() const { return computer_; }
    void SetLanguage();

    // A node by its key, whatever its case; nullptr when there is none.
    QTreeWidgetItem* Node(const QString& key) const;

protected:
    void FirstActivation() override;
    void Layout() override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void LoadTopLevel();
    void LoadChildNodes(QTreeWidgetItem* node);
    void LoadFolder(QTreeWidgetItem* node, const QString& key);
    void LoadResources(QTreeWidgetItem* node);
    // Adds a node under parent (nullptr for the root); nullptr when its key is
    // taken or its picture is not in the picture list.
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                             const QString& picture);
    void AddPlaceholder(QTreeWidgetItem* node, const QString& picture);
    void NodeClick(QTreeWidgetItem* node);
    void ShowNodeCount(int count);
    void OK();
    void Cancel();

    bool cancelled_ = false;
    QString path_;
    QString computer_;
    QHash<QString, QTreeWidgetItem*> nodes_;  // by lower-case key
    std::unique_ptr<NetworkResource> root_;
    QTreeWidget* tvwNetwork_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace corvane
