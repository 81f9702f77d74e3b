// The version file's request against a real HTTP server on 127.0.0.1: what
// comes back, and when nothing does. What the answer means is the
// presenter's (UpdateCheck).

#include "version_check.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QTest>
#include <memory>

#include "web_test_support.h"

using hushgate::VersionCheck;
using hushgate::test::LocalHttpServer;

namespace {

// Generous: these only bound a failing test, they never slow a passing one.
constexpr int kWaitMs = 20000;

struct Answer {
    quint64 check;
    std::optional<QByteArray> body;
};

}  // namespace

class VersionCheckTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<LocalHttpServer> server;
    QList<Answer> answers;

    // A request with a time-out long enough that only the tests about
    // time-outs ever see one.
    std::unique_ptr<VersionCheck> makeCheck(
        std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
        return std::make_unique<VersionCheck>(
            nullptr,
            [this](quint64 check, const std::optional<QByteArray>& body) {
                answers.append({check, body});
            },
            timeout);
    }

    // Runs one request to its end and returns what came back.
    std::optional<QByteArray> run(VersionCheck& check, const QUrl& url) {
        const qsizetype before = answers.size();
        check.start(42, url);
        if (!QTest::qWaitFor([&] { return answers.size() > before; }, kWaitMs)) {
            qFatal("the request never ended");
        }
        if (answers.last().check != 42 || check.isWaiting()) {
            qFatal("answered for another request, or still waiting");
        }
        return answers.last().body;
    }

private slots:
    void initTestCase() {
        // Straight to 127.0.0.1, whatever proxy the machine names.
        QNetworkProxyFactory::setUseSystemConfiguration(false);
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    void init() {
        server = std::make_unique<LocalHttpServer>();
        answers.clear();
    }

    void cleanup() { server.reset(); }

    void successHandsBackTheBody() {
        server->answerWith(LocalHttpServer::ok(" 1.2\r\n"));
        auto check = makeCheck();
        QCOMPARE(run(*check, server->url()), std::optional<QByteArray>(" 1.2\r\n"));
        QCOMPARE(server->requests, QList<QByteArray>{"GET /version/hushgate.txt HTTP/1.1"});
        QCOMPARE(VersionCheck::kTimeout, std::chrono::milliseconds(2000));
    }

    void otherThanSuccessIsFailure_data() {
        QTest::addColumn<QByteArray>("response");  // empty: nobody listens
        QTest::newRow("404 page") << LocalHttpServer::response(404, "Not Found", "404 Not Found");
        QTest::newRow("500 saying 2.0")
            << LocalHttpServer::response(500, "Internal Server Error", "2.0");
        QTest::newRow("not HTTP") << QByteArray("2.0\r\n\r\n");
        QTest::newRow("too large") << LocalHttpServer::ok(QByteArray(200 * 1024, '1'));
        QTest::newRow("refused") << QByteArray();
    }

    void otherThanSuccessIsFailure() {
        QFETCH(QByteArray, response);
        server->answerWith(response);
        auto check = makeCheck();
        const QUrl url = response.isEmpty() ? hushgate::test::refusedUrl() : server->url();
        QCOMPARE(run(*check, url), std::nullopt);
    }

    void silentServerTimesOutAndASecondRequestWorks() {
        server->holdRequests();
        auto check = makeCheck(std::chrono::milliseconds(200));
        QCOMPARE(run(*check, server->url()), std::nullopt);
        QCOMPARE(server->requests.size(), 1);

        server->answerWith(LocalHttpServer::ok("1.2"));
        QCOMPARE(run(*check, server->url()), std::optional<QByteArray>("1.2"));
        QCOMPARE(server->requests.size(), 2);
    }

    void aNewRequestReplacesTheRunningOne() {
        server->holdRequests();
        auto check = makeCheck();
        check->start(1, server->url());
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 1, kWaitMs);
        check->start(2, server->url());
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 2, kWaitMs);
        // The first answer goes out first; the client has dropped that
        // request, so only the second one is ever handed back.
        server->answerHeld(0, LocalHttpServer::ok("1.2"));
        server->answerHeld(1, LocalHttpServer::ok("1.1"));
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, kWaitMs);
        QCOMPARE(answers.first().check, quint64(2));
        QCOMPARE(answers.first().body, std::optional<QByteArray>("1.1"));
        // The first connection is closed: nothing more can arrive on it.
        QTRY_VERIFY_WITH_TIMEOUT(server->held.first().isNull(), kWaitMs);
        QTest::qWait(50);
        QCOMPARE(answers.size(), 1);
    }

    void destroyingTheCheckAbandonsTheRequest() {
        server->holdRequests();
        auto check = makeCheck();
        check->start(1, server->url());
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 1, kWaitMs);
        check.reset();
        server->answerHeld(0, LocalHttpServer::ok("1.2"));
        QTRY_VERIFY_WITH_TIMEOUT(server->held.first().isNull(), kWaitMs);
        QVERIFY(answers.isEmpty());
    }
};

QTEST_MAIN(VersionCheckTest)
#include "version_check_test.moc"
