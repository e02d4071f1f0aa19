// Corvane's chooser with the desktop's GTK platform theme loaded (QT_QPA_PLATFORMTHEME=gtk3, on a
// display): still Qt's own read-only widget dialog, and any other file dialog is refused.
// Skipped where the theme is not installed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "ui/helpers/file_dialog.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane {
namespace {

bool ThemeLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libqgtk3.so");
}

// The next file dialog that shows, once it shows, however long that takes; it is then
// cancelled.
struct NextDialog {
    bool seen = false, own = false, onScreen = false;
    QTimer watch;
    NextDialog() {
        QObject::connect(&watch, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                if (!dialog || !dialog->isVisible()) continue;
                watch.stop();
                seen = true;
                own = IsOwnChooser(*dialog);
                onScreen = !dialog->testAttribute(Qt::WA_DontShowOnScreen);
                dialog->reject();
                return;
            }
        });
        watch.start(20);
    }
};

TEST(NativeChooser, CorvanesSaveAsIsItsOwnReadOnlyChooserUnderTheGtkTheme) {
    if (!ThemeLoaded()) GTEST_SKIP() << "the GTK platform theme is not installed";
    // The theme is live: a dialog left to it is the desktop's, off Qt's screen.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
    {
        QFileDialog plain(nullptr, QStringLiteral("Plain"));
        NextDialog next;
        plain.exec();
        ASSERT_TRUE(next.seen);
        EXPECT_FALSE(next.onScreen) << "the GTK theme offered no chooser of its own";
    }
    UseOwnDialogs();
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.fileName = QStringLiteral("page.html");
    NextDialog next;
    EXPECT_EQ(ChooseFile(request, nullptr), std::nullopt);
    ASSERT_TRUE(next.seen);
    EXPECT_TRUE(next.onScreen);
    EXPECT_TRUE(next.own);
}

TEST(NativeChooser, AnyOtherFileDialogIsRefusedAsItShows) {
    UseOwnDialogs();
    InstallChooserGuard();
    // Qt's own static chooser, as Qt's dialogs open it: cancelled before anyone can use it.
    QTimer failSafe;
    failSafe.setSingleShot(true);
    bool answeredByTest = false;
    QObject::connect(&failSafe, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                answeredByTest = true;
                static_cast<QDialog*>(dialog)->accept();
            }
    });
    failSafe.start(3000);
    EXPECT_TRUE(QFileDialog::getSaveFileName(nullptr, QStringLiteral("Qt's"), QStringLiteral("/tmp/x")).isEmpty());
    EXPECT_FALSE(answeredByTest);
}

}  // namespace
}  // namespace corvane
