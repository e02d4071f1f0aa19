#pragma once

// The output side of every *_screenshots program: the folder named on the
// command line, a picture per window, and the count of what was written.

#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <string>

namespace corvane::test {

// Lets posted events, layouts and first activations run for a moment.
inline void Settle(int milliseconds = 50) {
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (timer.elapsed() < milliseconds);
}

// A scratch folder at a fixed place, emptied first: a path that shows in a
// picture is the same on every run and every machine.
inline QDir ScratchFolder(const char* name) {
    QDir folder(QStringLiteral("/tmp/corvane-screenshots/") + QLatin1String(name));
    folder.removeRecursively();
    QDir().mkpath(folder.path());
    return folder;
}

// A data folder and registry of the program's own, left behind for a look
// afterwards; made before the QApplication. Empty when it cannot be made.
inline std::string ScratchDataFolder(const char* name) {
    const QDir folder = ScratchFolder(name);
    if (!folder.exists()) return {};
    ::setenv("CORVANE_TEST", "1", 1);
    folder.mkpath(QStringLiteral("registry"));
    ::setenv("CORVANE_REGISTRY_DIR", folder.filePath(QStringLiteral("registry")).toLocal8Bit().constData(), 0);
    ::setenv("CORVANE_STATE_DIR", folder.filePath(QStringLiteral("state")).toLocal8Bit().constData(), 0);
    return folder.path().toStdString();
}

class ScreenshotWriter {
public:
    // Takes OUTPUT_FOLDER from the command line and creates it; Ready()
    // says whether that worked, after a message on stderr when it did not.
    ScreenshotWriter(int argc, char** argv) {
        if (argc < 2) {
            std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argc > 0 ? argv[0] : "screenshots");
            return;
        }
        name_ = argv[1];
        out_ = QDir(QString::fromLocal8Bit(argv[1]));
        ready_ = out_.mkpath(QStringLiteral("."));
        if (!ready_) std::fprintf(stderr, "cannot create %s\n", argv[1]);
    }

    bool Ready() const { return ready_; }
    // The exit code when Ready() is false: 2 for a missing argument.
    int NotReadyCode() const { return name_ ? 1 : 2; }
    QString Path(const QString& file) const { return out_.filePath(file); }

    // Shows the window, lets it settle, runs before (to type, select or
    // open something) and saves its picture. The window stays shown.
    bool Save(QWidget& window, const QString& file, const std::function<void()>& before = {}) {
        window.show();
        Settle();
        // Active, as a window the user works in: the same look on every run.
        for (int i = 0; i < 50 && !window.isActiveWindow(); ++i) {
            window.activateWindow();
            Settle(10);
        }
        Settle(300);  // what the focus sets off (a selection, a fading focus frame)
        if (before) {
            before();
            Settle();
        }
        return Save(window.grab(), file);
    }

    // Saves a picture made some other way (composed, or of a modal window).
    bool Save(const QPixmap& picture, const QString& file) {
        const bool ok = picture.save(Path(file));
        ok ? ++written_ : ++failed_;
        if (!ok) std::fprintf(stderr, "could not save %s\n", qPrintable(file));
        return ok;
    }

    // Runs open, which shows a modal card over window and returns once the card hides;
    // saves the card as it lies over the window (the two pictures composed) and hides it.
    void SaveModalOver(QWidget& window, const QString& file, const std::function<void()>& open) {
        QTimer::singleShot(300, &window, [this, &window, file] {
            QWidget* card = QApplication::activeModalWidget();
            if (!card || card == &window) return;
            QPixmap shot = window.grab();
            QPainter painter(&shot);
            painter.drawPixmap(window.mapFromGlobal(card->pos()), card->grab());
            painter.end();
            Save(shot, file);
            card->hide();
        });
        open();
    }

    // Reports the counts; the program's exit code.
    int Finish() const {
        std::printf("%d screenshots written to %s, %d failed\n", written_, name_ ? name_ : "", failed_);
        return failed_ == 0 && written_ > 0 ? 0 : 1;
    }

private:
    const char* name_ = nullptr;
    QDir out_;
    bool ready_ = false;
    int written_ = 0;
    int failed_ = 0;
};

}  // namespace corvane::test
