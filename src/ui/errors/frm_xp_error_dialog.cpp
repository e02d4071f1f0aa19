#include "ui/errors/frm_xp_error_dialog.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "errors/error_handler.h"
#include "ui/errors/frm_error_debug.h"
#include "ui_core/help.h"
#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/link_label.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_metrics.h"

namespace corvane {
namespace {

constexpr double kClientWidth = 5910;
constexpr double kClientHeight = 2775;
constexpr double kBannerHeight = 975;

struct Link {
    const char* caption;
    double left;
    std::int32_t answer;  // 0: the link leaves the dialog open
    const char* toolTip;
};
constexpr std::array<Link, 5> kLinks{{
    {"Abort", 60, 3, "Abort current Process"},
    {"Retry", 750, 4, "Retry current Process"},
    {"Ignore", 1470, 5, "Ignore current Process"},
    {"Help", 4170, 0, "Open the Help File"},
    {"Debug", 5010, 0, "Open the Debugging Window"},
}};

QFont Tahoma(bool bold) {
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSizeF(8.25);
    f.setBold(bold);
    return f;
}

QLabel* NewLabel(QWidget* parent, const char* name, const ui::TwipsRect& place) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(ui::ToPixels(place));
    return label;
}

QFrame* NewLine(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

frmXPErrorDialog::frmXPErrorDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmXPErrorDialog"));
    setFixedSize(ui::ToPixels(kClientWidth, kClientHeight));

    picBanner_ = new QWidget(this);
    picBanner_->setObjectName(QStringLiteral("picBanner"));
    picBanner_->setAutoFillBackground(true);
    QPalette banner = picBanner_->palette();
    banner.setColor(QPalette::Window, Qt::white);
    picBanner_->setPalette(banner);
    picBanner_->setGeometry(ui::ToPixels({0, 0, 6000, kBannerHeight}));
    HeaderCaption_ = NewLabel(picBanner_, "HeaderCaption", {180, 120, 4750, 195});
    HeaderCaption_->setFont(Tahoma(true));
    ErrorMessage_ = NewLabel(picBanner_, "ErrorMessage", {180, 420, 4750, 435});
    ErrorMessage_->setFont(Tahoma(false));
    ErrorMessage_->setWordWrap(true);
    lnLower_ = NewLine(this, "lnLower");
    lnLower2_ = NewLine(this, "lnLower2");

    SelectOptionsCaption_ = NewLabel(this, "SelectOptionsCaption", {180, 1170, 5500, 315});
    SelectOptionsCaption_->setText(QStringLiteral("Please select the options below to resume work:-"));
    for (std::size_t i = 0; i < kLinks.size(); ++i) {
        auto* link = new LinkLabel(QString::fromLatin1(kLinks[i].caption), this);
        link->setObjectName(QStringLiteral("lblErrSelect%1").arg(i));
        link->setGeometry(ui::ToPixels({kLinks[i].left, 1560, 750, 255}));
        connect(link, &LinkLabel::clicked, this, [this, i] { LinkClicked(static_cast<int>(i)); });
        lblErrSelect_[i] = link;
    }
    ContactMessage_ = NewLabel(this, "ContactMessage", {210, 1950, 5505, 195});

    cmdClose_ = new QPushButton(QStringLiteral("Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setGeometry(ui::ToPixels({4650, 2340, 1155, 345}));
    cmdClose_->setDefault(true);
    // Closing answers nothing: Response stays 0.
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::reject);
}

void frmXPErrorDialog::Apply(const ErrorDialogRequest& request) {
    SetHelpFile(request.helpFile);
    EnableSendErrorReport = request.enableSendErrorReport;
    ErrorReportEmail = request.errorReportEmail;
    AppErrorLog = request.appErrorLog;
    setWindowTitle(QString::fromStdString(request.caption));
    HeaderCaption_->setText(QString::fromStdString(request.headerCaption));
    ErrorMessage_->setText(QString::fromStdString(request.errorMessage));
    ContactMessage_->setText(QString::fromStdString(request.contactMessage));
    ErrorReportString = request.errorReportString;
}

int frmXPErrorDialog::Run(const ErrorDialogRequest& request) {
    frmXPErrorDialog dialog;
    dialog.Apply(request);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        dialog.move(area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
        KeepOnScreen(&dialog, area);
    }
    dialog.exec();
    return dialog.Response;
}

void frmXPErrorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!formLoad_) return;
    formLoad_ = false;
    SetOptionToolTips();
    ResetProgramPointer();
    unsetCursor();
}

void frmXPErrorDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    picBanner_->setGeometry(0, 0, width(), picBanner_->height());
    const int bottom = picBanner_->geometry().bottom();
    lnLower_->setGeometry(0, bottom - ui::ToPixelsY(30), width(), 2);
    lnLower2_->setGeometry(0, bottom - ui::ToPixelsY(10), width(), 2);
}

void frmXPErrorDialog::SetOptionToolTips() {
    if (!ShowToolTips) return;
    for (std::size_t i = 0; i < kLinks.size(); ++i)
        lblErrSelect_[i]->setToolTip(QString::fromLatin1(kLinks[i].toolTip));
}

void frmXPErrorDialog::LinkClicked(int index) {
    const Link& link = kLinks[static_cast<std::size_t>(index)];
    if (link.answer != 0) {
        Response = link.answer;
        hide();
        return;
    }
    if (index == 3) {
        ShowHelpFile(helpFile_);
    } else {
        ShowDebugWindow();
    }
}

void frmXPErrorDialog::ShowDebugWindow() {
    try {
        frmErrorDebug debug(this);
        debug.EnableSendErrorReport = EnableSendErrorReport;
        debug.ErrorReportEmail = ErrorReportEmail;
        debug.SetHelpFile(helpFile_);
        debug.AppErrorLog = AppErrorLog;
        debug.SetErrorDetails(ErrorReportString);
        debug.exec();
    } catch (...) {
        // The dialog stays usable whatever the debug window met.
    }
}

void InstallErrorReporting() {
    InstallErrorHandler();
    SetErrorDialogPresenter(std::make_shared<XPErrorDialogPresenter>());
}

}  // namespace corvane
