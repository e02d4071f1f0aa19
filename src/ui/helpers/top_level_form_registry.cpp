#include "ui/helpers/top_level_form_registry.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "platform/system/workstation_forms.h"
#include "ui/helpers/nested_dialogs.h"

namespace corvane::ui {

std::vector<QWidget*> TopLevelFormRegistry::LoadedForms() {
    std::vector<QWidget*> forms;
    if (!qApp) return forms;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isWindow()) continue;
        if (w->objectName().startsWith(QLatin1String("frm"), Qt::CaseInsensitive))
            forms.push_back(w);
    }
    return forms;
}

std::vector<std::string> TopLevelFormRegistry::LoadedFormNames() {
    std::vector<std::string> names;
    for (QWidget* w : LoadedForms()) names.push_back(w->objectName().toStdString());
    return names;
}

void TopLevelFormRegistry::Unload(const std::string& formName) {
    // Closing may run code that opens or deletes other windows: hold guarded
    // pointers and skip any that went away meanwhile.
    std::vector<QPointer<QWidget>> matches;
    const QString name = QString::fromStdString(formName);
    for (QWidget* w : LoadedForms())
        if (w->objectName() == name) matches.emplace_back(w);
    for (const auto& w : matches) {
        if (!w) continue;
        // A window that closed to be deleted is no longer loaded, also while
        // it waits for the deletion: a new one of its kind may open at once.
        // (Closing clears the attribute, so it is read first.)
        const bool deleted = w->testAttribute(Qt::WA_DeleteOnClose);
        // Under a dialog of its own still in its loop (the print dialog, a
        // chooser, a message box) the window closes once they have returned.
        const bool closes = CloseAfterNestedDialogs(w) || w->close();
        if (closes && w && deleted)
            w->setObjectName(QStringLiteral("unloaded ") + w->objectName());
    }
}

void InstallTopLevelFormRegistry() {
    SetFormSource({&TopLevelFormRegistry::LoadedFormNames, &TopLevelFormRegistry::Unload, &EndEveryDialog});
}

}  // namespace corvane::ui
