#include "version_check.h"

#include <QMessageBox>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QWidget>
#include <string_view>

#include "message_box.h"
#include "open_web.h"
#include "version_text.h"

namespace hushgate {

namespace {

// A version file is a few bytes; anything this large is not one, and reading
// on would only waste memory.
constexpr qint64 kMaxAnswerBytes = 64 * 1024;

}  // namespace

VersionCheck::VersionCheck(QWidget* owner, TextsProvider texts, VersionCheckSettings settings)
    : QObject(owner), owner_(owner), texts_(std::move(texts)), settings_(std::move(settings)) {
    watchdog_.setSingleShot(true);
    watchdog_.setInterval(settings_.timeout);
    connect(&watchdog_, &QTimer::timeout, this, &VersionCheck::fail);
}

VersionCheck::~VersionCheck() {
    abandon();
}

void VersionCheck::setSettings(VersionCheckSettings settings) {
    settings_ = std::move(settings);
    watchdog_.setInterval(settings_.timeout);
}

void VersionCheck::start() {
    abandon();
    const quint64 check = ++currentCheck_;

    QNetworkRequest request(settings_.versionFile);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = network_.get(request);
    httpCheckVersion = reply;

    connect(reply, &QNetworkReply::finished, this,
            [this, reply, check] { onFinished(reply, check); });
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

void VersionCheck::abandon() {
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

void VersionCheck::fail() {
    if (httpCheckVersion.isNull()) {
        return;
    }
    abandon();
    emit checkEnded(Outcome::Failed);
}

void VersionCheck::onFinished(QNetworkReply* reply, quint64 check) {
    if (check != currentCheck_) {
        return;
    }
    watchdog_.stop();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An error page is not a version file, whatever its text says.
    if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
        fail();
        return;
    }
    const QByteArray answer = reply->read(kMaxAnswerBytes);
    // The message box runs an event loop of its own; showing it from here
    // would keep the reply's signal on the stack while a new check may
    // delete that reply. So it is shown once this signal has returned.
    QMetaObject::invokeMethod(
        this, [this, check, answer] { showVerdict(check, answer); }, Qt::QueuedConnection);
}

void VersionCheck::showVerdict(quint64 check, const QByteArray& answer) {
    if (check != currentCheck_ || httpCheckVersion.isNull()) {
        return;  // replaced by a newer check in the meantime
    }
    const VersionVerdict verdict = EvaluateVersionText(
        std::string_view(answer.constData(), static_cast<std::size_t>(answer.size())),
        settings_.ownMajor, settings_.ownMinor);
    const VersionMessageTexts texts = texts_ ? texts_() : VersionMessageTexts{};

    const QPointer<VersionCheck> alive(this);
    Outcome outcome = Outcome::NoUpdate;
    if (verdict.newer) {
        outcome = Outcome::NewVersion;
        // Line feeds: Qt's message box breaks lines at LF on every platform.
        const QString text = texts.newVersion + QLatin1Char('\n') + texts.version +
                             QLatin1Char(' ') + QString::fromUtf8(verdict.version) +
                             QLatin1String("\n\n") + texts.download;
        const auto answerButton =
            MessageBox::show(owner_.data(), QMessageBox::Question, texts.title, text,
                             QMessageBox::Yes | QMessageBox::No);
        if (alive && answerButton == QMessageBox::Yes) {
            OpenWeb(owner_.data(), settings_.homePage);
        }
    } else {
        MessageBox::show(owner_.data(), QMessageBox::Information, texts.title, texts.noUpdate);
    }
    if (!alive) {
        return;  // the window closed while the message was open
    }
    // A check started while the message was open stays in progress.
    if (check == currentCheck_) {
        abandon();
    }
    emit checkEnded(outcome);
}

}  // namespace hushgate
