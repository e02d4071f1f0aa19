#include "admin/security/frm_security.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "admin/security/frm_lockdown_warning.h"
#include "admin/security/window_parts.h"
#include "platform/core/error_trap.h"
#include "session/launchers/launchers.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {

frmSecurity::frmSecurity(QWidget* parent) : frmSecurity(SecurityWindowServicesWithWarning(nullptr), parent) {}

frmSecurity::frmSecurity(SecurityWindowServices services, QWidget* parent)
    : QDialog(parent), logic_(std::move(services)) {
    setObjectName(QStringLiteral("frmSecurity"));
    Build();
    SetIsDirty(false);
    ShowState();
    CenterForm(this);
}

void frmSecurity::Build() {
    sldSecurity_ = new QSlider(Qt::Vertical);
    sldSecurity_->setObjectName(QStringLiteral("sldSecurity"));
    sldSecurity_->setRange(SecurityLevelLogic::kTopPosition, SecurityLevelLogic::kBottomPosition);
    sldSecurity_->setPageStep(1);
    sldSecurity_->setTickPosition(QSlider::TicksBothSides);
    sldSecurity_->setTickInterval(1);
    // Position 0 at the top; the value reaches the window only when released.
    sldSecurity_->setInvertedAppearance(true);
    sldSecurity_->setInvertedControls(true);
    sldSecurity_->setTracking(false);
    sldSecurity_->setMinimumHeight(150);
    lblSecurityLevel_ = new QLabel;
    lblSecurityLevel_->setObjectName(QStringLiteral("lblSecurityLevel"));
    QFont bold = lblSecurityLevel_->font();
    bold.setBold(true);
    lblSecurityLevel_->setFont(bold);
    lblSecurityDescription_ = new QLabel;
    lblSecurityDescription_->setObjectName(QStringLiteral("lblSecurityDescription"));
    lblSecurityDescription_->setWordWrap(true);
    lblSecurityDescription_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblSecurityDescription_->setMinimumHeight(110);
    lblInstructions_ = new QLabel;
    lblInstructions_->setObjectName(QStringLiteral("lblInstructions"));
    lblInstructions_->setWordWrap(true);
    cmdAdvanced_ = new QPushButton;
    cmdAdvanced_->setObjectName(QStringLiteral("cmdAdvanced"));
    cmdReset_ = new QPushButton(QStringLiteral("Reset"));
    cmdReset_->setObjectName(QStringLiteral("cmdReset"));

    fraLockdown_ = new QGroupBox;
    fraLockdown_->setObjectName(QStringLiteral("fraLockdown"));
    auto* levelText = new QVBoxLayout;
    levelText->addWidget(lblSecurityLevel_);
    levelText->addWidget(lblSecurityDescription_, 1);
    auto* frame = new QHBoxLayout(fraLockdown_);
    frame->addWidget(sldSecurity_);
    frame->addSpacing(10);
    frame->addLayout(levelText, 1);

    auto* page = new QWidget;
    auto* pageButtons = new QHBoxLayout;
    pageButtons->addStretch();
    pageButtons->addWidget(cmdReset_);
    pageButtons->addWidget(cmdAdvanced_);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(lblInstructions_);
    pageLayout->addWidget(fraLockdown_, 1);
    pageLayout->addLayout(pageButtons);
    tabOptions_ = new QTabWidget;
    tabOptions_->setObjectName(QStringLiteral("tabOptions"));
    tabOptions_->addTab(page, QString());

    for (QPushButton* button : {cmdAdvanced_, cmdReset_}) button->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabOptions_, 1);
    footer_.Build(this, layout);
    resize(460, 420);

    connect(sldSecurity_, &QSlider::valueChanged, this, &frmSecurity::sldSecurity_Scroll);
    connect(footer_.cmdOK, &QPushButton::clicked, this, &frmSecurity::cmdOK_Click);
    connect(footer_.cmdCancel, &QPushButton::clicked, this, &frmSecurity::reject);
    connect(footer_.cmdApply, &QPushButton::clicked, this, &frmSecurity::cmdApply_Click);
    connect(cmdReset_, &QPushButton::clicked, this, &frmSecurity::cmdReset_Click);
    connect(cmdAdvanced_, &QPushButton::clicked, this, &frmSecurity::cmdAdvanced_Click);
    // The window has one page; Ctrl+Tab brings it forward.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this), &QShortcut::activated, this,
            [this] { tabOptions_->setCurrentIndex(0); });
}

void frmSecurity::SetLanguage() {
    setWindowTitle(MessageText(148));
    tabOptions_->setTabText(0, MessageText(45));
    footer_.SetLanguage();
    cmdAdvanced_->setText(MessageText(21));
    lblInstructions_->setText(MessageText(678));
    fraLockdown_->setTitle(MessageText(184));
}

void frmSecurity::SetIsDirty(bool value) {
    logic_.IsDirty = value;
    footer_.ShowDirty(value);
}

void frmSecurity::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (formLoad_) QTimer::singleShot(0, this, &frmSecurity::FirstActivation);
}

void frmSecurity::FirstActivation() {
    if (!formLoad_) return;
    formLoad_ = false;
    RunIgnoringErrors({[&] { SetLanguage(); }, [&] { LoadSettings(); }});
}

void frmSecurity::LoadSettings() {
    BusyPointer busy;
    setWindowTitle(QString::fromStdString(logic_.Caption()));
    logic_.LoadSettings();
    ShowState();
}

// The slider, the level's texts and the dirty marks as the logic has them.
void frmSecurity::ShowState() {
    const QSignalBlocker quiet(sldSecurity_);
    sldSecurity_->setValue(logic_.Position());
    const QString name = QString::fromStdString(logic_.LevelName());
    lblSecurityLevel_->setText(name);
    lblSecurityDescription_->setText(QString::fromStdString(logic_.LevelDescription()));
    sldSecurity_->setToolTip(name);
    SetIsDirty(logic_.IsDirty);
}

void frmSecurity::sldSecurity_Scroll(int position) {
    RunTrapped("frmSecurity.sldSecurity_Scroll", {[&] { logic_.SliderMoved(position); }});
    ShowState();
}

void frmSecurity::cmdApply_Click() {
    RunTrapped("frmSecurity.cmdApply_Click", {[&] {
        setCursor(Qt::WaitCursor);
        logic_.Apply();
    }});
    unsetCursor();
    ShowState();
}

void frmSecurity::cmdOK_Click() {
    bool hide = false;
    RunTrapped("frmSecurity.cmdOK_Click", {[&] { hide = logic_.Ok(); }});
    ShowState();
    if (hide) QDialog::accept();
}

void frmSecurity::reject() {
    logic_.Cancel();
    QDialog::reject();
}

void frmSecurity::cmdReset_Click() {
    RunTrapped("frmSecurity.cmdReset_Click", {[&] { logic_.Reset(); }});
    ShowState();
}

void frmSecurity::cmdAdvanced_Click() {
    RunTrapped("frmSecurity.cmdAdvanced_Click", {[&] { ShowAdvancedSecurity(); }, [&] { logic_.AfterAdvanced(); }});
}

}  // namespace corvane
