#include "admin/users/editor/frm_user_details.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "admin/users/editor/field_box.h"
#include "ui/helpers/login_pictures.h"
#include "ui/helpers/ole_color.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {

namespace {

using M = UserEditorModel;

constexpr std::int32_t kMenuColour = static_cast<std::int32_t>(0x80000004);
constexpr std::int32_t kWindowColour = static_cast<std::int32_t>(0x80000005);

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLabel* Label(const char* name, QWidget* parent, bool bold = false, bool wrap = false) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->setWordWrap(wrap);
    return label;
}

QPushButton* Button(const char* name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    // No button answers the Enter key.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QPlainTextEdit* MultiLine(const char* name, QWidget* parent, int width, int lines) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setTabChangesFocus(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setFixedHeight(box->fontMetrics().lineSpacing() * lines + 10);
    LimitToField(box, width);
    return box;
}

QLineEdit* Line(const char* name, QWidget* parent, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    LimitToField(box, width);
    return box;
}

void SetBackground(QWidget* widget, bool windowColour) {
    const auto colour = ui::TranslateOleColor(windowColour ? kWindowColour : kMenuColour);
    if (!colour) return;
    QPalette palette = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, *colour);
    widget->setPalette(palette);
}

void SetText(QLineEdit* box, const std::string& text) {
    if (box->text() != Q(text)) box->setText(Q(text));
}

void SetText(QPlainTextEdit* box, const std::string& text) {
    if (box->toPlainText() != Q(text)) box->setPlainText(Q(text));
}

}  // namespace

frmUserDetails::frmUserDetails(QWidget* parent) : QDialog(parent) {
    setObjectName("frmUserDetails");
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* picIcon = new QLabel(this);
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(LoginPersonPicture(40));
    picIcon->setAlignment(Qt::AlignTop);
    top->addWidget(picIcon);
    tabDetails_ = new QTabWidget(this);
    tabDetails_->setObjectName("tabDetails");
    top->addWidget(tabDetails_, 1);
    outer->addLayout(top);

    const char* const tabNames[] = {"General", "Access", "Programs", "Internet"};
    QWidget* pages[4];
    for (int i = 0; i < 4; ++i) {
        pages[i] = new QWidget(tabDetails_);
        tabDetails_->addTab(pages[i], tabNames[i]);
    }
    BuildGeneralTab(pages[0]);
    BuildAccessTab(pages[1]);
    BuildProgramsTab(pages[2]);
    BuildInternetTab(pages[3]);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOK_ = Button("cmdOK", this);
    cmdCancel_ = Button("cmdCancel", this);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    outer->addLayout(buttons);

    // The window as it loads: the General tab in front, OK off until a login is typed.
    tabDetails_->setCurrentIndex(0);
    cmdOK_->setEnabled(false);
    resize(560, 470);
    model_.onBusy = [](bool busy) {
        if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
        else QApplication::restoreOverrideCursor();
    };
    Connect();
}

void frmUserDetails::BuildGeneralTab(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Label("lblBasicInformation", page, true));
    auto* grid = new QGridLayout;
    txtUserLogin_ = Line("txtUserLogin", page, 20);
    txtUserName_ = Line("txtUserName", page, 50);
    txtDescription_ = MultiLine("txtDescription", page, 255, 3);
    // Each caption names its box for screen readers and carries its mnemonic.
    const auto captioned = [&](const char* name, QWidget* box) {
        QLabel* label = Label(name, page);
        label->setBuddy(box);
        return label;
    };
    grid->addWidget(captioned("lblUserLogin", txtUserLogin_), 0, 0);
    grid->addWidget(txtUserLogin_, 0, 1);
    grid->addWidget(captioned("lblUserName", txtUserName_), 1, 0);
    grid->addWidget(txtUserName_, 1, 1);
    grid->addWidget(captioned("lblDescription", txtDescription_), 2, 0, Qt::AlignTop);
    grid->addWidget(txtDescription_, 2, 1);
    layout->addLayout(grid);

    auto* frame = new QGroupBox(page);
    frame->setObjectName("fraAccountOptions");
    auto* options = new QVBoxLayout(frame);
    const std::pair<M::Check, const char*> boxes[] = {{M::kCannotChgPwd, "chkCannotChgPwd"},
                                                      {M::kDisabled, "chkDisabled"},
                                                      {M::kDisplayMessageAfterLogin, "chkDisplayMessageAfterLogin"}};
    for (const auto& [check, name] : boxes) {
        checks_[check] = new QCheckBox(frame);
        checks_[check]->setObjectName(name);
        options->addWidget(checks_[check]);
    }
    checks_[M::kDisplayMessageAfterLogin]->setText("Display Message after login");
    txtDisplayMessage_ = MultiLine("txtDisplayMessage", frame, 1000, 3);
    options->addWidget(txtDisplayMessage_);
    layout->addWidget(frame);
    layout->addStretch(1);
}

void frmUserDetails::BuildAccessTab(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Label("lblWhatAccess", page, true, true));
    accessGroup_ = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        optAccess_[i] = new QRadioButton(page);
        optAccess_[i]->setObjectName(QStringLiteral("optAccess%1").arg(i));
        accessGroup_->addButton(optAccess_[i], i);
        layout->addWidget(optAccess_[i]);
    }
    layout->addSpacing(12);
    layout->addWidget(Label("lblAdmin", page, false, true));
    layout->addStretch(1);
}

QWidget* frmUserDetails::BuildListPair(const char* defined, const char* add, const char* remove,
                                       const char* selected) {
    auto* pair = new QWidget;
    auto* row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    auto makeList = [&](const char* name) {
        auto* list = new QTreeWidget(pair);
        list->setObjectName(name);
        list->setColumnCount(1);
        list->setRootIsDecorated(false);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setSortingEnabled(false);
        list->header()->setSectionsClickable(true);
        list->header()->setStretchLastSection(true);
        return list;
    };
    auto* left = makeList(defined);
    auto* right = makeList(selected);
    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    auto* addButton = Button(add, pair);
    auto* removeButton = Button(remove, pair);
    middle->addWidget(addButton);
    middle->addWidget(removeButton);
    middle->addStretch(1);
    row->addWidget(left, 1);
    row->addLayout(middle);
    row->addWidget(right, 1);
    return pair;
}

void frmUserDetails::BuildProgramsTab(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Label("lblUserPrograms", page, true));
    layout->addWidget(Label("lblSelectWhichPrograms", page, false, true));
    QWidget* pair = BuildListPair("lsvDefinedPrograms", "cmdAddProgram", "cmdRemoveProgram", "lsvSelectedPrograms");
    pair->setParent(page);
    layout->addWidget(pair, 1);
    lsvDefinedPrograms_ = pair->findChild<QTreeWidget*>("lsvDefinedPrograms");
    lsvSelectedPrograms_ = pair->findChild<QTreeWidget*>("lsvSelectedPrograms");
    cmdAddProgram_ = pair->findChild<QPushButton*>("cmdAddProgram");
    cmdRemoveProgram_ = pair->findChild<QPushButton*>("cmdRemoveProgram");
    checks_[M::kStartProgramAfterLogin] = new QCheckBox(page);
    checks_[M::kStartProgramAfterLogin]->setObjectName("chkStartProgramAfterLogin");
    layout->addWidget(checks_[M::kStartProgramAfterLogin]);
}

void frmUserDetails::BuildInternetTab(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Label("lblInternetAccess", page, true));
    layout->addWidget(Label("lblSelectWhichWebsites", page, false, true));
    auto makeCheck = [&](M::Check check, const char* name) {
        checks_[check] = new QCheckBox(page);
        checks_[check]->setObjectName(name);
        return checks_[check];
    };
    layout->addWidget(makeCheck(M::kEnableInternetAccess, "chkEnableInternetAccess"));
    QWidget* pair = BuildListPair("lsvDefinedWebsites", "cmdAddWebsite", "cmdRemoveWebsite", "lsvSelectedWebsites");
    pair->setParent(page);
    layout->addWidget(pair, 1);
    lsvDefinedWebsites_ = pair->findChild<QTreeWidget*>("lsvDefinedWebsites");
    lsvSelectedWebsites_ = pair->findChild<QTreeWidget*>("lsvSelectedWebsites");
    cmdAddWebsite_ = pair->findChild<QPushButton*>("cmdAddWebsite");
    cmdRemoveWebsite_ = pair->findChild<QPushButton*>("cmdRemoveWebsite");
    auto* options = new QHBoxLayout;
    options->addWidget(makeCheck(M::kEnforceWebsites, "chkEnforceWebsites"));
    options->addWidget(makeCheck(M::kLockAddressBar, "chkLockAddressBar"));
    options->addWidget(makeCheck(M::kAllowNewWindows, "chkAllowNewWindows"));
    options->addStretch(1);
    layout->addLayout(options);

    fraHomePage_ = new QGroupBox(page);
    fraHomePage_->setObjectName("fraHomePage");
    auto* home = new QHBoxLayout(fraHomePage_);
    auto* imgHomePage = new QLabel(fraHomePage_);
    imgHomePage->setObjectName("imgHomePage");
    imgHomePage->setPixmap(style()->standardIcon(QStyle::SP_DirHomeIcon).pixmap(24, 24));
    txtHomePage_ = Line("txtHomePage", fraHomePage_, 255);
    cmdBlankHomePage_ = Button("cmdBlankHomePage", fraHomePage_);
    home->addWidget(imgHomePage);
    home->addWidget(txtHomePage_, 1);
    home->addWidget(cmdBlankHomePage_);
    layout->addWidget(fraHomePage_);
}

void frmUserDetails::Connect() {
    connect(txtUserLogin_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.SetLoginText(text.toStdString());
        cmdOK_->setEnabled(model_.okEnabled);
    });
    connect(txtUserName_, &QLineEdit::textChanged, this, [this](const QString& t) { model_.name = t.toStdString(); });
    connect(txtHomePage_, &QLineEdit::textChanged, this, [this](const QString& t) { model_.homePage = t.toStdString(); });
    connect(txtDescription_, &QPlainTextEdit::textChanged, this,
            [this] { model_.description = txtDescription_->toPlainText().toStdString(); });
    connect(txtDisplayMessage_, &QPlainTextEdit::textChanged, this,
            [this] { model_.displayMessage = txtDisplayMessage_->toPlainText().toStdString(); });
    for (int i = 0; i < M::kCheckCount; ++i) {
        // toggled, not clicked: a box changed from code runs its handling too.
        connect(checks_[i], &QCheckBox::toggled, this, [this, i](bool on) {
            model_.SetCheck(static_cast<M::Check>(i), on);
            ShowModel();
        });
    }
    connect(accessGroup_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) model_.access = id;
    });
    connect(tabDetails_->tabBar(), &QTabBar::tabBarClicked, this, [this](int tab) {
        model_.TabClick(tab);
        ApplyRequests();
    });
    const auto action = [this](void (UserEditorModel::*operation)()) {
        return [this, operation] {
            (model_.*operation)();
            ShowModel();
        };
    };
    connect(cmdAddWebsite_, &QPushButton::clicked, this, action(&M::AddWebsites));
    connect(cmdRemoveWebsite_, &QPushButton::clicked, this, action(&M::RemoveWebsites));
    connect(cmdAddProgram_, &QPushButton::clicked, this, action(&M::AddPrograms));
    connect(cmdRemoveProgram_, &QPushButton::clicked, this, action(&M::RemovePrograms));
    connect(lsvDefinedWebsites_, &QTreeWidget::itemDoubleClicked, this, action(&M::AddWebsites));
    connect(lsvSelectedWebsites_, &QTreeWidget::itemDoubleClicked, this, action(&M::RemoveWebsites));
    connect(lsvDefinedPrograms_, &QTreeWidget::itemDoubleClicked, this, action(&M::AddPrograms));
    connect(lsvSelectedPrograms_, &QTreeWidget::itemDoubleClicked, this, action(&M::RemovePrograms));
    connect(cmdBlankHomePage_, &QPushButton::clicked, this, action(&M::BlankHomePage));
    connect(cmdOK_, &QPushButton::clicked, this, action(&M::OK));
    connect(cmdCancel_, &QPushButton::clicked, this, &frmUserDetails::reject);
    for (QTreeWidget* view : {lsvDefinedPrograms_, lsvSelectedPrograms_, lsvDefinedWebsites_, lsvSelectedWebsites_}) {
        connect(view, &QTreeWidget::itemSelectionChanged, this, [this, view] { ReadSelection(view); });
        connect(view, &QTreeWidget::currentItemChanged, this, [this, view] { ReadSelection(view); });
        connect(view->header(), &QHeaderView::sectionClicked, this, [this, view](int) {
            ListOf(view)->HeaderClick();
            ShowModel();
        });
    }
    for (QWidget* box : std::initializer_list<QWidget*>{txtUserLogin_, txtUserName_, txtDescription_,
                                                        txtDisplayMessage_, txtHomePage_})
        box->installEventFilter(this);
}

bool frmUserDetails::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        SelectAllTextAfterFocus(static_cast<QWidget*>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

void frmUserDetails::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (model_.FormLoad) {
        CenterForm(this);
        QTimer::singleShot(0, this, [this] { Activate(); });
    }
}

void frmUserDetails::Activate() {
    if (!model_.FormLoad) return;
    tabDetails_->hide();
    model_.Activate();
    tabDetails_->show();
    ShowModel();
}

void frmUserDetails::SetLanguage() {
    model_.SetLanguage();
    ShowModel();
}

void frmUserDetails::reject() {
    model_.Cancel();
    ApplyRequests();
}

AssignmentList* frmUserDetails::ListOf(QTreeWidget* view) const {
    auto& m = const_cast<UserEditorModel&>(model_);
    if (view == nullptr) return nullptr;
    if (view == lsvDefinedPrograms_) return &m.definedPrograms;
    if (view == lsvSelectedPrograms_) return &m.selectedPrograms;
    if (view == lsvDefinedWebsites_) return &m.definedWebsites;
    if (view == lsvSelectedWebsites_) return &m.selectedWebsites;
    return nullptr;
}

bool frmUserDetails::ItemSelected(QTreeWidget* lsvItems) const {
    const AssignmentList* list = ListOf(lsvItems);
    return list && list->ItemSelected();
}

std::int16_t frmUserDetails::SelectedIndex(QTreeWidget* lsvItems) const {
    const AssignmentList* list = ListOf(lsvItems);
    return list ? list->SelectedIndex() : 0;
}

std::int32_t frmUserDetails::ItemsSelectedCount(QTreeWidget* lsvItems) const {
    const AssignmentList* list = ListOf(lsvItems);
    return list ? list->ItemsSelectedCount() : 0;
}

std::int32_t frmUserDetails::ListCount(QTreeWidget* lsvItems) const {
    const AssignmentList* list = ListOf(lsvItems);
    return list ? list->Count() : 0;
}

void frmUserDetails::SelectFirstItemInList(QTreeWidget* lsvItems) {
    if (AssignmentList* list = ListOf(lsvItems)) {
        list->SelectFirstItemInList();
        ShowList(lsvItems, *list);
    }
}

void frmUserDetails::ReadSelection(QTreeWidget* view) {
    std::vector<bool> selected;
    for (int i = 0; i < view->topLevelItemCount(); ++i) selected.push_back(view->topLevelItem(i)->isSelected());
    ListOf(view)->SetSelection(selected, view->indexOfTopLevelItem(view->currentItem()));
}

void frmUserDetails::ShowList(QTreeWidget* view, const AssignmentList& list) {
    const QSignalBlocker quiet(view);
    view->clear();
    view->setHeaderHidden(!list.headerVisible);
    view->setHeaderLabels({Q(list.header)});
    if (list.Sorted()) {
        view->header()->setSortIndicatorShown(true);
        view->header()->setSortIndicator(0, list.Descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
    for (const AssignmentRow& row : list.Rows()) {
        auto* item = new QTreeWidgetItem(view, {Q(row.text)});
        item->setData(0, Qt::UserRole, row.tag);
        item->setData(0, Qt::UserRole + 1, Q(row.key));
        item->setSelected(row.selected);
        if (row.current) view->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    }
    view->setEnabled(list.enabled);
    SetBackground(view, list.windowColour);
}

void frmUserDetails::ShowModel() {
    {
        std::vector<QSignalBlocker> quiet;
        for (QObject* o : std::initializer_list<QObject*>{txtUserLogin_, txtUserName_, txtDescription_,
                                                         txtDisplayMessage_, txtHomePage_, accessGroup_})
            quiet.emplace_back(o);
        for (QCheckBox* box : checks_) quiet.emplace_back(box);
        for (QRadioButton* option : optAccess_) quiet.emplace_back(option);

        for (const auto& [name, text] : model_.captions) {
            if (name.empty() || name.rfind("tabDetails:", 0) == 0) continue;
            QWidget* w = findChild<QWidget*>(Q(name));
            if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(Q(text));
            else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(Q(text));
            else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(Q(text));
        }
        for (int tab = 0; tab < 4; ++tab)
            for (const auto& [name, text] : model_.captions)
                if (name == "tabDetails:" + std::to_string(tab)) tabDetails_->setTabText(tab, Q(text));
        if (!model_.caption.empty()) setWindowTitle(Q(model_.caption));

        SetText(txtUserLogin_, model_.login);
        SetText(txtUserName_, model_.name);
        SetText(txtDescription_, model_.description);
        SetText(txtDisplayMessage_, model_.displayMessage);
        SetText(txtHomePage_, model_.homePage);
        for (int i = 0; i < M::kCheckCount; ++i) checks_[i]->setChecked(model_.checks[i]);
        accessGroup_->setExclusive(false);
        for (int i = 0; i < 2; ++i) optAccess_[i]->setChecked(model_.access == i);
        accessGroup_->setExclusive(true);
    }
    cmdOK_->setEnabled(model_.okEnabled);
    txtDisplayMessage_->setEnabled(model_.displayMessageEnabled);
    SetBackground(txtDisplayMessage_, model_.displayMessageWindowColour);
    const bool internet = model_.internetControlsEnabled;
    for (QWidget* w : std::initializer_list<QWidget*>{checks_[M::kEnforceWebsites], checks_[M::kAllowNewWindows],
                                                      checks_[M::kLockAddressBar], txtHomePage_, cmdBlankHomePage_,
                                                      fraHomePage_})
        w->setEnabled(internet);
    SetBackground(txtHomePage_, internet);
    ShowList(lsvDefinedPrograms_, model_.definedPrograms);
    ShowList(lsvSelectedPrograms_, model_.selectedPrograms);
    ShowList(lsvDefinedWebsites_, model_.definedWebsites);
    ShowList(lsvSelectedWebsites_, model_.selectedWebsites);
    cmdAddWebsite_->setEnabled(model_.addWebsiteEnabled);
    cmdRemoveWebsite_->setEnabled(model_.removeWebsiteEnabled);
    cmdAddProgram_->setEnabled(model_.addProgramEnabled);
    cmdRemoveProgram_->setEnabled(model_.removeProgramEnabled);
    ApplyRequests();
}

void frmUserDetails::ApplyRequests() {
    if (model_.hideRequested) {
        model_.hideRequested = false;
        done(model_.Cancelled ? QDialog::Rejected : QDialog::Accepted);
        return;
    }
    const auto focus = model_.focusRequest;
    model_.focusRequest = M::Focus::None;
    QWidget* target = focus == M::Focus::Login            ? static_cast<QWidget*>(txtUserLogin_)
                      : focus == M::Focus::DisplayMessage ? static_cast<QWidget*>(txtDisplayMessage_)
                                                          : nullptr;
    if (!target) return;
    // A box on another tab cannot take the focus until its tab is in front.
    tabDetails_->setCurrentIndex(0);
    target->setFocus(Qt::OtherFocusReason);
    if (target == txtUserLogin_) SelectAllText(target);
}

}  // namespace corvane
