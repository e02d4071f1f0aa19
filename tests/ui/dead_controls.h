#pragma once

// Finds the controls of a window a user can press that nothing answers: a
// push button, tool button or check box with no receiver on its
// clicked/toggled signals, or a menu or tool-bar action with none on
// triggered/toggled. Qt's own plumbing (a menu's or tool button's link to its
// actions, an action group's, a button box's) is measured on fresh objects and
// left out, so only the program's handlers count; a button group, a button
// box's signals, a menu's triggered, a button that opens a menu and a click
// an event filter takes count as handled.

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace corvane::test {

namespace dead_controls {

// receivers() is protected; a member pointer named through a subclass may
// call it on any object.
struct SignalPeek : QObject {
    static int Receivers(const QObject* object, const QMetaMethod& signal) {
        const QByteArray code = QByteArray::number(QSIGNAL_CODE) + signal.methodSignature();
        return (object->*&SignalPeek::receivers)(code.constData());
    }
};

// The receivers the program connected to one of the object's signals: all of
// them less those Qt itself connects on a fresh object set up the same way.
template <typename Object, typename Signal>
int Own(const Object* object, Signal signal, const Object* fresh) {
    const QMetaMethod method = QMetaMethod::fromSignal(signal);
    return SignalPeek::Receivers(object, method) - SignalPeek::Receivers(fresh, method);
}

template <typename Object, typename... Signals>
bool AnyOwn(const Object* object, const Object* fresh, Signals... sigs) {
    return ((Own(object, sigs, fresh) > 0) || ...);
}

// "window/name" for a report and the allow-list; a control without a name
// goes by its class and text.
inline std::string Name(const QWidget* window, const QObject* control, const QString& text) {
    QString name = control->objectName();
    if (name.isEmpty())
        name = QString::fromLatin1(control->metaObject()->className()) + QStringLiteral(" \"") +
               QString(text).remove(QLatin1Char('&')) + QStringLiteral("\"");
    return (window->objectName() + QLatin1Char('/') + name).toStdString();
}

inline bool ButtonGroupHandles(const QAbstractButton* button) {
    const QButtonGroup* group = button->group();
    const QButtonGroup fresh;
    return group && AnyOwn(group, &fresh, &QButtonGroup::buttonClicked, &QButtonGroup::idClicked,
                           &QButtonGroup::buttonToggled, &QButtonGroup::idToggled, &QButtonGroup::buttonPressed,
                           &QButtonGroup::idPressed);
}

// A button in a button box answers through the box's signal for its role.
inline bool ButtonBoxHandles(const QAbstractButton* button) {
    auto* box = qobject_cast<const QDialogButtonBox*>(button->parentWidget());
    if (!box) return false;
    const QDialogButtonBox fresh;
    if (AnyOwn(box, &fresh, &QDialogButtonBox::clicked)) return true;
    switch (box->buttonRole(const_cast<QAbstractButton*>(button))) {
        case QDialogButtonBox::AcceptRole:
        case QDialogButtonBox::YesRole: return AnyOwn(box, &fresh, &QDialogButtonBox::accepted);
        case QDialogButtonBox::RejectRole:
        case QDialogButtonBox::NoRole: return AnyOwn(box, &fresh, &QDialogButtonBox::rejected);
        case QDialogButtonBox::HelpRole: return AnyOwn(box, &fresh, &QDialogButtonBox::helpRequested);
        default: return false;
    }
}

// The button's own receivers of clicked, toggled, pressed or released, less
// what Qt connects (a box's link to its buttons, a tool button's to itself).
inline bool ButtonSignalsHandle(const QAbstractButton* button) {
    std::unique_ptr<QAbstractButton> fresh;
    if (qobject_cast<const QToolButton*>(button)) fresh = std::make_unique<QToolButton>();
    else if (qobject_cast<const QCheckBox*>(button)) fresh = std::make_unique<QCheckBox>();
    else fresh = std::make_unique<QPushButton>();
    QDialogButtonBox box;
    if (auto* owner = qobject_cast<const QDialogButtonBox*>(button->parentWidget()))
        box.addButton(fresh.get(), owner->buttonRole(const_cast<QAbstractButton*>(button)));
    const bool own = AnyOwn(button, fresh.get(), &QAbstractButton::clicked, &QAbstractButton::toggled,
                            &QAbstractButton::pressed, &QAbstractButton::released);
    box.removeButton(fresh.get());
    if (own) return true;
    auto* check = qobject_cast<const QCheckBox*>(button);
    return check && AnyOwn(check, static_cast<const QCheckBox*>(fresh.get()), &QCheckBox::stateChanged);
}

// hitButton() is protected: where on the button a press counts.
struct ButtonPeek : QAbstractButton {
    static bool Hits(const QAbstractButton* button, const QPoint& at) {
        return (button->*&ButtonPeek::hitButton)(at);
    }
};

// Whether a press on the button is taken before the button sees it: an event
// filter on it handles the click. The press goes where the button counts it
// and is kept from the parents.
inline bool ClickTakenByFilter(QAbstractButton* button) {
    QPoint at(-1, -1);
    for (int y = 0; y < button->height() && at.x() < 0; y += 2)
        for (int x = 0; x < button->width(); x += 2)
            if (ButtonPeek::Hits(button, QPoint(x, y))) {
                at = QPoint(x, y);
                break;
            }
    if (at.x() < 0) return false;
    // A disabled button swallows every press itself: enable it for the probe.
    const bool wasEnabled = button->isEnabled();
    button->setEnabled(true);
    if (!button->isEnabled()) return false;  // a disabled parent: no probe
    int reached = 0;
    const auto probe = QObject::connect(button, &QAbstractButton::pressed, [&] { ++reached; });
    const bool propagates = !button->testAttribute(Qt::WA_NoMousePropagation);
    button->setAttribute(Qt::WA_NoMousePropagation);
    const QPointF global = button->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    const bool handled = QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
    if (propagates) button->setAttribute(Qt::WA_NoMousePropagation, false);
    QObject::disconnect(probe);
    button->setEnabled(wasEnabled);
    return handled && reached == 0;
}

inline bool ButtonIsLive(QAbstractButton* button) {
    if (auto* tool = qobject_cast<QToolButton*>(button)) {
        if (tool->defaultAction()) return true;  // the action is walked on its own
        if (tool->menu()) return true;
    }
    if (auto* push = qobject_cast<QPushButton*>(button); push && push->menu()) return true;
    return ButtonSignalsHandle(button) || ButtonBoxHandles(button) || ButtonGroupHandles(button) ||
           ClickTakenByFilter(button);
}

// Whether a menu's triggered(QAction*) answers a click on its items: its own,
// or that of a menu or menu bar it hangs under.
inline bool MenuChainHandles(const QObject* holder) {
    if (auto* bar = qobject_cast<const QMenuBar*>(holder)) {
        const QMenuBar fresh;
        return AnyOwn(bar, &fresh, &QMenuBar::triggered);
    }
    auto* menu = qobject_cast<const QMenu*>(holder);
    if (!menu) return false;
    const QMenu fresh;
    if (AnyOwn(menu, &fresh, &QMenu::triggered)) return true;
    for (QObject* parent : menu->menuAction()->associatedObjects())
        if (parent != menu && MenuChainHandles(parent)) return true;
    return false;
}

// What Qt connects to an action's signal when the holder takes the action.
inline int Plumbing(const QObject* holder, const QMetaMethod& signal) {
    QAction probe;
    std::unique_ptr<QObject> fresh;
    if (qobject_cast<const QMenuBar*>(holder)) fresh = std::make_unique<QMenuBar>();
    else if (qobject_cast<const QMenu*>(holder)) fresh = std::make_unique<QMenu>();
    else if (qobject_cast<const QToolButton*>(holder)) fresh = std::make_unique<QToolButton>();
    else if (qobject_cast<const QActionGroup*>(holder)) fresh = std::make_unique<QActionGroup>(nullptr);
    else fresh = std::make_unique<QWidget>();
    if (auto* group = qobject_cast<QActionGroup*>(fresh.get())) group->addAction(&probe);
    else static_cast<QWidget*>(fresh.get())->addAction(&probe);
    const int count = SignalPeek::Receivers(&probe, signal);
    if (auto* group = qobject_cast<QActionGroup*>(fresh.get())) group->removeAction(&probe);
    else static_cast<QWidget*>(fresh.get())->removeAction(&probe);
    return count;
}

inline bool ActionIsLive(const QAction* action) {
    if (action->isSeparator() || action->menu()) return true;
    QList<QObject*> holders = action->associatedObjects();
    if (QActionGroup* group = action->actionGroup()) {
        const QActionGroup fresh(nullptr);
        if (AnyOwn(group, &fresh, &QActionGroup::triggered)) return true;
        holders.append(group);
    }
    for (const QObject* holder : holders) {
        if (MenuChainHandles(holder)) return true;
        if (auto* bar = qobject_cast<const QToolBar*>(holder->parent())) {
            const QToolBar fresh;
            if (AnyOwn(bar, &fresh, &QToolBar::actionTriggered)) return true;
        }
    }
    for (const QMetaMethod signal :
         {QMetaMethod::fromSignal(&QAction::triggered), QMetaMethod::fromSignal(&QAction::toggled)}) {
        int own = SignalPeek::Receivers(action, signal);
        for (const QObject* holder : holders) own -= Plumbing(holder, signal);
        if (own > 0) return true;
    }
    return false;
}

}  // namespace dead_controls

// Every control of the window (its menus and pop-up menus included) that
// nothing answers, as "window/control"; a disabled one counts too, since
// another state of the window enables it. Qt's own inner controls (named
// "qt_...") are left out. `walked`, when given, grows by the controls seen.
inline std::vector<std::string> DeadControls(QWidget* window, int* walked = nullptr) {
    using namespace dead_controls;
    std::vector<std::string> dead;
    int seen = 0;
    const auto own = [](const QObject* o) { return !o->objectName().startsWith(QLatin1String("qt_")); };
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!own(button)) continue;
        if (!qobject_cast<QPushButton*>(button) && !qobject_cast<QToolButton*>(button) &&
            !qobject_cast<QCheckBox*>(button))
            continue;
        ++seen;
        if (!ButtonIsLive(button)) dead.push_back(Name(window, button, button->text()));
    }
    // Actions the window owns, and those a menu or tool bar of it holds from elsewhere.
    QList<QAction*> actions = window->findChildren<QAction*>();
    QList<QWidget*> holders = window->findChildren<QWidget*>();
    holders.append(window);
    for (QWidget* holder : holders)
        for (QAction* action : holder->actions())
            if (!actions.contains(action)) actions.append(action);
    for (QAction* action : actions) {
        if (!own(action)) continue;
        ++seen;
        if (!ActionIsLive(action)) dead.push_back(Name(window, action, action->text()));
    }
    if (walked) *walked += seen;
    return dead;
}

}  // namespace corvane::test
