#pragma once

// Pieces the Qt test programs share: a program folder with the shipped data
// files, the message-box and browser seams caught, a local HTTP server.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <optional>

#include "message_box.h"
#include "test_files.h"

namespace hushgate::test {

// TestProgram's folders with resources.dll beside the program, for the Qt
// windows: "program/" (every shipped language file and resources.dll), the
// place of a hosts file and of config.ini.
class ProgramFolder {
public:
    ProgramFolder();

    QString path(const QString& relative) const;
    QString program() const { return path(QStringLiteral("program")); }
    std::string nativeProgram() const;
    QString hostsPath() const { return path(QStringLiteral("hosts")); }
    QString settingsPath() const { return path(QStringLiteral("config/config.ini")); }

    void writeHosts(const QByteArray& bytes) const { write(hostsPath(), bytes); }
    QByteArray hosts() const { return read(hostsPath()); }
    // Creates the parent folders; throws on failure.
    static void write(const QString& path, const QByteArray& bytes);
    // Empty when there is no such file; Qt resources (":/...") too.
    static QByteArray read(const QString& path);

private:
    TestProgram folders_;
};

// Answers every message box with `answer` and keeps what it would have shown;
// the real message box is back when it goes.
class MessageRecorder {
public:
    explicit MessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;
    QList<MessageBox::Shown> shown;
};

// Catches every address handed to the desktop's browser (http, https,
// mailto), so no test starts one; the handlers go with it.
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

    QTcpServer server_;
    std::optional<QByteArray> response_;
};

// An address on 127.0.0.1 where nothing listens, so connecting is refused.
QUrl refusedUrl();

// Straight to 127.0.0.1, whatever proxy the machine names.
void useNoProxy();

}  // namespace hushgate::test
