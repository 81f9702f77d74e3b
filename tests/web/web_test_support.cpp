#include "web_test_support.h"

#include <QDesktopServices>
#include <QHostAddress>

namespace hushgate::test {

namespace {

const char* const kSchemes[] = {"http", "https", "mailto"};

// A request head larger than this is not from our client; drop it.
constexpr qsizetype kMaxRequestBytes = 64 * 1024;

}  // namespace

UrlRecorder::UrlRecorder() {
    for (const char* scheme : kSchemes) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
}

UrlRecorder::~UrlRecorder() {
    for (const char* scheme : kSchemes) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
}

LocalHttpServer::LocalHttpServer() {
    if (!server_.listen(QHostAddress::LocalHost, 0)) {
        qFatal("cannot listen on 127.0.0.1: %s", qPrintable(server_.errorString()));
    }
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl LocalHttpServer::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

void LocalHttpServer::onReadyRead(QTcpSocket* socket) {
    // The request so far is kept on the socket until its head is complete.
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    if (head.size() > kMaxRequestBytes) {
        socket->abort();
        return;
    }
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n")) {
        return;
    }
    requests.append(head.left(head.indexOf("\r\n")));
    socket->setProperty("head", QByteArray());
    if (response_) {
        send(socket, *response_);
    } else {
        held.append(socket);
    }
}

void LocalHttpServer::answerHeld(int index, const QByteArray& response) {
    QTcpSocket* socket = held.value(index);
    if (socket != nullptr && socket->state() == QAbstractSocket::ConnectedState) {
        send(socket, response);
    }
}

void LocalHttpServer::send(QTcpSocket* socket, const QByteArray& response) {
    socket->write(response);
    socket->disconnectFromHost();  // after the bytes have gone out
}

QByteArray LocalHttpServer::response(int status, const QByteArray& reason, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

QUrl refusedUrl() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        qFatal("cannot listen on 127.0.0.1");
    }
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1/version/hushgate.txt").arg(port));
}

}  // namespace hushgate::test
