#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <string>

#include "admin/users/editor/user_editor_model.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;

namespace corvane {

// "Details": the administrator's editor of one existing account, with its programs and
// websites. The caller sets UserLogin, shows it modally, then reads Cancelled and IsDirty
// (a saved account is Cancelled false and IsDirty true) and UserLogin, the login as saved.
// OK and Cancel only hide it. All behaviour lives in UserEditorModel; this window mirrors
// its state and hands it every action.
class frmUserDetails : public QDialog {
    Q_OBJECT
    // The members again as properties, for openers that set and read them by name.
    Q_PROPERTY(QString OpenTablePathname READ OpenTablePathnameProperty WRITE SetOpenTablePathnameProperty)
    Q_PROPERTY(QString UserLogin READ UserLoginProperty WRITE SetUserLoginProperty)
    Q_PROPERTY(bool IsDirty READ IsDirty WRITE SetIsDirty)
    Q_PROPERTY(bool Cancelled READ Cancelled WRITE SetCancelled)
    Q_PROPERTY(bool FormLoad READ FormLoad WRITE SetFormLoad)
    Q_PROPERTY(bool IsNew READ IsNew WRITE SetIsNew)
    Q_PROPERTY(int Response READ Response WRITE SetResponse)

public:
    explicit frmUserDetails(QWidget* parent = nullptr);

    std::string OpenTablePathname() const { return model_.OpenTablePathname; }
    void SetOpenTablePathname(std::string path) { model_.OpenTablePathname = std::move(path); }
    void SetUserLogin(std::string login) { model_.UserLogin = std::move(login); }
    std::string UserLogin() const { return model_.UserLogin; }
    bool IsDirty() const { return model_.IsDirty; }
    void SetIsDirty(bool value) { model_.IsDirty = value; }
    bool Cancelled() const { return model_.Cancelled; }
    void SetCancelled(bool value) { model_.Cancelled = value; }
    bool FormLoad() const { return model_.FormLoad; }
    void SetFormLoad(bool value) { model_.FormLoad = value; }
    bool IsNew() const { return model_.IsNew; }
    void SetIsNew(bool value) { model_.IsNew = value; }
    std::int32_t Response() const { return model_.Response; }
    void SetResponse(std::int32_t value) { model_.Response = value; }

    // The list members over one of the four lists (nullptr or another widget: no list).
    bool ItemSelected(QTreeWidget* lsvItems) const;
    std::int16_t SelectedIndex(QTreeWidget* lsvItems) const;
    std::int32_t ItemsSelectedCount(QTreeWidget* lsvItems) const;
    std::int32_t ListCount(QTreeWidget* lsvItems) const;
    void SelectFirstItemInList(QTreeWidget* lsvItems);
    // Captions and list headers from the message catalogue.
    void SetLanguage();

    UserEditorModel& Model() { return model_; }

    QString OpenTablePathnameProperty() const { return QString::fromStdString(model_.OpenTablePathname); }
    void SetOpenTablePathnameProperty(const QString& path) { model_.OpenTablePathname = path.toStdString(); }
    QString UserLoginProperty() const { return QString::fromStdString(model_.UserLogin); }
    void SetUserLoginProperty(const QString& login) { model_.UserLogin = login.toStdString(); }

    // Cancel, Esc and the close box.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildGeneralTab(QWidget* page);
    void BuildAccessTab(QWidget* page);
    QWidget* BuildListPair(const char* defined, const char* add, const char* remove, const char* selected);
    void BuildProgramsTab(QWidget* page);
    void BuildInternetTab(QWidget* page);
    void Connect();

    // The first activation, once the window is up.
    void Activate();
    // Every control from the model, then the focus and hide the model asks for.
    void ShowModel();
    void ShowList(QTreeWidget* view, const AssignmentList& list);
    void ReadSelection(QTreeWidget* view);
    AssignmentList* ListOf(QTreeWidget* view) const;
    void ApplyRequests();

    UserEditorModel model_;
    QTabWidget* tabDetails_ = nullptr;
    QLineEdit* txtUserLogin_ = nullptr;
    QLineEdit* txtUserName_ = nullptr;
    QPlainTextEdit* txtDescription_ = nullptr;
    QPlainTextEdit* txtDisplayMessage_ = nullptr;
    QLineEdit* txtHomePage_ = nullptr;
    std::array<QCheckBox*, UserEditorModel::kCheckCount> checks_{};
    std::array<QRadioButton*, 2> optAccess_{};
    QButtonGroup* accessGroup_ = nullptr;
    QTreeWidget* lsvDefinedPrograms_ = nullptr;
    QTreeWidget* lsvSelectedPrograms_ = nullptr;
    QTreeWidget* lsvDefinedWebsites_ = nullptr;
    QTreeWidget* lsvSelectedWebsites_ = nullptr;
    QPushButton* cmdAddProgram_ = nullptr;
    QPushButton* cmdRemoveProgram_ = nullptr;
    QPushButton* cmdAddWebsite_ = nullptr;
    QPushButton* cmdRemoveWebsite_ = nullptr;
    QPushButton* cmdBlankHomePage_ = nullptr;
    QGroupBox* fraHomePage_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace corvane
