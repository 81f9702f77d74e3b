// Opening web pages: the one operation and the clickable address label.
// Every page is caught before it reaches a browser.

#include <QLabel>
#include <QTest>

#include "link_click.h"
#include "open_web.h"
#include "qt_test_support.h"

class WebLinksTest : public QObject {
    Q_OBJECT

private slots:
    // Only usable addresses reach the browser; run as root, none does, and
    // each is shown in a message instead.
    void openWebHandsOnlyUsableAddressesToTheBrowser() {
        const QString page = QStringLiteral("http://tavrin-software.example/donate");
        const QString mail = QStringLiteral("mailto:someone@tavrin-software.example");
        for (const bool root : {false, true}) {
            hushgate::test::UrlRecorder browser;
            hushgate::test::MessageRecorder messages;
            hushgate::PretendRunningAsRoot(root);
            QWidget owner;
            hushgate::OpenWeb(&owner, page);
            hushgate::OpenWeb(nullptr, mail);
            hushgate::OpenWeb(nullptr, QString());
            hushgate::OpenWeb(nullptr, QStringLiteral("no address at all"));
            hushgate::OpenWeb(nullptr, QStringLiteral("http://exa mple.org/"));
            hushgate::PretendRunningAsRoot(std::nullopt);
            const QList<QUrl> opened = root ? QList<QUrl>{} : QList<QUrl>{QUrl(page), QUrl(mail)};
            QCOMPARE(browser.urls, opened);
            QStringList shown;
            for (const auto& message : messages.shown) {
                shown << message.title + QLatin1Char('|') + message.text;
            }
            const QString title = QStringLiteral("Tavrin Hushgate|");
            const QStringList told = root ? QStringList{title + page, title + mail} : QStringList{};
            QCOMPARE(shown, told);
        }
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
};

QTEST_MAIN(WebLinksTest)
#include "web_links_test.moc"
