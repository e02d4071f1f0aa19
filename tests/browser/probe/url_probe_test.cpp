#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "browser/probe/url_probe.h"

using namespace corvane;
using namespace std::chrono_literals;

namespace {

// A loopback web server answering each path with a fixed response; "/silent" never answers
// and "/endless" sends its headers and then a body that never ends.
class LoopbackServer {
public:
    LoopbackServer() {
        responses_["/ok"] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi";
        responses_["/fine"] = "HTTP/1.1 200 Fine\r\nContent-Length: 0\r\n\r\n";
        responses_["/missing"] = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        responses_["/broken"] = "HTTP/1.1 500 OK\r\nContent-Length: 0\r\n\r\n";
        responses_["/moved"] = "HTTP/1.1 302 Found\r\nLocation: /ok\r\nContent-Length: 0\r\n\r\n";
        responses_["/moved-twice"] = "HTTP/1.1 301 Moved\r\nLocation: /moved\r\nContent-Length: 0\r\n\r\n";
        responses_["/moved-to-missing"] = "HTTP/1.1 307 Temporary\r\nLocation: /missing\r\nContent-Length: 0\r\n\r\n";
        responses_["/endless"] = "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\nstart";
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Answer(socket); });
            }
        });
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
    }

private:
    void Answer(QTcpSocket* socket) {
        const QByteArray request = socket->readAll();
        const QByteArray path = request.split(' ').value(1);
        const auto it = responses_.find(path.toStdString());
        if (path == "/silent") return;
        const std::string response = it != responses_.end() ? it->second
                                                            : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        socket->write(response.data(), static_cast<qint64>(response.size()));
        if (path != "/endless") socket->disconnectFromHost();
    }

    QTcpServer server_;
    std::map<std::string, std::string> responses_;
};

class UrlProbeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "url_probe_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete app_;
        app_ = nullptr;
    }

    static QCoreApplication* app_;
    LoopbackServer server_;
};
QCoreApplication* UrlProbeTest::app_ = nullptr;

TEST_F(UrlProbeTest, AvailableExactlyWhenTheFinalStatusIs200) {
    struct Row {
        const char* path;
        bool available;
    } const rows[] = {
        {"/ok", true},
        {"/fine", true},  // the status counts, not its reason phrase
        {"/missing", false},
        {"/broken", false},
        {"/moved", true},
        {"/moved-twice", true},
        {"/moved-to-missing", false},
        {"/endless", true},  // settled by the headers, without waiting for the body
    };
    for (const auto& r : rows) EXPECT_EQ(IsURLAvailable(server_.Url(r.path), 5s), r.available) << r.path;
}

TEST_F(UrlProbeTest, ASilentServerTimesOutAsNotAvailableWhileTimersRun) {
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(IsURLAvailable(server_.Url("/silent"), 300ms));
    EXPECT_GE(elapsed.elapsed(), 250);
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_GT(ticks, 3);  // the wait went through the event loop
}

TEST_F(UrlProbeTest, AddressesThatAreNotWebAddressesAreNotAvailable) {
    for (const char* address : {"file:///etc/hostname", "data:text/plain,hi", "not an address", "",
                                "http://", "ftp://127.0.0.1/"})
        EXPECT_FALSE(IsURLAvailable(address, 2s)) << address;
}

TEST(UrlProbeWithoutApplication, AnswersFalse) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_FALSE(IsURLAvailable("http://127.0.0.1:9/", 1s));
}

}  // namespace
