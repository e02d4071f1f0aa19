#include "app/screenshot_recorder.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "platform/core/environment.h"

namespace corvane {

ScreenshotRecorder::ScreenshotRecorder(QString folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {}

void ScreenshotRecorder::InstallFromEnvironment() {
    const std::string folder = environment::Variable("CORVANE_SCREENSHOT_DIR");
    if (folder.empty() || !qApp) return;
    qApp->installEventFilter(new ScreenshotRecorder(QString::fromStdString(folder), qApp));
}

bool ScreenshotRecorder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow() || !window->objectName().startsWith(QLatin1String("frm")))
        return false;
    const QString file = QDir(folder_).filePath(
        QStringLiteral("%1-%2.png").arg(++count_, 2, 10, QLatin1Char('0')).arg(window->objectName()));
    // Once it has painted; a window gone by then is skipped.
    QPointer<QWidget> guard(window);
    QTimer::singleShot(400, this, [this, guard, file] {
        if (!guard || !guard->isVisible()) return;
        QDir().mkpath(folder_);
        guard->grab().save(file);
    });
    return false;
}

}  // namespace corvane
