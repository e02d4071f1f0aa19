#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "ui/helpers/file_dialog.h"
#include "ui/helpers/nested_dialogs.h"
#include "platform/system/workstation_forms.h"
#include "ui/helpers/top_level_form_registry.h"
#include "ui/helpers/window_helpers.h"

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

// A box without a parent opened while another window was active sits in the loop above the
// window's own dialog: closing the window ends it too, or the dialog below could never return.
TEST(NestedDialogs, ABoxOpenedAboveTheWindowsDialogEndsWithItWhoeverWasActive) {
    QPointer<QWidget> window = new QWidget;
    window->setObjectName(QStringLiteral("frmNested"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QWidget other;
    other.show();
    int dialogResult = -1, boxResult = -1;
    QTimer::singleShot(0, window, [&] {
        QDialog dialog(window);
        QTimer::singleShot(0, &dialog, [&] {
            QApplication::setActiveWindow(&other);
            QDialog box;
            QTimer::singleShot(0, &box, [&] { ui::TopLevelFormRegistry::Unload("frmNested"); });
            boxResult = RunNestedDialog(box);
        });
        dialogResult = RunNestedDialog(dialog);
    });
    QTimer failSafe;
    failSafe.setSingleShot(true);
    QObject::connect(&failSafe, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* open = qobject_cast<QDialog*>(w); open && open->isVisible()) open->done(42);
    });
    failSafe.start(20000);
    QTest::qWaitFor([&] { return dialogResult >= 0; }, 30000);
    EXPECT_EQ(boxResult, QDialog::Rejected);
    EXPECT_EQ(dialogResult, QDialog::Rejected);
    QTest::qWaitFor([&] { return window.isNull(); });
    EXPECT_TRUE(window.isNull());
}

// A loop nobody counted, run by a handler of the window under the program's main loop: the
// session's end (UnloadAllForms) ends what holds it, and the window goes only after it returned
// and the handler went on with its window. A loop with nothing to end is waited for.
TEST(NestedDialogs, ASessionsEndUnderALoopNobodyCountedWaitsForItsReturn) {
    struct Loop {
        const char* name;
        std::function<void(QWidget* window)> run;
    };
    const std::vector<Loop> loops = {
        {"a dialog run with exec()", [](QWidget* window) { QDialog(window).exec(); }},
        {"a box without a parent", [](QWidget*) { QMessageBox(QMessageBox::NoIcon, "box", "text").exec(); }},
        {"a menu run with exec()",
         [](QWidget* window) {
             QMenu menu(window);
             menu.addAction(QStringLiteral("item"));
             menu.exec(window->mapToGlobal(QPoint(10, 10)));
         }},
        {"a modal window", [](QWidget*) {
             QWidget modal;
             modal.setWindowModality(Qt::ApplicationModal);
             RunModal(&modal);
         }},
        {"a loop with no window", [](QWidget*) {
             QEventLoop probe;
             QTimer::singleShot(300, &probe, &QEventLoop::quit);
             probe.exec();
         }},
    };
    ui::InstallTopLevelFormRegistry();
    for (const Loop& loop : loops) {
        SCOPED_TRACE(loop.name);
        QPointer<QWidget> window = new QWidget;
        window->setObjectName(QStringLiteral("frmNested"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        bool nestedInside = false, aliveInside = false, hiddenInside = false, aliveAfter = false;
        QEventLoop main;
        QTimer::singleShot(0, window, [&] {
            QTimer::singleShot(50, [&] {
                nestedInside = NestedLoopRuns();
                UnloadAllForms(false);
                aliveInside = window;
                hiddenInside = window && !window->isVisible();
            });
            loop.run(window);
            aliveAfter = window;
        });
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (window.isNull()) main.quit();
        });
        watch.start(10);
        // Should a loop stay open, the test ends it and fails rather than hangs.
        bool leftOpen = false;
        QTimer::singleShot(3000, &main, [&] {
            leftOpen = true;
            while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            while (QWidget* modal = QApplication::activeModalWidget()) modal->hide();
            main.quit();
        });
        main.exec();
        EXPECT_FALSE(leftOpen);
        EXPECT_TRUE(nestedInside);
        EXPECT_TRUE(aliveInside);
        EXPECT_TRUE(hiddenInside);
        EXPECT_TRUE(aliveAfter) << "freed under the loop";
        EXPECT_TRUE(window.isNull());
        EXPECT_FALSE(NestedLoopRuns());
        delete window.data();
    }
    SetFormSource({});
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
