// Renders the browser window into a PNG file for a person to look at:
// browser_screenshots OUTPUT_FOLDER
// The browser on a local page with the find bar open and a word found, and the page's own
// alert box over it.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>

#include "browser/window/engine_sandbox.h"
#include "browser/window/engine_browser_control.h"
#include "browser/window/frm_web_browser.h"
#include "logs/current_user.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

namespace {

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
    SetEngineSandbox();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    const QDir data = test::ScratchFolder("browser");
    ::setenv("CORVANE_REGISTRY_DIR", data.filePath(QStringLiteral("registry")).toLocal8Bit().constData(), 0);
    ::setenv("CORVANE_COMPUTER_NAME", "WS-FRONT-DESK", 0);
    // The page stands outside the data folder: no page opens a file in Corvane's folders.
    if (!data.mkpath(QStringLiteral("data")) || !data.mkpath(QStringLiteral("pages"))) return 1;
    gDataPath = data.filePath(QStringLiteral("data")).toStdString();
    gAuthenticatedUser = "ann";
    QFile page(data.filePath(QStringLiteral("pages/help.html")));
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
    test::Settle(1500);
    // The engine draws through its own surface: take the window from the screen.
    const QPixmap shot = window->screen()->grabWindow(0, window->frameGeometry().x(), window->frameGeometry().y(),
                                                      window->frameGeometry().width(),
                                                      window->frameGeometry().height());
    shots.Save(shot, QStringLiteral("browser-find-bar.png"));

    // The page's own box, which Corvane shows over the page with the page's address.
    bool boxShown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || boxShown) return;
        boxShown = true;
        test::Settle(300);
        const QRect both = window->frameGeometry().united(box->frameGeometry());
        shots.Save(window->screen()->grabWindow(0, both.x(), both.y(), both.width(), both.height()),
                   QStringLiteral("browser-page-alert.png"));
        box->close();
    });
    poll.start(50);
    control.View()->page()->runJavaScript(QStringLiteral("alert('The lesson ends at 11:30. Save your work.')"));
    timer.restart();
    while (!boxShown && timer.elapsed() < 20000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!boxShown) std::fprintf(stderr, "the page's box did not show\n");
    window->close();
    delete window;
    return shots.Finish();
}
