// The network module (hushgate-network): the version file's HTTP request.
// The only code of the window that uses Qt Network; the program loads it
// when the first check starts (version_check.cpp).

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include "version_check.h"

namespace hushgate {

namespace {

// A version file is a few bytes; anything this large is not one, and reading
// on would only waste memory.
constexpr qint64 kMaxAnswerBytes = 64 * 1024;

class HttpVersionFetcher : public QObject, public VersionFetcher {
public:
    HttpVersionFetcher(VersionCheck::Answered answered, std::chrono::milliseconds timeout)
        : answered_(std::move(answered)) {
        watchdog_.setSingleShot(true);
        watchdog_.setInterval(timeout);
        connect(&watchdog_, &QTimer::timeout, this, &HttpVersionFetcher::fail);
    }
    ~HttpVersionFetcher() override { abandon(); }

    void start(quint64 check, const QUrl& versionFile) override;
    bool isWaiting() const override { return !httpCheckVersion.isNull(); }

private:
    void abandon();
    void fail();
    void onFinished(QNetworkReply* reply);
    void hand(const std::optional<QByteArray>& body);

    VersionCheck::Answered answered_;
    QNetworkAccessManager network_;
    QTimer watchdog_;
    quint64 check_ = 0;
    QPointer<QNetworkReply> httpCheckVersion;
};

void HttpVersionFetcher::start(quint64 check, const QUrl& versionFile) {
    abandon();
    check_ = check;
    QNetworkRequest request(versionFile);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = network_.get(request);
    httpCheckVersion = reply;

    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
    // Every sign of progress gives the next step its full time.
    const auto restartWatchdog = [this] { watchdog_.start(); };
    connect(reply, &QNetworkReply::socketStartedConnecting, this, restartWatchdog);
    connect(reply, &QNetworkReply::requestSent, this, restartWatchdog);
    connect(reply, &QNetworkReply::metaDataChanged, this, restartWatchdog);
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > kMaxAnswerBytes) {
            fail();
        } else {
            watchdog_.start();
        }
    });
    watchdog_.start();
}

void HttpVersionFetcher::abandon() {
    watchdog_.stop();
    QNetworkReply* reply = httpCheckVersion.data();
    httpCheckVersion.clear();
    if (reply != nullptr) {
        // Disconnect first: abort() finishes the reply at once, and that
        // finish must not be taken for an answer.
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void HttpVersionFetcher::fail() {
    if (!httpCheckVersion.isNull()) {
        hand(std::nullopt);
    }
}

void HttpVersionFetcher::onFinished(QNetworkReply* reply) {
    if (reply != httpCheckVersion.data()) {
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An error page is not a version file, whatever its text says.
    if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
        hand(std::nullopt);
    } else {
        hand(reply->read(kMaxAnswerBytes));
    }
}

void HttpVersionFetcher::hand(const std::optional<QByteArray>& body) {
    abandon();
    // The presenter may show a message, which runs an event loop of its own;
    // doing that from here would keep the reply's signal on the stack while a
    // new request may delete that reply. So the answer goes out once this
    // signal has returned.
    QMetaObject::invokeMethod(
        this,
        [this, check = check_, body] {
            if (answered_) {
                answered_(check, body);
            }
        },
        Qt::QueuedConnection);
}

}  // namespace

}  // namespace hushgate

extern "C" Q_DECL_EXPORT hushgate::VersionFetcher* hushgate_make_version_fetcher(
    const hushgate::VersionCheck::Answered& answered, std::chrono::milliseconds timeout) {
    return new hushgate::HttpVersionFetcher(answered, timeout);
}
