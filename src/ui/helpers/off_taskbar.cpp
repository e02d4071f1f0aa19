#include "ui/helpers/off_taskbar.h"

#include <QEvent>
#include <QWidget>
#include <utility>

#include "ui/platform_qt/x11_skip_taskbar.h"

namespace corvane {
namespace {

TaskbarRequest& Request() {
    static TaskbarRequest request;
    return request;
}

void Ask(QWidget* window) {
    if (Request())
        Request()(window);
    else
        X11SkipTaskbar(window->windowHandle());
}

// Asks on every show: the show event comes after the native window is made
// and before it is mapped.
class TaskbarKeeper : public QObject {
public:
    static constexpr const char* kName = "corvaneTaskbarKeeper";
    explicit TaskbarKeeper(QWidget* window) : QObject(window) {
        setObjectName(QLatin1String(kName));
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) Ask(static_cast<QWidget*>(watched));
        return false;
    }
};

}  // namespace

void KeepOffTaskbar(QWidget* window) {
    if (!window || window->findChild<QObject*>(QLatin1String(TaskbarKeeper::kName), Qt::FindDirectChildrenOnly)) return;
    new TaskbarKeeper(window);
    if (window->isVisible()) Ask(window);
}

TaskbarRequest SetTaskbarRequest(TaskbarRequest request) { return std::exchange(Request(), std::move(request)); }

}  // namespace corvane
