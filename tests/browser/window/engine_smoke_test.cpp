// The browser over the real engine: a loopback page, a refused link on it, and printing it.
// Skipped where the engine cannot start (no display, no engine process).

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPrinter>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "browser/window/engine_browser_control.h"
#include "browser/window/frm_web_browser.h"
#include "browser_test_support.h"
#include "ui/helpers/print_job.h"

namespace corvane::testing {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Serves one page, whatever is asked, on the loopback address.
class LoopbackServer : public QTcpServer {
public:
    LoopbackServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    const QByteArray body =
                        "<html><head><title>Loopback Page</title></head><body><h1>Corvane smoke page</h1>"
                        "<a id='away' href='/refused'>away</a></body></html>";
                    socket->readAll();
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    std::string Address(const char* path) const {
        return "http://127.0.0.1:" + std::to_string(serverPort()) + path;
    }
};

class EngineSmokeTest : public BrowserTest {};

TEST_F(EngineSmokeTest, ALoopbackPageLoadsALinkAwayIsCancelledAndThePagePrints) {
    LoopbackServer server;
    ASSERT_TRUE(server.isListening());
    const std::string page = server.Address("/page");
    AddWebsites({page.c_str()});
    AddBrowserUser({.login = "ann"});
    Assign("ann", {page.c_str()});
    LogIn("ann");
    auto box = ScriptedMsgBox::Install();

    auto* window = new frmWebBrowser;
    window->Controller().StartingAddress = page;
    window->show();
    auto& control = static_cast<EngineBrowserControl&>(window->Control());
    bool loaded = false;
    QObject::connect(control.View(), &QWebEngineView::loadFinished, [&](bool ok) { loaded = loaded || ok; });
    if (!WaitFor([&] { return loaded; }, 20000)) {
        delete window;
        GTEST_SKIP() << "the web engine did not start here";
    }
    // The blank page may finish first.
    ASSERT_TRUE(WaitFor([&] { return control.LocationURL() == page && !control.Busy(); }, 15000));
    EXPECT_EQ(control.LocationName(), "Loopback Page");
    auto lines = LogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (LogLine{"ann", page, "URL ACCEPTED"}));

    // Clicked again until the engine has the page's script ready.
    ASSERT_TRUE(WaitFor(
        [&] {
            control.View()->page()->runJavaScript(QStringLiteral("document.getElementById('away').click();"));
            return WaitFor([&] { return LogLines().size() >= 2; }, 1000);
        },
        20000));
    EXPECT_EQ(LogLines(), (std::vector<LogLine>{{"ann", page, "URL ACCEPTED"},
                                                {"ann", server.Address("/refused"), "URL DENIED"}}));
    EXPECT_EQ(box->Count(), 1);
    EXPECT_EQ(control.LocationURL(), page);

    // Printing through the print dialog, here one that prints to a file.
    const std::string pdf = Path("page.pdf");
    const auto previous = SetPrintDialog([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    bool printed = false;
    QObject::connect(&control, &EngineBrowserControl::PrintFinished, [&](bool ok) { printed = ok; });
    window->mnuFileItem_Click(4);
    EXPECT_TRUE(WaitFor([&] { return printed; }, 15000));
    SetPrintDialog(previous);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(10000));
    const QByteArray text = pdftotext.readAllStandardOutput();
    EXPECT_TRUE(text.contains("Corvane smoke page")) << text.toStdString();

    window->close();
    delete window;
}

}  // namespace
}  // namespace corvane::testing

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::printf("[  SKIPPED ] no display for the web engine\n");
        return 0;
    }
    // As the program does: the engine shares the application's OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
