// Opening web pages: the one operation and the clickable address label.
// Every page is caught before it reaches a browser.

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "link_click.h"
#include "open_web.h"
#include "web_constants.h"
#include "web_test_support.h"

using hushgate::test::UrlRecorder;

namespace {

QUrl address(const char* constant) {
    return QUrl(QString::fromUtf8(constant));
}

}  // namespace

class WebLinksTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<UrlRecorder> browser;

private slots:
    void init() { browser = std::make_unique<UrlRecorder>(); }
    void cleanup() { browser.reset(); }

    void openWebHandsTheAddressToTheBrowser() {
        QWidget owner;
        hushgate::OpenWeb(&owner, hushgate::web::kHomePage);
        hushgate::OpenWeb(&owner, QString::fromUtf8(hushgate::web::kDonatePage));
        hushgate::OpenWeb(nullptr, hushgate::web::kSocialPage);
        hushgate::OpenWeb(nullptr, QStringLiteral("mailto:someone@tavrin-software.example"));
        QCOMPARE(
            browser->urls,
            (QList<QUrl>{address(hushgate::web::kHomePage), address(hushgate::web::kDonatePage),
                         address(hushgate::web::kSocialPage),
                         QUrl(QStringLiteral("mailto:someone@tavrin-software.example"))}));
    }

    void unusableAddressesAreIgnored() {
        hushgate::OpenWeb(nullptr, QString());
        hushgate::OpenWeb(nullptr, QStringLiteral("no address at all"));
        hushgate::OpenWeb(nullptr, QStringLiteral("http://exa mple.org/"));
        QVERIFY(browser->urls.isEmpty());
    }

    void labelClickOpensItsFixedAddress() {
        QLabel label(QString::fromUtf8(hushgate::web::kHomePage));
        hushgate::OnLabelClick(&label,
                               [&label] { hushgate::OpenWeb(&label, hushgate::web::kHomePage); });
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));

        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(browser->urls, QList<QUrl>{address(hushgate::web::kHomePage)});

        // The caption is not what is opened.
        label.setText(QStringLiteral("http://elsewhere.example"));
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(browser->urls.size(), 2);
        QCOMPARE(browser->urls.last(), address(hushgate::web::kHomePage));
    }

    void onlyALeftClickOnTheLabelCounts() {
        QLabel label(QStringLiteral("link"));
        int clicks = 0;
        hushgate::OnLabelClick(&label, [&clicks] { ++clicks; });
        label.resize(100, 20);
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));

        QTest::mouseClick(&label, Qt::RightButton);
        QCOMPARE(clicks, 0);
        // Pressed on the label, let go outside it.
        QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(clicks, 0);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicks, 1);
    }
};

QTEST_MAIN(WebLinksTest)
#include "web_links_test.moc"
