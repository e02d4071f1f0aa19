#include "session/console/frm_tip.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "session/console/stock_pictures.h"
#include "ui/helpers/screen_metrics.h"

namespace corvane {
namespace {

QString Message(int number, int format = kCaseAsIs) {
    return QString::fromStdString(GetMessageText(number, gLanguage, std::nullopt, format));
}

std::function<void()>& Saver() {
    static std::function<void()> saver;
    return saver;
}

}  // namespace

frmTip::frmTip(TipList::Random random, QWidget* parent) : QDialog(parent), tips_(std::move(random)) {
    setObjectName(QStringLiteral("frmTip"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    picture1_ = new QLabel(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setPixmap(StockPictures(32).Picture(4).pixmap(32, 32));
    picture1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    picture1_->setFixedWidth(ui::ToPixelsX(700));

    label1_ = new QLabel(QStringLiteral("Did you know..."), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont heading = label1_->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    label1_->setFont(heading);

    lblTipText_ = new QLabel(this);
    lblTipText_->setObjectName(QStringLiteral("lblTipText"));
    lblTipText_->setTextFormat(Qt::PlainText);
    lblTipText_->setWordWrap(true);
    lblTipText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* tipArea = new QFrame(this);
    tipArea->setFrameShape(QFrame::StyledPanel);
    tipArea->setAutoFillBackground(true);
    QPalette white = tipArea->palette();
    white.setColor(QPalette::Window, Qt::white);
    tipArea->setPalette(white);
    auto* tipLayout = new QHBoxLayout(tipArea);
    tipLayout->addWidget(picture1_);
    auto* textLayout = new QVBoxLayout;
    textLayout->addWidget(label1_);
    textLayout->addWidget(lblTipText_, 1);
    tipLayout->addLayout(textLayout, 1);

    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdNextTip_ = new QPushButton(this);
    cmdNextTip_->setObjectName(QStringLiteral("cmdNextTip"));
    cmdNextTip_->setAutoDefault(false);
    chkLoadTipsAtStartup_ = new QCheckBox(this);
    chkLoadTipsAtStartup_->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdNextTip_);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(tipArea, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(chkLoadTipsAtStartup_);
    setFixedSize(ui::ToPixelsX(6200), ui::ToPixelsY(3700));

    // OK is the default and, through reject (Escape, close box), the cancel
    // button; either way the window unloads.
    setAttribute(Qt::WA_DeleteOnClose);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdNextTip_, &QPushButton::clicked, this, [this] { cmdNextTip_Click(); });
    // Only the user's click saves; setting the box while loading does not.
    connect(chkLoadTipsAtStartup_, &QCheckBox::clicked, this, [this](bool on) { chkLoadTipsAtStartup_Click(on); });

    formLoad_ = true;
    chkLoadTipsAtStartup_->setChecked(gShowTipsOfTheDay);
    if (!LoadTips(TipList::TipsFile(gTipsOfTheDayPathName)))
        lblTipText_->setText(QString::fromStdString(TipList::HelpText()));
}

void frmTip::SetSettingsSaver(std::function<void()> saver) { Saver() = std::move(saver); }

bool frmTip::LoadTips(const std::string& sFile) {
    if (!tips_.Load(sFile)) return false;
    DisplayCurrentTip();
    return true;
}

void frmTip::DisplayCurrentTip() {
    if (const std::string* tip = tips_.CurrentTip()) lblTipText_->setText(QString::fromStdString(*tip));
}

void frmTip::SetLanguage() {
    setWindowTitle(Message(191));
    cmdOK_->setText(Message(33, kCaseUpper));
    cmdNextTip_->setText(Message(176));
    chkLoadTipsAtStartup_->setText(Message(572));
}

void frmTip::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The first show stands in for the first activation.
    if (!formLoad_) return;
    formLoad_ = false;
    SetLanguage();
}

void frmTip::cmdNextTip_Click() {
    tips_.PickRandom();
    DisplayCurrentTip();
}

void frmTip::chkLoadTipsAtStartup_Click(bool checked) {
    gShowTipsOfTheDay = checked;
    if (Saver()) Saver()();
    else SaveGlobalSettings();
}

}  // namespace corvane
