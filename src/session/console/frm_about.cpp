#include "session/console/frm_about.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/core/carry_on.h"
#include "session/console/console_model.h"
#include "session/console/stock_pictures.h"
#include "session/launchers/launchers.h"
#include "ui/helpers/screen_metrics.h"
#include "ui_core/help.h"

namespace corvane {

frmAbout::frmAbout(const ISetup& setup, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setAttribute(Qt::WA_DeleteOnClose);

    picIcon_ = new QLabel(this);
    picIcon_->setObjectName(QStringLiteral("picIcon"));
    picIcon_->setPixmap(ProductPicture(48));
    picIcon_->setCursor(Qt::PointingHandCursor);
    picIcon_->setAlignment(Qt::AlignTop);
    picIcon_->installEventFilter(this);

    lblTitle_ = new QLabel(this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    QFont title = lblTitle_->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.6);
    lblTitle_->setFont(title);
    lblVersion_ = new QLabel(this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblCopyright_ = new QLabel(this);
    lblCopyright_->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright_->setWordWrap(true);
    for (QLabel* label : {lblTitle_, lblVersion_, lblCopyright_}) label->setTextFormat(Qt::PlainText);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdSysInfo_ = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo_->setAutoDefault(false);
    for (QPushButton* b : {cmdOK_, cmdSysInfo_}) b->setMinimumWidth(ui::ToPixelsX(1500));

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle_);
    text->addWidget(lblVersion_);
    text->addSpacing(ui::ToPixelsY(120));
    text->addWidget(lblCopyright_);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon_);
    top->addSpacing(ui::ToPixelsX(180));
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdSysInfo_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);
    setFixedSize(ui::ToPixelsX(5800), ui::ToPixelsY(3000));

    // OK is the default and, through reject (Escape), the cancel button.
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    // The tool is a program like any other: the program rule decides.
    connect(cmdSysInfo_, &QPushButton::clicked, this, [] { ShowSystemInformation(ConsoleModel::MayStartProgram); });

    CarryOn([&] { setWindowTitle(QStringLiteral("About ") + QString::fromStdString(setup.ProductName())); });
    CarryOn([&] { lblVersion_->setText(QStringLiteral("Version: ") + QString::fromStdString(setup.FileVersion())); });
    CarryOn([&] { lblTitle_->setText(QString::fromStdString(setup.ProductName())); });
    CarryOn([&] { lblCopyright_->setText(QString::fromStdString(setup.LegalCopyright())); });
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picIcon_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // A new browser window; the about window stays open.
        ShowWebBrowserAt(kMakerHomeAddress);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace corvane
