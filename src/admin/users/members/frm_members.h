#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>

class QPushButton;
class QTreeWidget;

namespace corvane {

// "Members": the read-only list of one group's members (login and full name), filled once
// at its first activation. The opener sets GroupName before showing it.
class frmMembers : public QDialog {
    Q_OBJECT
    // The members again as properties, for openers that set and read them by name.
    Q_PROPERTY(QString GroupName READ GroupNameProperty WRITE SetGroupNameProperty)
    Q_PROPERTY(bool IsDirty READ IsDirty WRITE SetIsDirty)

public:
    explicit frmMembers(QWidget* parent = nullptr);

    void SetGroupName(std::string name) { groupName_ = std::move(name); }
    const std::string& GroupName() const { return groupName_; }
    bool IsDirty() const { return isDirty_; }
    void SetIsDirty(bool value) { isDirty_ = value; }
    std::int32_t ListCount() const;
    // Position from 1 of the selected row, 0 when none.
    std::int32_t SelectedIndex() const;
    // Selects the row at a position from 1; a position outside the rows changes nothing.
    void SetSelectedIndex(std::int32_t position);
    // The selected row's login, trimmed; "" when none.
    std::string SelectedItem() const;
    void SetLanguage();
    void LoadMembers();

    bool FormLoad() const { return formLoad_; }

    QString GroupNameProperty() const { return QString::fromStdString(groupName_); }
    void SetGroupNameProperty(const QString& name) { groupName_ = name.toStdString(); }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Activate();
    void SortByColumn(int column);

    std::string groupName_;
    bool isDirty_ = false;
    bool formLoad_ = true;
    Qt::SortOrder order_ = Qt::AscendingOrder;
    QTreeWidget* lsvItems_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace corvane
