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
    // As root the addresses would be shown instead (main_window_test).
    void initTestCase() { hushgate::PretendRunningAsRoot(false); }

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
};

QTEST_MAIN(WebLinksTest)
#include "web_links_test.moc"
