#include "session/launchers/window_factories.h"

#include <QDialog>
#include <QHash>
#include <QWidget>
#include <exception>

#include "session/launchers/placeholder_window.h"
#include "ui/helpers/nested_dialogs.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {
namespace {

struct Registration {
    WindowFactory make;
    InputSetter setInput;
};

QHash<QString, Registration>& Factories() {
    static QHash<QString, Registration> factories;
    return factories;
}

QHash<QString, QPointer<QWidget>>& SharedWindows() {
    static QHash<QString, QPointer<QWidget>> windows;
    return windows;
}

}  // namespace

void RegisterWindowFactory(const QString& objectName, WindowFactory factory, InputSetter setInput) {
    Factories().insert(objectName, {std::move(factory), std::move(setInput)});
}

QWidget* CreateWindow(const QString& objectName) {
    QWidget* window = nullptr;
    if (const auto it = Factories().constFind(objectName); it != Factories().constEnd() && it->make)
        window = it->make();
    if (!window) window = MakePlaceholderWindow(objectName);
    window->setObjectName(objectName);
    return window;
}

QPointer<QWidget>& SharedWindow(const QString& objectName) { return SharedWindows()[objectName]; }

void SetInputs(QWidget* window, std::initializer_list<std::pair<const char*, QVariant>> inputs) {
    if (!window) return;
    const auto it = Factories().constFind(window->objectName());
    const InputSetter setInput = it != Factories().constEnd() ? it->setInput : InputSetter();
    for (const auto& [name, value] : inputs) {
        try {
            if (setInput) setInput(window, name, value);
            else window->setProperty(name, value);
        } catch (const std::exception&) {
            // A launcher goes on with the next input.
        }
    }
}

void ShowModal(QWidget* window) {
    if (!window) return;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->exec();
        return;
    }
    RunModal(window);
}

void ShowModeless(QWidget* window) {
    if (!window) return;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();
}

void UnloadWindow(QWidget* window) {
    if (!window) return;
    // Under a dialog of its own still in its loop it closes, and goes, once they returned.
    const bool later = CloseAfterNestedDialogs(window, true);
    if (!later) window->close();
    // The window registry counts windows named "frm…"; one waiting for its
    // deletion is no longer loaded.
    window->setObjectName(QStringLiteral("unloaded ") + window->objectName());
    window->hide();
    if (!later) window->deleteLater();
}

}  // namespace corvane
