#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <optional>

namespace hushgate::test {

// Catches every address handed to the desktop's browser, so no test starts one.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    UrlRecorder();
    ~UrlRecorder() override;
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// A tiny HTTP server on 127.0.0.1 that answers every request with one fixed
// response, or holds the connections open without answering.
class LocalHttpServer : public QObject {
    Q_OBJECT

public:
    LocalHttpServer();

    QUrl url(const QString& path = QStringLiteral("/version/hushgate.txt")) const;
    void answerWith(const QByteArray& response) { response_ = response; }
    void holdRequests() { response_.reset(); }
    // Answers a held connection (if the client has not gone away).
    void answerHeld(int index, const QByteArray& response);

    static QByteArray response(int status, const QByteArray& reason, const QByteArray& body);
    static QByteArray ok(const QByteArray& body) { return response(200, "OK", body); }

    // Request lines ("GET /path HTTP/1.1") of every complete request seen.
    QList<QByteArray> requests;
    QList<QPointer<QTcpSocket>> held;

private:
    void onReadyRead(QTcpSocket* socket);
    static void send(QTcpSocket* socket, const QByteArray& response);

    QTcpServer server_;
    std::optional<QByteArray> response_;
};

// An address on 127.0.0.1 where nothing listens, so connecting is refused.
QUrl refusedUrl();

}  // namespace hushgate::test
