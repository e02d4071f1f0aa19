#pragma once

// A loopback web server and a bounded wait, for the tests over the real web engine.

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace corvane::testing {

inline bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Serves pages by path on the loopback address (one page for a path it does not know), records
// every path asked for, and leaves the held paths unanswered until ReleaseHeld.
class LoopbackServer : public QTcpServer {
public:
    LoopbackServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    std::string Address(const char* path) const { return At("127.0.0.1", path); }
    // The same server under another name (every *.localhost name is this computer).
    std::string At(const std::string& host, const std::string& path) const {
        return "http://" + host + ":" + std::to_string(serverPort()) + path;
    }
    // Answers every held request "404 Not Found".
    void ReleaseHeld() {
        for (auto& socket : held_) {
            if (!socket) continue;
            socket->write("HTTP/1.1 404 Not Found\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
        }
        held_.clear();
    }

    std::map<QByteArray, QByteArray> pages;
    // Whole responses, status line and headers included.
    std::map<QByteArray, QByteArray> raw;
    std::set<QByteArray> holding;
    std::vector<QByteArray> asked;
    std::function<void(const QByteArray&)> onHeld;

private:
    void Answer(QTcpSocket* socket) {
        const QByteArray request = socket->readAll();
        const QByteArray path = request.split(' ').value(1);
        asked.push_back(path);
        if (holding.count(path)) {
            held_.push_back(socket);
            if (onHeld) onHeld(path);
            return;
        }
        if (const auto whole = raw.find(path); whole != raw.end()) {
            socket->write(whole->second);
            socket->disconnectFromHost();
            return;
        }
        const auto page = pages.find(path);
        const QByteArray body = page != pages.end() ? page->second
            : "<html><head><title>Loopback Page</title></head><body><h1>Corvane smoke page</h1>"
              "<a id='away' href='/refused'>away</a></body></html>";
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    std::vector<QPointer<QTcpSocket>> held_;
};

}  // namespace corvane::testing
