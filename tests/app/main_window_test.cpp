// Drives the real main window with a temporary hosts file and program folder.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "app_fixture.h"
#include "flat_controls.h"
#include "frm_main.h"

using hushgate::frmMain;
using hushgate::test::allEntries;
using hushgate::test::MessageRecorder;
using hushgate::test::TestProgram;

namespace {

const QByteArray kOriginal = "127.0.0.1 localhost\n\n::1 localhost\n";
const QByteArray kTidied = "127.0.0.1 localhost\n::1 localhost\n";

bool isShownBlocked(frmMain& w) {
    return w.imgBlocked->isVisible() && !w.imgUnblocked->isVisible() &&
           w.imgStatusBlocked->isVisible() && !w.imgStatusUnblocked->isVisible() &&
           !w.cmdBlockFB->isEnabled() && w.cmdUnblockFB->isEnabled() &&
           w.lblStatusEnd->text() == QLatin1String("blocked!");
}

bool isShownUnblocked(frmMain& w) {
    return !w.imgBlocked->isVisible() && w.imgUnblocked->isVisible() &&
           !w.imgStatusBlocked->isVisible() && w.imgStatusUnblocked->isVisible() &&
           w.cmdBlockFB->isEnabled() && !w.cmdUnblockFB->isEnabled() &&
           w.lblStatusEnd->text() == QLatin1String("not blocked!");
}

bool isShownUnknown(frmMain& w) {
    return !w.imgBlocked->isVisible() && !w.imgUnblocked->isVisible() &&
           !w.imgStatusBlocked->isVisible() && !w.imgStatusUnblocked->isVisible() &&
           !w.cmdBlockFB->isEnabled() && !w.cmdUnblockFB->isEnabled() &&
           w.lblStatusEnd->text() == QLatin1String("unknown");
}

// What the window's own pictures look like drawn at twice the size.
QImage drawnAtTwiceTheSize(QWidget* picture) {
    QPixmap canvas(picture->size() * 2);
    canvas.setDevicePixelRatio(2);
    canvas.fill(Qt::white);
    picture->render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    QImage image = canvas.toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestProgram> program;
    std::unique_ptr<MessageRecorder> messages;

    std::unique_ptr<frmMain> open() {
        auto window = std::make_unique<frmMain>(program->paths());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qFatal("window not exposed");
        }
        return window;
    }

private slots:
    void init() {
        program = std::make_unique<TestProgram>();
        messages = std::make_unique<MessageRecorder>();
    }
    void cleanup() {
        messages.reset();
        program.reset();
    }

    void startsInTheStateOfTheFile() {
        program->writeHosts(kOriginal);
        auto unblocked = open();
        QVERIFY(isShownUnblocked(*unblocked));

        program->writeHosts(kOriginal + allEntries());
        auto blocked = open();
        QVERIFY(isShownBlocked(*blocked));
        QVERIFY(messages->shown.isEmpty());
    }

    void blockAndUnblockByClicksRewriteTheFile() {
        program->writeHosts(kOriginal);
        auto w = open();

        QTest::mouseClick(w->cmdBlockFB, Qt::LeftButton);
        QCOMPARE(program->hosts(), kTidied + allEntries());
        QVERIFY(isShownBlocked(*w));
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown[0].icon, QMessageBox::Information);
        QCOMPARE(messages->shown[0].title, QStringLiteral("Tavrin Hushgate"));
        QCOMPARE(messages->shown[0].text,
                 QStringLiteral("You may need to exit your browser for these changes to take effect."));

        QTest::mouseClick(w->cmdUnblockFB, Qt::LeftButton);
        QCOMPARE(program->hosts(), kTidied);
        QVERIFY(isShownUnblocked(*w));
        QCOMPARE(messages->shown.size(), 2);
    }

    // Keys as the user presses them, through the window's real focus: Enter
    // means Block while it is enabled and nothing otherwise; a button the
    // user reaches with Tab takes Space and Enter.
    void keysPressOnlyWhatTheUserMeant_data() {
        QTest::addColumn<bool>("startBlocked");
        // R Enter, T Tab, S Space; X: the file goes away and comes back.
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("endBlocked");
        QTest::addColumn<int>("changes");
        QTest::newRow("not blocked: Enter blocks") << false << "R" << true << 1;
        QTest::newRow("not blocked: a second Enter does nothing") << false << "RR" << true << 1;
        QTest::newRow("blocked: Enter does nothing") << true << "RR" << true << 0;
        QTest::newRow("blocked: Tab, Space unblocks") << true << "TS" << false << 1;
        QTest::newRow("blocked: Tab, Enter unblocks") << true << "TR" << false << 1;
        QTest::newRow("unblocked by Tab, Space: Enter blocks") << true << "TSR" << true << 2;
        QTest::newRow("blocked: Tab, file away and back, Enter does nothing")
            << true << "TXR" << true << 0;
    }
    void keysPressOnlyWhatTheUserMeant() {
        QFETCH(bool, startBlocked);
        QFETCH(QString, keys);
        QFETCH(bool, endBlocked);
        QFETCH(int, changes);
        program->writeHosts(startBlocked ? kTidied + allEntries() : kTidied);
        auto w = open();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QWidget box;  // stands in for the message box each change shows
        for (const QChar key : keys) {
            if (key == QLatin1Char('X')) {
                const QByteArray before = program->hosts();
                QFile::remove(program->hostsPath());
                QTRY_VERIFY_WITH_TIMEOUT(isShownUnknown(*w), 10000);
                program->writeHosts(before);
                QTRY_VERIFY_WITH_TIMEOUT(w->cmdBlockFB->isEnabled() != w->cmdUnblockFB->isEnabled(),
                                         10000);
            } else {
                const Qt::Key code = key == QLatin1Char('R')   ? Qt::Key_Return
                                     : key == QLatin1Char('T') ? Qt::Key_Tab
                                                               : Qt::Key_Space;
                QTest::keyClick(w->windowHandle(), code);
            }
            // The window loses the focus to the box and gets it back.
            box.show();
            box.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&box));
            box.hide();
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w.get()));
        }
        QCOMPARE(program->hosts(), endBlocked ? kTidied + allEntries() : kTidied);
        QCOMPARE(messages->shown.size(), changes);
        QVERIFY(endBlocked ? isShownBlocked(*w) : isShownUnblocked(*w));
    }

    void f10OpensTheMenusAndTheArrowsMoveAlongThem() {
        program->writeHosts(kOriginal);
        auto w = open();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w->windowHandle(), Qt::Key_F10);
        QTRY_VERIFY(w->mnuFile->isVisible());
        QTest::keyClick(w->mnuFile->windowHandle(), Qt::Key_Right);
        QTRY_VERIFY(w->mnuHelp->isVisible());
        QVERIFY(!w->mnuFile->isVisible());
        QTest::keyClick(w->mnuHelp->windowHandle(), Qt::Key_Left);
        QTRY_VERIFY(w->mnuFile->isVisible());
        QTest::keyClick(w->mnuFile->windowHandle(), Qt::Key_Escape);
    }

    void stateWordFollowsTheStatusTextAtAFixedGap() {
        program->writeHosts(kOriginal);
        auto w = open();
        const int x = w->lblStatusEnd->x();
        QCOMPARE(x, w->lblStatus->x() + w->lblStatus->width() + 5);
        QTest::mouseClick(w->cmdBlockFB, Qt::LeftButton);
        QCOMPARE(w->lblStatusEnd->x(), x);
    }

    // The window watches the file: it shows what is on disk, whoever changed
    // it, and tells of a missing file once, at start.
    void windowFollowsTheFileOnDisk() {
        auto w = open();
        QTRY_COMPARE(messages->shown.size(), 1);
        QVERIFY2(messages->shown[0].text.contains(program->hostsPath()),
                 qPrintable(messages->shown[0].text));
        QVERIFY(isShownUnknown(*w));
        QVERIFY(!QFile::exists(program->hostsPath()));

        program->writeHosts(kOriginal);
        QTRY_VERIFY_WITH_TIMEOUT(isShownUnblocked(*w), 10000);
        // Another program (here the engine hushgate-cli uses) blocks.
        hushgate::HostsEngine other(program->paths().hostsFile, hushgate::LineEnd::Lf);
        other.Block();
        QTRY_VERIFY_WITH_TIMEOUT(isShownBlocked(*w), 10000);
        QFile::remove(program->hostsPath());
        QTRY_VERIFY_WITH_TIMEOUT(isShownUnknown(*w), 10000);
        program->writeHosts(kOriginal + allEntries());
        QTRY_VERIFY_WITH_TIMEOUT(isShownBlocked(*w), 10000);
        QCOMPARE(messages->shown.size(), 1);
    }

    void picturesAreSharpAtTwiceTheScale_data() {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("source");
        QTest::newRow("logo") << "imgLogo"
                              << ":/images/logo@2x.jpg";
        QTest::newRow("check mark") << "imgUnblocked"
                                    << ":/images/unblocked@2x.jpg";
        QTest::newRow("open padlock") << "imgStatusUnblocked"
                                      << ":/images/padlock_open@2x.png";
    }
    void picturesAreSharpAtTwiceTheScale() {
        QFETCH(QString, picture);
        QFETCH(QString, source);
        program->writeHosts(kOriginal);
        auto w = open();
        auto* control = w->findChild<QLabel*>(picture);
        QVERIFY(control != nullptr && control->isVisible());
        // The source itself, pixel for pixel (Qt reads an "@2x" file as half its size).
        QImage source2x(source);
        source2x.setDevicePixelRatio(1);
        QImage expected(source2x.size(), QImage::Format_RGB32);
        expected.fill(Qt::white);
        QPainter(&expected).drawImage(0, 0, source2x);
        QCOMPARE(drawnAtTwiceTheSize(control), expected);
    }

    void exitMenuClosesAndSaves() {
        program->writeHosts(kOriginal);
        auto w = open();
        w->presenter().lblSettingsLanguage = "Deutsch";
        w->mnuExit->trigger();
        QVERIFY(!w->isVisible());
        QCOMPARE(TestProgram::read(program->settingsPath()),
                 QByteArray("[Settings]\r\nLanguage=Deutsch\r\n"));
    }

    void flatToolbarFollowsItsThreeCases() {
        QToolBar bar;
        bar.addAction(QStringLiteral("a"));
        bar.addAction(QStringLiteral("b"));
        hushgate::SetToolbarFlat(&bar, false);  // flat by default: made raised
        QVERIFY(!hushgate::IsToolbarFlat(&bar));
        hushgate::SetToolbarFlat(&bar, false);  // not flat: unchanged
        QVERIFY(!hushgate::IsToolbarFlat(&bar));
        hushgate::SetToolbarFlat(&bar, true);
        hushgate::SetToolbarFlat(&bar, true);  // twice: as after once
        QVERIFY(hushgate::IsToolbarFlat(&bar));
        hushgate::SetToolbarFlat(nullptr, true);  // no toolbar: nothing happens
    }

    void toolbarImagesComeFromTheIconLibrary() {
        program->writeHosts(kOriginal);
        auto w = open();
        QCOMPARE(w->imgListToolbar.size(), 5);
        const QList<QAction*> buttons = w->Toolbar1->actions();
        for (int i = 1; i < 5; ++i) {
            QVERIFY2(!buttons[i]->icon().isNull(), qPrintable(buttons[i]->data().toString()));
        }
        QVERIFY(messages->shown.isEmpty());
    }

    void missingIconLibraryIsReportedOnceAndTheWindowOpens() {
        program->writeHosts(kOriginal);
        QFile::remove(program->path(QStringLiteral("program/resources.dll")));
        auto w = open();
        QTRY_COMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown[0].text, QStringLiteral("\"Resources.dll\" is missing!"));
        QVERIFY(w->imgListToolbar.isEmpty());
        for (QAction* button : w->Toolbar1->actions()) {
            QVERIFY(button->icon().isNull());
        }
        QVERIFY(isShownUnblocked(*w));
        QTest::qWait(50);
        QCOMPARE(messages->shown.size(), 1);
    }

    void layoutMatchesTheDesign() {
        program->writeHosts(kOriginal);
        auto w = open();
        QCOMPARE(w->centralWidget()->size(), QSize(592, 296));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tavrin Hushgate"));

        const QList<QAction*> menus = w->menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->text(), QStringLiteral("File"));
        QCOMPARE(menus[1]->text(), QStringLiteral("Help"));
        QCOMPARE(w->mnuFile->actions().indexOf(w->mnuExit), 0);
        const QList<QAction*> help = w->mnuHelp->actions();
        QCOMPARE(help.indexOf(w->mnuCheckUpdates), 0);
        QVERIFY(help[1]->isSeparator());
        QCOMPARE(help.indexOf(w->mnuLanguage), 2);
        QCOMPARE(help.indexOf(w->mnuDonate), 3);
        QCOMPARE(help.indexOf(w->mnuWeb), 4);
        QCOMPARE(help.indexOf(w->mnuAbout), 5);
        QCOMPARE(help.indexOf(w->mnuFacebook), 6);

        const QList<QAction*> buttons = w->Toolbar1->actions();
        QCOMPARE(buttons.size(), 5);
        QVERIFY(buttons[0]->isSeparator());
        const QStringList keys = {"language", "about", "web", "facebook"};
        const QStringList tips = {"Change language", "About...", "Web...", "Follow me on Facebook..."};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(buttons[i + 1]->data().toString(), keys[i]);
            QCOMPARE(buttons[i + 1]->toolTip(), tips[i]);
            QVERIFY(buttons[i + 1]->text().isEmpty());
        }
        QVERIFY(hushgate::IsToolbarFlat(w->Toolbar1));
        for (QAction* item : {w->mnuExit, w->mnuCheckUpdates, w->mnuLanguage, w->mnuWeb, w->mnuAbout}) {
            QVERIFY2(!item->icon().isNull(), qPrintable(item->objectName()));
        }
        QVERIFY(w->mnuDonate->icon().isNull());
        QVERIFY(w->mnuLine2->icon().isNull());

        QCOMPARE(w->lblLink->text(), QStringLiteral("http://www.tavrin-software.example"));
        const QPalette linkColours = w->lblLink->palette();
        QCOMPARE(linkColours.color(w->lblLink->foregroundRole()),
                 linkColours.color(QPalette::Highlight));
        // Whole toolbar pictures: every button is at least as high as they are.
        for (QAction* button : buttons.mid(1)) {
            QVERIFY(w->Toolbar1->widgetForAction(button)->height() >=
                    w->Toolbar1->iconSize().height());
        }
        // Centred on the screen, give or take the window frame.
        const QPoint offCentre =
            w->frameGeometry().center() - w->screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 8, qPrintable(QString::number(offCentre.x())));
        const QRect link = w->lblLink->geometry().translated(w->PicWeb->pos());
        QCOMPARE(link.right() + 1, 424 + 155);
        QCOMPARE(w->cmdBlockFB->geometry(), QRect(304, 248, 137, 33));
        QCOMPARE(w->cmdUnblockFB->geometry(), QRect(453, 248, 129, 33));
        QCOMPARE(w->imgLogo->geometry(), QRect(64, 40, 450, 130));
        QVERIFY(!w->imgLogo->pixmap().isNull());
        QVERIFY(w->lblStatusEnd->font().bold());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
