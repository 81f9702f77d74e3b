#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>

#include "web_constants.h"

class QNetworkReply;
class QWidget;

namespace hushgate {

// The texts of the two messages, taken from the main window each time an
// answer is evaluated, so that the language in force at that moment is used.
struct VersionMessageTexts {
    QString title = QStringLiteral("Tavrin Hushgate");
    QString newVersion = QStringLiteral("New version available!");
    QString version = QStringLiteral("Version:");
    QString download = QStringLiteral("Would you like to download it from our website?");
    QString noUpdate = QStringLiteral("No new updates available!");
};

struct VersionCheckSettings {
    QUrl versionFile = QUrl(QString::fromUtf8(web::kVersionFile));
    // Opened when the user answers Yes to the new-version message.
    QString homePage = QString::fromUtf8(web::kHomePage);
    // How long each step may take: resolving the name, connecting and sending
    // the request, the answer's first bytes, each further block.
    std::chrono::milliseconds timeout{2000};
    unsigned ownMajor = web::kOwnVersionMajor;
    unsigned ownMinor = web::kOwnVersionMinor;
};

// "Check for updates...": fetches the version file in the background and
// tells the user whether a newer version exists. Only one check is tracked:
// starting another abandons the one in progress, whose answer is then never
// evaluated. A failure (no connection, time-out, an answer other than 2xx) is
// silent, as a check the user started by hand should not nag with network
// trouble they did not ask about.
class VersionCheck : public QObject {
    Q_OBJECT

public:
    enum class Outcome { NewVersion, NoUpdate, Failed };
    Q_ENUM(Outcome)

    using TextsProvider = std::function<VersionMessageTexts()>;

    // `owner` owns the messages and this object; `texts` is called at the
    // moment an answer is evaluated.
    VersionCheck(QWidget* owner, TextsProvider texts, VersionCheckSettings settings = {});
    ~VersionCheck() override;

    void start();
    // A request is in progress, or its answer is being shown.
    bool isWaiting() const { return !httpCheckVersion.isNull(); }
    const VersionCheckSettings& settings() const { return settings_; }
    // For tests of the main window: points the next check elsewhere.
    void setSettings(VersionCheckSettings settings);

signals:
    // The current check is over: its message has been closed (and the home
    // page opened if asked for), or it failed silently. An abandoned check
    // does not report.
    void checkEnded(hushgate::VersionCheck::Outcome outcome);

private:
    void abandon();
    void fail();
    void onFinished(QNetworkReply* reply, quint64 check);
    void showVerdict(quint64 check, const QByteArray& answer);

    QPointer<QWidget> owner_;
    TextsProvider texts_;
    VersionCheckSettings settings_;
    QNetworkAccessManager network_;
    QTimer watchdog_;
    // Counts checks, so that anything left over from an earlier one (a queued
    // call, a late signal) recognises that it is no longer current.
    quint64 currentCheck_ = 0;
    QPointer<QNetworkReply> httpCheckVersion;
};

}  // namespace hushgate
