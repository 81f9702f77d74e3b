// The main window's update check, web links and toolbar, end to end, against
// a server on 127.0.0.1 and with browser launches caught.
#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "app_fixture.h"
#include "frm_main.h"
#include "web_constants.h"

class Urls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class UpdateCheckWindowTest : public QObject {
    Q_OBJECT
private slots:
    void checkForUpdatesOffersVersionOneTwo() {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        connect(&server, &QTcpServer::newConnection, &server, [&server] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\n1.2\r\n");
                socket->disconnectFromHost();
            });
        });
        Urls urls;
        QDesktopServices::setUrlHandler("http", &urls, "open");
        QDesktopServices::setUrlHandler("https", &urls, "open");
        QList<hushgate::MessageBox::Shown> shown;
        hushgate::MessageBox::setHandler([&](const hushgate::MessageBox::Shown& m) {
            shown.append(m);
            return QMessageBox::Yes;
        });

        hushgate::test::TestProgram program;
        program.writeHosts("127.0.0.1 localhost\n");
        hushgate::frmMain window(program.paths());
        window.presenter().updateCheck().settings.versionFile =
            QStringLiteral("http://127.0.0.1:%1/version/hushgate.txt").arg(server.serverPort()).toStdString();
        window.mnuCheckUpdates->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, 20000);
        QVERIFY(shown.first().text.contains("Version: 1.2\n"));
        const QUrl home(QString::fromUtf8(hushgate::web::kHomePage));
        QCOMPARE(urls.urls, QList<QUrl>{home});
        QCOMPARE(window.lblLink->text(), home.toString());

        window.mnuWeb->trigger();
        window.mnuDonate->trigger();
        window.mnuFacebook->trigger();  // the toolbar's last command, in the Help menu too
        for (QAction* a : window.Toolbar1->actions()) a->trigger();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.lblLink, Qt::LeftButton);
        const QUrl social(QString::fromUtf8(hushgate::web::kSocialPage));
        QCOMPARE(urls.urls,
                 (QList<QUrl>{home, home, QUrl(QString::fromUtf8(hushgate::web::kDonatePage)),
                              social, home, social, home}));
        hushgate::MessageBox::setHandler({});
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
    }
};
QTEST_MAIN(UpdateCheckWindowTest)
#include "update_check_window_test.moc"
