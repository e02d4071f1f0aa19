#include "ui/helpers/nested_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDrag>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <vector>

// The loops a dialog, menu or popup can run in Corvane's process while a
// session may end, and what ends each at the session's end. They are the
// known members; the rule does not count them: no window goes while any loop
// beyond the main one runs, and the session's end ends every modal window,
// popup and drag in the process, innermost first.
//   - the page's alert, confirm, prompt and "leave this page?" boxes:
//     Corvane's own boxes, counted (engine_page_dialogs);
//   - HTTP and proxy authentication, certificate errors: no dialog, the
//     engine's request is refused;
//   - <input type=color>: the engine's colour dialog, window-modal, no loop;
//   - <select> and the date pickers: the engine's popup windows, no loop;
//   - the page's and the address box's context menus, a combo box's list,
//     the tray's menu: popups; a menu run with exec() has a loop;
//   - the file chooser, the print dialog and Page Setup, Corvane's message
//     boxes: counted dialogs;
//   - Corvane's windows run with exec() or RunModal: modal, a loop each;
//   - tool tips: no loop, no window's own;
//   - drag and drop: QDrag's loop, cancelled.

namespace corvane {
namespace {

// The program's main loop (QApplication::exec); a loop above it is nested.
constexpr int kMainLoopLevel = 1;
// Until the loops above the main one have returned, pending windows are looked at this often.
constexpr int kPendingPollMs = 20;

int gDepth = 0;

// The running dialogs, each with the window it was opened for: its parent's
// window, or for a box without a parent the window active when it opened.
struct Running {
    QPointer<QDialog> dialog;
    QPointer<QWidget> opener;
};

std::vector<Running>& RunningDialogs() {
    static std::vector<Running> running;
    return running;
}

struct PendingClose {
    QPointer<QWidget> window;
    bool deleteAfter = false;
};

std::vector<PendingClose>& Pending() {
    static std::vector<PendingClose> pending;
    return pending;
}

int Depth(const QWidget* widget) {
    int depth = 0;
    while ((widget = widget->parentWidget())) ++depth;
    return depth;
}

bool Within(const QWidget* widget, const QWidget* window) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w == window) return true;
    return false;
}

// A shown window that runs a loop, or takes the input as a popup does.
bool EndsFirst(const QWidget* w) {
    return w->isVisible() && (qobject_cast<const QDialog*>(w) || w->isModal() || w->windowType() == Qt::Popup);
}

bool OpenedBy(const QWidget* widget, const QWidget* window) {
    if (widget != window && Within(widget, window)) return true;
    for (const Running& running : RunningDialogs())
        if (running.dialog == widget && running.opener && Within(running.opener, window)) return true;
    return false;
}

// Its loop is asked to return; a dialog is rejected, anything else closed.
void End(QWidget* widget) {
    if (auto* dialog = qobject_cast<QDialog*>(widget)) dialog->reject();
    else widget->close();
}

// The innermost first: each loop returns into the one below it.
void EndDeepestFirst(std::vector<QPointer<QWidget>> widgets) {
    std::sort(widgets.begin(), widgets.end(),
              [](const QPointer<QWidget>& a, const QPointer<QWidget>& b) { return Depth(a) > Depth(b); });
    for (const QPointer<QWidget>& widget : widgets)
        if (widget) End(widget);
}

void ClosePending();

QTimer& PendingPoll() {
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(qApp);
        timer->setInterval(kPendingPollMs);
        QObject::connect(timer, &QTimer::timeout, &ClosePending);
    }
    return *timer;
}

void ClosePending() {
    // Still under a loop (one opened meanwhile too): the windows wait for it.
    if (NestedLoopRuns()) {
        if (!Pending().empty() && !PendingPoll().isActive()) PendingPoll().start();
        return;
    }
    PendingPoll().stop();
    for (const PendingClose& close : std::exchange(Pending(), {})) {
        if (!close.window) continue;
        close.window->close();
        if (close.deleteAfter && close.window) close.window->deleteLater();
    }
}

}  // namespace

int RunNestedDialog(QDialog& dialog) {
    ++gDepth;
    QWidget* opener = dialog.parentWidget() ? dialog.parentWidget()->window() : QApplication::activeWindow();
    RunningDialogs().push_back({&dialog, opener != &dialog ? opener : nullptr});
    struct Leave {
        QDialog* dialog;
        ~Leave() {
            auto& running = RunningDialogs();
            running.erase(std::remove_if(running.begin(), running.end(),
                                         [&](const Running& r) { return r.dialog == dialog || !r.dialog; }),
                          running.end());
            // Queued: the handler that ran the dialog finishes before its window goes.
            if (--gDepth == 0 && !Pending().empty()) QTimer::singleShot(0, qApp, &ClosePending);
        }
    } leave{&dialog};
    return dialog.exec();
}

int NestedDialogDepth() { return gDepth; }

bool NestedLoopRuns() { return gDepth > 0 || (qApp && QThread::currentThread()->loopLevel() > kMainLoopLevel); }

bool CloseAfterNestedDialogs(QWidget* window, bool deleteAfter) {
    if (!window || !NestedLoopRuns()) return false;
    std::vector<QPointer<QWidget>> opened;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (EndsFirst(w) && OpenedBy(w, window)) opened.emplace_back(w);
    // A counted dialog run above one of those holds its loop, whoever opened it (a box without
    // a parent opened while no window was active): it ends too.
    const auto opens = [&](const QWidget* w) { return std::find(opened.begin(), opened.end(), w) != opened.end(); };
    const std::vector<Running> running = RunningDialogs();
    const auto lowest =
        std::find_if(running.begin(), running.end(), [&](const Running& r) { return r.dialog && opens(r.dialog); });
    for (auto above = lowest; above != running.end(); ++above)
        if (above->dialog && !opens(above->dialog)) opened.emplace_back(above->dialog.data());
    EndDeepestFirst(std::move(opened));
    window->hide();
    const auto known = std::find_if(Pending().begin(), Pending().end(),
                                    [&](const PendingClose& close) { return close.window == window; });
    if (known == Pending().end()) Pending().push_back({window, deleteAfter});
    else known->deleteAfter = known->deleteAfter || deleteAfter;
    PendingPoll().start();
    return true;
}

void EndEveryDialog() {
    if (!qApp) return;
    // A drag's loop lies above everything; with none running this does nothing.
    QDrag::cancel();
    std::vector<QPointer<QWidget>> tried;
    const auto endOnce = [&](QWidget* widget) {
        if (!widget || std::find(tried.begin(), tried.end(), widget) != tried.end()) return false;
        tried.emplace_back(widget);
        End(widget);
        return true;
    };
    // Popups lie above every modal window; modal windows end the one shown last first.
    while (endOnce(QApplication::activePopupWidget())) {}
    while (endOnce(QApplication::activeModalWidget())) {}
    // One that refused to close hides those below it from the two above.
    std::vector<QPointer<QWidget>> rest;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->isModal() || w->windowType() == Qt::Popup) &&
            std::find(tried.begin(), tried.end(), w) == tried.end())
            rest.emplace_back(w);
    EndDeepestFirst(std::move(rest));
}

}  // namespace corvane
