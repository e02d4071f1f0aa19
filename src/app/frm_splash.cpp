#include "app/frm_splash.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_title.h"
#include "platform/core/version_info.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui_core/ui_services.h"

namespace corvane {
namespace {

int& UnloadInterval() {
    static int interval = 1000;
    return interval;
}

}  // namespace

QString SplashVersionText() {
    return QStringLiteral("Version: %1.%2.%3").arg(version::kMajor).arg(version::kMinor).arg(version::kRevision);
}

void frmSplash::SetUnloadInterval(int milliseconds) { UnloadInterval() = milliseconds; }

frmSplash::frmSplash(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    lblSplash_ = new QLabel(this);
    lblSplash_->setObjectName(QStringLiteral("lblSplash"));
    QPalette p = lblSplash_->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    lblSplash_->setPalette(p);
    connect(&tmrUnload_, &QTimer::timeout, this, [this] {
        tmrUnload_.stop();
        accept();
    });
    // Each step on its own: a failing one leaves the rest, and the timer.
    RunIgnoringErrors({
        [&] { setFixedSize(ui::ToPixels(7800, 5300)); },
        [&] {
            lblSplash_->setText(SplashVersionText());
            lblSplash_->adjustSize();
            lblSplash_->move(width() - lblSplash_->width() - 24, height() - lblSplash_->height() - 48);
        },
        [&] {
            tmrUnload_.setInterval(UnloadInterval());
            tmrUnload_.start();
        },
        [&] { LoadSplashPicture(); },
        [&] { CenterForm(this); },
    });
}

void frmSplash::LoadSplashPicture() {
    const std::string path = environment::ProgramFolder() + "/" + kProgramTitle + ".jpg";
    if (!ui::Services().fileExists(path)) return;
    QPixmap picture;
    if (picture.load(QString::fromStdString(path))) picture_ = picture;
    update();
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!picture_.isNull()) {
        painter.drawPixmap(rect(), picture_);
        return;
    }
    // The built-in picture.
    QLinearGradient band(0, 0, 0, height());
    band.setColorAt(0, QColor(0, 0, 255));
    band.setColorAt(1, QColor(0, 0, 0));
    painter.fillRect(rect(), band);
    painter.setPen(Qt::white);
    QFont title = font();
    title.setPointSize(36);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(40, 70, width() - 80, 70), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Corvane"));
    QFont edition = font();
    edition.setPointSize(18);
    painter.setFont(edition);
    painter.drawText(QRect(44, 140, width() - 80, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromLatin1(version::kProductName));
    QFont small = font();
    small.setPointSize(9);
    painter.setFont(small);
    painter.drawText(QRect(44, 190, width() - 88, 60), Qt::AlignLeft | Qt::TextWordWrap,
                     QString::fromLatin1(version::kComments));
    painter.drawText(QRect(44, height() - 40, width() - 88, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromLatin1(version::kLegalCopyright));
}

}  // namespace corvane
