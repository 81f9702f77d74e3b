#include "qt_test_support.h"

#include <QDesktopServices>
#include <QFile>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <stdexcept>

namespace hushgate::test {

namespace {

const char* const kSchemes[] = {"http", "https", "mailto"};

}  // namespace

ProgramFolder::ProgramFolder() {
    if (!QFile::copy(QStringLiteral(HUSHGATE_RESOURCES_DLL), program() + "/resources.dll")) {
        throw std::runtime_error("cannot copy resources.dll");
    }
}

QString ProgramFolder::path(const QString& relative) const {
    return QString::fromStdString(folders_.file(relative.toStdString()));
}

std::string ProgramFolder::nativeProgram() const {
    return QFile::encodeName(program()).toStdString();
}

// Through the plain file functions, on the path's UTF-8 bytes.
void ProgramFolder::write(const QString& path, const QByteArray& bytes) {
    std::filesystem::create_directories(pathOf(path.toStdString()).parent_path());
    writeFile(path.toStdString(), bytes.toStdString());
}

QByteArray ProgramFolder::read(const QString& path) {
    QFile file(path);
    if (file.exists() && !file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + path.toStdString());
    }
    return file.isOpen() ? file.readAll() : QByteArray();
}

MessageRecorder::MessageRecorder(QMessageBox::StandardButton answer) {
    MessageBox::setHandler([this, answer](const MessageBox::Shown& message) {
        shown.append(message);
        return answer;
    });
}

MessageRecorder::~MessageRecorder() {
    MessageBox::setHandler({});
}

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
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n")) {
        return;
    }
    requests.append(head.left(head.indexOf("\r\n")));
    socket->setProperty("head", QByteArray());
    held.append(socket);
    if (response_) {
        answerHeld(int(held.size()) - 1, *response_);
    }
}

void LocalHttpServer::answerHeld(int index, const QByteArray& response) {
    QTcpSocket* socket = held.value(index);
    if (socket != nullptr && socket->state() == QAbstractSocket::ConnectedState) {
        socket->write(response);
        socket->disconnectFromHost();  // after the bytes have gone out
    }
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

void useNoProxy() {
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

}  // namespace hushgate::test
