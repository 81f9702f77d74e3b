#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <optional>

class QNetworkReply;

namespace hushgate {

// The request of "Check for updates...": fetches the version file in the
// background and hands back what came, for the presenter to evaluate
// (UpdateCheck). Only one request is tracked: starting another abandons the
// one in progress, whose answer is then never handed back.
class VersionCheck : public QObject {
    Q_OBJECT

public:
    // `body`: the answer of a successful (2xx) request, or nothing when it
    // failed (no connection, time-out, another status, an answer too large
    // to be a version file). Called once the network's own signal has
    // returned, so it may start another request or show a message.
    using Answered = std::function<void(quint64 check, const std::optional<QByteArray>& body)>;

    // How long each step may take: resolving the name, connecting and
    // sending the request, the answer's first bytes, each further block.
    static constexpr std::chrono::milliseconds kTimeout{2000};

    VersionCheck(QObject* owner, Answered answered, std::chrono::milliseconds timeout = kTimeout);
    ~VersionCheck() override;

    void start(quint64 check, const QUrl& versionFile);
    // A request is in progress.
    bool isWaiting() const { return !httpCheckVersion.isNull(); }

private:
    void abandon();
    void fail();
    void onFinished(QNetworkReply* reply);
    void hand(const std::optional<QByteArray>& body);

    Answered answered_;
    QNetworkAccessManager network_;
    QTimer watchdog_;
    quint64 check_ = 0;
    QPointer<QNetworkReply> httpCheckVersion;
};

}  // namespace hushgate
