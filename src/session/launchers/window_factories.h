#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

class QWidget;

namespace corvane {

// Every window the launchers open is made by the factory registered for its
// object name; a name without one gets a placeholder that shows the inputs it
// was given. A real window replaces its placeholder with one line, e.g.
//   RegisterWindowFactory("frmTip", [] { return new frmTip; });
// Its inputs (the names in launchers.h) reach it as Qt properties, or through
// the input setter given with the factory.
using WindowFactory = std::function<QWidget*()>;
using InputSetter = std::function<void(QWidget* window, const char* name, const QVariant& value)>;
void RegisterWindowFactory(const QString& objectName, WindowFactory factory, InputSetter setInput = {});

// A new window of that object name, not shown. Never null.
QWidget* CreateWindow(const QString& objectName);

// The one shared instance of that object name: null until it is made and
// again once the window has been deleted.
QPointer<QWidget>& SharedWindow(const QString& objectName);

// Sets the inputs in the order given; a failing one is skipped.
void SetInputs(QWidget* window, std::initializer_list<std::pair<const char*, QVariant>> inputs);

// Shows the window modally and returns when it has been hidden or deleted.
void ShowModal(QWidget* window);

// Shows a modeless window (again) and brings it forward; it deletes itself
// when closed.
void ShowModeless(QWidget* window);

// Closes the window and deletes it once control is back in the event loop,
// so it may be called from inside the window's own handlers. From here on
// the window no longer counts as loaded.
void UnloadWindow(QWidget* window);

}  // namespace corvane
