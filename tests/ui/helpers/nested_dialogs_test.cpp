#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "ui/helpers/file_dialog.h"
#include "ui/helpers/nested_dialogs.h"
#include "ui/helpers/top_level_form_registry.h"

namespace corvane {
namespace {

// A window whose handler runs a dialog on the stack, which runs the chooser in turn, which shows a
// message box; the session closes every window from inside the box's loop. Each dialog returns cancelled, and the
// window goes only after they have (under the sanitizers: nothing is freed twice).
TEST(NestedDialogs, AWindowClosedUnderItsOwnDialogsGoesAfterTheyReturn) {
    for (const bool deleteOnClose : {true, false}) {
        QPointer<QWidget> window = new QWidget;
        window->setObjectName(QStringLiteral("frmNested"));
        window->setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
        window->show();
        int dialogResult = -1, boxResult = -1;
        std::optional<QString> chosen = QStringLiteral("unset");
        bool aliveInside = false, hiddenInside = false;
        QTimer::singleShot(0, window, [&] {
            QDialog print(window);
            QTimer::singleShot(0, &print, [&] {
                // The chooser shows a message box of its own, without a parent.
                QTimer::singleShot(50, [&] {
                    QDialog box;
                    QTimer::singleShot(50, &box, [&] {
                        EXPECT_EQ(NestedDialogDepth(), 3);
                        ui::TopLevelFormRegistry::Unload("frmNested");
                        // A loop after it (the login's) runs on top of the ended dialogs.
                        QEventLoop login;
                        QTimer::singleShot(50, &login, &QEventLoop::quit);
                        login.exec();
                        aliveInside = window;
                        hiddenInside = window && !window->isVisible();
                    });
                    boxResult = RunNestedDialog(box);
                });
                FileDialogRequest request;
                request.mode = FileDialogRequest::Mode::Save;
                chosen = ChooseFile(request, &print);
            });
            dialogResult = RunNestedDialog(print);
        });
        // Should a dialog stay open, the test ends it and fails rather than hangs.
        bool leftOpen = false;
        QTimer failSafe;
        failSafe.setSingleShot(true);
        QObject::connect(&failSafe, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) {
                    leftOpen = true;
                    dialog->reject();
                }
        });
        failSafe.start(20000);
        for (int i = 0; i < 100 && dialogResult < 0; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
        failSafe.stop();
        EXPECT_FALSE(leftOpen);
        EXPECT_EQ(dialogResult, QDialog::Rejected);
        EXPECT_EQ(boxResult, QDialog::Rejected);
        EXPECT_EQ(chosen, std::nullopt);
        EXPECT_TRUE(aliveInside);
        EXPECT_TRUE(hiddenInside);
        EXPECT_EQ(NestedDialogDepth(), 0);
        for (int i = 0; i < 20 && window && window->isVisible() == false && deleteOnClose; ++i) {
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        EXPECT_EQ(window.isNull(), deleteOnClose);
        delete window.data();
    }
}

// With no dialog in its loop a window closes at once, as before.
TEST(NestedDialogs, WithoutDialogsTheCallerClosesTheWindowItself) {
    QWidget window;
    window.show();
    EXPECT_FALSE(CloseAfterNestedDialogs(&window));
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace corvane
