// Renders the browser window into a PNG file for a person to look at:
// browser_screenshots OUTPUT_FOLDER
// The browser on a local page with the find bar open and a word found.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>

#include "browser/window/engine_browser_control.h"
#include "browser/window/frm_web_browser.h"
#include "logs/current_user.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"

using namespace corvane;

namespace {

void Wait(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

constexpr char kPage[] =
    "<html><head><title>Corvane - Workstation Help</title></head>"
    "<body style='font-family: Liberation Sans, sans-serif; margin: 24px'>"
    "<h1>Working on this workstation</h1>"
    "<p>Corvane decides who may use this computer and what each user may do. "
    "The web browser opens the websites your administrator has assigned to you.</p>"
    "<h2>Opening a page</h2>"
    "<p>Type an address into the address box and press Enter, or pick one from the list. "
    "Pages outside your websites are refused, and Corvane records every visit.</p>"
    "<ul><li><a href='#start'>Getting started</a></li><li><a href='#help'>Asking for help</a></li></ul>"
    "</body></html>";

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    QTemporaryDir data;
    ::setenv("CORVANE_REGISTRY_DIR", data.filePath(QStringLiteral("registry")).toLocal8Bit().constData(), 0);
    ::setenv("CORVANE_COMPUTER_NAME", "WS-FRONT-DESK", 0);
    gDataPath = data.path().toStdString();
    gAuthenticatedUser = "ann";
    QFile page(data.filePath(QStringLiteral("help.html")));
    if (!page.open(QIODevice::WriteOnly) || page.write(kPage) < 0) return 1;
    page.close();

    auto* window = new frmWebBrowser;
    window->Controller().StartingAddress = QUrl::fromLocalFile(page.fileName()).toString().toStdString();
    window->resize(900, 560);
    window->move(20, 20);
    window->show();
    auto& control = static_cast<EngineBrowserControl&>(window->Control());
    bool loaded = false;
    QObject::connect(control.View(), &QWebEngineView::loadFinished, [&](bool ok) { loaded = ok; });
    QElapsedTimer timer;
    timer.start();
    while (!loaded && timer.elapsed() < 20000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!loaded) {
        std::fprintf(stderr, "the web engine did not start\n");
        return 1;
    }
    control.ExecWB(OLECMDID_FIND, OLECMDEXECOPT_PROMPTUSER);
    control.FindBar()->findChild<QLineEdit*>(QStringLiteral("txtFind"))->setText(QStringLiteral("websites"));
    Wait(1500);
    // The engine draws through its own surface: take the window from the screen.
    const QPixmap shot = window->screen()->grabWindow(0, window->frameGeometry().x(), window->frameGeometry().y(),
                                                      window->frameGeometry().width(),
                                                      window->frameGeometry().height());
    const bool saved = shot.save(out.filePath(QStringLiteral("browser-find-bar.png")));
    window->close();
    delete window;
    return saved ? 0 : 1;
}
