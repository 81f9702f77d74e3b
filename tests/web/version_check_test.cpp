// The whole update check against a real HTTP server on 127.0.0.1.

#include "version_check.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <memory>

#include "web_constants.h"
#include "web_test_support.h"

using hushgate::VersionCheck;
using hushgate::VersionCheckSettings;
using hushgate::VersionMessageTexts;
using hushgate::test::LocalHttpServer;
using hushgate::test::MessageRecorder;
using hushgate::test::UrlRecorder;
using Outcome = hushgate::VersionCheck::Outcome;

namespace {

// Generous: these only bound a failing test, they never slow a passing one.
constexpr int kWaitMs = 20000;
const QString kNewVersion121 = QStringLiteral(
    "New version available!\nVersion: 1.2\n\nWould you like to download it from our website?");

}  // namespace

class VersionCheckTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> owner;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<UrlRecorder> browser;
    std::unique_ptr<LocalHttpServer> server;
    VersionMessageTexts texts;

    // A check against the test's server, at version 1.1, with a time-out
    // long enough that only the tests about time-outs ever see one.
    std::unique_ptr<VersionCheck> makeCheck(
        std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
        VersionCheckSettings settings;
        settings.versionFile = server->url();
        settings.timeout = timeout;
        settings.ownMajor = 1;
        settings.ownMinor = 1;
        auto check = std::make_unique<VersionCheck>(
            nullptr, [this] { return texts; }, settings);
        return check;
    }

    // Runs one check to its end and returns how it ended.
    Outcome runCheck(VersionCheck& check) {
        QSignalSpy ended(&check, &VersionCheck::checkEnded);
        check.start();
        if (!ended.wait(kWaitMs) && ended.isEmpty()) {
            qFatal("the check never ended");
        }
        return ended.first().first().value<Outcome>();
    }

private slots:
    void initTestCase() {
        // Straight to 127.0.0.1, whatever proxy the machine names.
        QNetworkProxyFactory::setUseSystemConfiguration(false);
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    void init() {
        owner = std::make_unique<QWidget>();
        messages = std::make_unique<MessageRecorder>();
        browser = std::make_unique<UrlRecorder>();
        server = std::make_unique<LocalHttpServer>();
        texts = VersionMessageTexts{};
    }

    void cleanup() {
        server.reset();
        browser.reset();
        messages.reset();
        owner.reset();
    }

    void defaultsAskTheMakersSiteWithinTwoSeconds() {
        const VersionCheckSettings settings;
        QCOMPARE(settings.timeout, std::chrono::milliseconds(2000));
        QCOMPARE(settings.versionFile, QUrl(QString::fromUtf8(hushgate::web::kVersionFile)));
        QCOMPARE(settings.homePage, QString::fromUtf8(hushgate::web::kHomePage));
        QCOMPARE(settings.ownMajor, hushgate::web::kOwnVersionMajor);
        QCOMPARE(settings.ownMinor, hushgate::web::kOwnVersionMinor);
    }

    void newerVersionOffersTheHomePage() {
        server->answerWith(LocalHttpServer::ok("1.2\r\n"));
        messages->answer = QMessageBox::Yes;
        auto check = makeCheck();
        QCOMPARE(runCheck(*check), Outcome::NewVersion);

        QCOMPARE(server->requests, QList<QByteArray>{"GET /version/hushgate.txt HTTP/1.1"});
        QCOMPARE(messages->shown.size(), 1);
        const auto& shown = messages->shown.first();
        QCOMPARE(shown.icon, QMessageBox::Question);
        QCOMPARE(shown.title, QStringLiteral("Tavrin Hushgate"));
        QCOMPARE(shown.text, kNewVersion121);
        QCOMPARE(shown.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(browser->urls, QList<QUrl>{QUrl(QString::fromUtf8(hushgate::web::kHomePage))});
        QVERIFY(!check->isWaiting());
    }

    void noOnTheNewVersionOpensNothing() {
        server->answerWith(LocalHttpServer::ok("2.0"));
        messages->answer = QMessageBox::No;
        auto check = makeCheck();
        QCOMPARE(runCheck(*check), Outcome::NewVersion);
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY(messages->shown.first().text.contains(QStringLiteral("\nVersion: 2.0\n")));
        QVERIFY(browser->urls.isEmpty());
    }

    void answersAreEvaluated_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("newer");
        QTest::addColumn<QString>("shownVersion");
        QTest::newRow("1.2") << QByteArray("1.2") << true << "1.2";
        QTest::newRow("2.0") << QByteArray("2.0") << true << "2.0";
        QTest::newRow("1.10") << QByteArray("1.10") << true << "1.10";
        QTest::newRow("1.2 CR LF") << QByteArray(" 1.2\r\n") << true << "1.2";
        QTest::newRow("1.1") << QByteArray("1.1") << false << "";
        QTest::newRow("1.0") << QByteArray("1.0\n") << false << "";
        QTest::newRow("empty") << QByteArray() << false << "";
        QTest::newRow("garbage") << QByteArray("\x01\xff garbage") << false << "";
        QTest::newRow("error page sent as 200")
            << QByteArray("<html><h1>404 Not Found</h1></html>") << false << "";
    }

    void answersAreEvaluated() {
        QFETCH(QByteArray, body);
        QFETCH(bool, newer);
        QFETCH(QString, shownVersion);
        server->answerWith(LocalHttpServer::ok(body));
        auto check = makeCheck();
        QCOMPARE(runCheck(*check), newer ? Outcome::NewVersion : Outcome::NoUpdate);
        QCOMPARE(messages->shown.size(), 1);
        const auto& shown = messages->shown.first();
        if (newer) {
            QCOMPARE(shown.icon, QMessageBox::Question);
            QVERIFY2(shown.text.contains(QStringLiteral("Version: ") + shownVersion + u'\n'),
                     qPrintable(shown.text));
        } else {
            QCOMPARE(shown.icon, QMessageBox::Information);
            QCOMPARE(shown.title, QStringLiteral("Tavrin Hushgate"));
            QCOMPARE(shown.text, QStringLiteral("No new updates available!"));
            QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        QVERIFY(browser->urls.isEmpty());
    }

    void otherThanSuccessIsSilent_data() {
        QTest::addColumn<QByteArray>("response");
        QTest::newRow("404 page") << LocalHttpServer::response(404, "Not Found", "404 Not Found");
        QTest::newRow("500 saying 2.0")
            << LocalHttpServer::response(500, "Internal Server Error", "2.0");
        QTest::newRow("not HTTP") << QByteArray("2.0\r\n\r\n");
        QTest::newRow("too large") << LocalHttpServer::ok(QByteArray(200 * 1024, '1'));
    }

    void otherThanSuccessIsSilent() {
        QFETCH(QByteArray, response);
        server->answerWith(response);
        auto check = makeCheck();
        QCOMPARE(runCheck(*check), Outcome::Failed);
        QVERIFY(messages->shown.isEmpty());
        QVERIFY(browser->urls.isEmpty());
        QVERIFY(!check->isWaiting());
    }

    void silentServerTimesOutAndASecondCheckWorks() {
        server->holdRequests();
        auto check = makeCheck(std::chrono::milliseconds(200));
        QCOMPARE(runCheck(*check), Outcome::Failed);
        QCOMPARE(server->requests.size(), 1);
        QVERIFY(messages->shown.isEmpty());
        QVERIFY(!check->isWaiting());

        server->answerWith(LocalHttpServer::ok("1.2"));
        QCOMPARE(runCheck(*check), Outcome::NewVersion);
        QCOMPARE(server->requests.size(), 2);
        QCOMPARE(messages->shown.size(), 1);
    }

    void refusedConnectionIsSilent() {
        VersionCheckSettings settings;
        settings.versionFile = hushgate::test::refusedUrl();
        VersionCheck check(
            nullptr, [this] { return texts; }, settings);
        QCOMPARE(runCheck(check), Outcome::Failed);
        QVERIFY(messages->shown.isEmpty());
        QVERIFY(browser->urls.isEmpty());
    }

    void settingsCanBeChangedLater() {
        VersionCheckSettings refused;
        refused.versionFile = hushgate::test::refusedUrl();
        VersionCheck check(
            nullptr, [this] { return texts; }, refused);
        VersionCheckSettings settings = check.settings();
        settings.versionFile = server->url();
        check.setSettings(settings);
        server->answerWith(LocalHttpServer::ok("1.1"));
        QCOMPARE(runCheck(check), Outcome::NoUpdate);
        QCOMPARE(server->requests.size(), 1);
    }

    void aNewCheckReplacesTheRunningOne() {
        server->holdRequests();
        auto check = makeCheck();
        QSignalSpy ended(check.get(), &VersionCheck::checkEnded);
        check->start();
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 1, kWaitMs);
        check->start();
        QVERIFY(check->isWaiting());
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 2, kWaitMs);
        // The first answer goes out first; the client has dropped that
        // request, so only the second one is ever evaluated.
        server->answerHeld(0, LocalHttpServer::ok("1.2"));
        server->answerHeld(1, LocalHttpServer::ok("1.1"));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, kWaitMs);
        QCOMPARE(ended.first().first().value<Outcome>(), Outcome::NoUpdate);
        // The first connection is closed: nothing more can arrive on it.
        QTRY_VERIFY_WITH_TIMEOUT(server->held.first().isNull(), kWaitMs);
        QTest::qWait(50);
        QCOMPARE(ended.size(), 1);
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown.first().text, QStringLiteral("No new updates available!"));
    }

    void textsAreTakenWhenTheAnswerArrives() {
        server->holdRequests();
        auto check = makeCheck();
        QSignalSpy ended(check.get(), &VersionCheck::checkEnded);
        check->start();
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 1, kWaitMs);
        // A language applied while the request runs.
        texts.title = QStringLiteral("Tavrin Hushgate (de)");
        texts.newVersion = QStringLiteral("Neue Version verfügbar!");
        texts.version = QStringLiteral("Version:");
        texts.download = QStringLiteral("Von unserer Website herunterladen?");
        server->answerHeld(0, LocalHttpServer::ok("1.3"));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, kWaitMs);
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown.first().title, QStringLiteral("Tavrin Hushgate (de)"));
        QCOMPARE(messages->shown.first().text,
                 QStringLiteral("Neue Version verfügbar!\nVersion: 1.3\n\n"
                                "Von unserer Website herunterladen?"));
    }

    void waitsUntilTheMessageIsClosed() {
        server->answerWith(LocalHttpServer::ok("1.1"));
        auto check = makeCheck();
        bool waitingWhileShown = false;
        hushgate::MessageBox::setHandler([&](const hushgate::MessageBox::Shown&) {
            waitingWhileShown = check->isWaiting();
            return QMessageBox::Ok;
        });
        QCOMPARE(runCheck(*check), Outcome::NoUpdate);
        QVERIFY(waitingWhileShown);
        QVERIFY(!check->isWaiting());
    }

    void destroyingTheCheckAbandonsTheRequest() {
        server->holdRequests();
        auto check = makeCheck();
        check->start();
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 1, kWaitMs);
        check.reset();
        server->answerHeld(0, LocalHttpServer::ok("1.2"));
        QTRY_VERIFY_WITH_TIMEOUT(server->held.first().isNull(), kWaitMs);
        QVERIFY(messages->shown.isEmpty());
    }
};

QTEST_MAIN(VersionCheckTest)
#include "version_check_test.moc"
