// The web: the version file's request against a real HTTP server on
// 127.0.0.1 (what comes back, and when nothing does; what the answer means is
// the presenter's UpdateCheck), opening web pages and the clickable address
// label. Every page is caught before it reaches a browser.

#include <QLabel>
#include <QTest>
#include <memory>

#include "link_click.h"
#include "open_web.h"
#include "qt_test_support.h"
#include "version_check.h"

using hushgate::VersionCheck;
using hushgate::test::LocalHttpServer;

class WebTest : public QObject {
    Q_OBJECT

private:
    // Generous: these only bound a failing test, they never slow a passing one.
    static constexpr int kWaitMs = 20000;
    std::optional<LocalHttpServer> server;
    QList<QPair<quint64, std::optional<QByteArray>>> answers;

    // A request with a time-out long enough that only the test about
    // time-outs ever sees one.
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
        if (!QTest::qWaitFor([&] { return answers.size() > before; }, kWaitMs) ||
            answers.last().first != 42 || check.isWaiting()) {
            qFatal("no answer, an answer for another request, or still waiting");
        }
        return answers.last().second;
    }

private slots:
    // As root the addresses would be shown instead (main_window_test).
    void initTestCase() {
        hushgate::PretendRunningAsRoot(false);
        hushgate::test::useNoProxy();
    }

    void openWebHandsOnlyUsableAddressesToTheBrowser() {
        hushgate::test::UrlRecorder browser;
        QWidget owner;
        hushgate::OpenWeb(&owner, QStringLiteral("http://tavrin-software.example/donate"));
        hushgate::OpenWeb(nullptr, QStringLiteral("mailto:someone@tavrin-software.example"));
        hushgate::OpenWeb(nullptr, QString());
        hushgate::OpenWeb(nullptr, QStringLiteral("no address at all"));
        hushgate::OpenWeb(nullptr, QStringLiteral("http://exa mple.org/"));
        QCOMPARE(browser.urls,
                 (QList<QUrl>{QUrl(QStringLiteral("http://tavrin-software.example/donate")),
                              QUrl(QStringLiteral("mailto:someone@tavrin-software.example"))}));
    }

    // A left click that starts and ends on the label, nothing else.
    void onlyALeftClickOnTheLabelCounts() {
        QLabel label(QStringLiteral("link"));
        int clicks = 0;
        hushgate::OnLabelClick(&label, [&clicks] { ++clicks; });
        label.resize(100, 20);
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        QTest::mouseClick(&label, Qt::RightButton);
        QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(clicks, 0);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicks, 1);
    }

    void init() {
        server.emplace();
        answers.clear();
    }

    // What comes back for each answer (empty: nobody listens): the body, or
    // nothing (null) for any failure, an error page saying "2.0" included.
    void onlyASuccessHandsBackTheBody() {
        const QByteArray junk("\xFF\0<x>", 5), largest(64 * 1024, '1');
        const std::pair<QByteArray, QByteArray> rows[] = {
            // clang-format off
            {LocalHttpServer::ok(" 1.2\r\n"), " 1.2\r\n"},
            {LocalHttpServer::response(404, "Not Found", "404 Not Found"), {}},
            {LocalHttpServer::response(500, "Internal Server Error", "2.0"), {}},
            {LocalHttpServer::response(299, "Fine", "1.2"), "1.2"},
            {LocalHttpServer::response(300, "Multiple Choices", "2.0"), {}},
            {LocalHttpServer::ok(""), ""},
            {LocalHttpServer::ok(junk), junk},
            {LocalHttpServer::ok(largest), largest},
            {LocalHttpServer::ok(largest + '1'), {}},  // a byte more
            {"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\n1.2", {}},  // shorter than its length
            {"HTTP/1.1 200 OK\r\nContent-", {}},  // cut in the head
            {"2.0\r\n\r\n", {}},  // not HTTP
            {{}, {}}};
        // clang-format on
        for (const auto& [response, body] : rows) {
            init();
            server->answerWith(response);
            auto check = makeCheck();
            const QUrl url = response.isEmpty() ? hushgate::test::refusedUrl() : server->url();
            QCOMPARE(run(*check, url),
                     body.isNull() ? std::nullopt : std::optional<QByteArray>(body));
            if (!body.isNull()) {
                QCOMPARE(server->requests, QList<QByteArray>{"GET /version/hushgate.txt HTTP/1.1"});
            }
        }
    }

    void silentServerTimesOutAndASecondRequestWorks() {
        server->holdRequests();
        auto check = makeCheck(std::chrono::milliseconds(200));
        QCOMPARE(run(*check, server->url()), std::nullopt);
        server->answerWith(LocalHttpServer::ok("1.2"));
        QCOMPARE(run(*check, server->url()), std::optional<QByteArray>("1.2"));
        QCOMPARE(server->requests.size(), 2);
    }

    // Only the newest request is ever answered: a replaced one's answer, or
    // the check going away, leaves nothing behind.
    void aNewRequestReplacesTheRunningOne() {
        server->holdRequests();
        auto check = makeCheck();
        check->start(1, server->url());
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 1, kWaitMs);
        check->start(2, server->url());
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 2, kWaitMs);
        server->answerHeld(0, LocalHttpServer::ok("1.2"));
        server->answerHeld(1, LocalHttpServer::ok("1.1"));
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, kWaitMs);
        QCOMPARE(answers.first().first, quint64(2));
        QCOMPARE(answers.first().second, std::optional<QByteArray>("1.1"));
        QTRY_VERIFY_WITH_TIMEOUT(server->held.first().isNull(), kWaitMs);

        check->start(3, server->url());
        QTRY_COMPARE_WITH_TIMEOUT(server->held.size(), 3, kWaitMs);
        check.reset();
        server->answerHeld(2, LocalHttpServer::ok("1.2"));
        QTRY_VERIFY_WITH_TIMEOUT(server->held.last().isNull(), kWaitMs);
        QCoreApplication::processEvents();
        QCOMPARE(answers.size(), 1);
    }
};

QTEST_MAIN(WebTest)
#include "web_test.moc"
