#include "ui/helpers/nested_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <vector>

namespace corvane {
namespace {

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

bool OpenedBy(const QDialog* dialog, const QWidget* window) {
    if (dialog != window && Within(dialog, window)) return true;
    for (const Running& running : RunningDialogs())
        if (running.dialog == dialog && running.opener && Within(running.opener, window)) return true;
    return false;
}

void ClosePending() {
    // A dialog opened again meanwhile: its return closes them.
    if (gDepth > 0) return;
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

bool CloseAfterNestedDialogs(QWidget* window, bool deleteAfter) {
    if (!window || gDepth == 0) return false;
    std::vector<QPointer<QDialog>> dialogs;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible() && OpenedBy(dialog, window))
            dialogs.emplace_back(dialog);
    // The innermost first: each loop returns into the one below it.
    std::sort(dialogs.begin(), dialogs.end(),
              [](const QPointer<QDialog>& a, const QPointer<QDialog>& b) { return Depth(a) > Depth(b); });
    for (const QPointer<QDialog>& dialog : dialogs)
        if (dialog) dialog->reject();
    window->hide();
    const auto known = std::find_if(Pending().begin(), Pending().end(),
                                    [&](const PendingClose& close) { return close.window == window; });
    if (known == Pending().end()) Pending().push_back({window, deleteAfter});
    else known->deleteAfter = known->deleteAfter || deleteAfter;
    return true;
}

}  // namespace corvane
