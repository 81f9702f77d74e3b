// Drives the real main window with a temporary hosts file and program folder.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
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
           !w.cmdBlockFB->isEnabled() && !w.cmdUnblockFB->isEnabled();
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

    void enterPressesTheBlockButton() {
        program->writeHosts(kOriginal);
        auto w = open();
        QVERIFY(w->cmdBlockFB->isDefault());
        QTest::keyClick(w.get(), Qt::Key_Return);
        QCOMPARE(program->hosts(), kTidied + allEntries());
        // Blocked now: the default button is disabled, so Enter does nothing.
        QTest::keyClick(w.get(), Qt::Key_Enter);
        QCOMPARE(program->hosts(), kTidied + allEntries());
        QCOMPARE(messages->shown.size(), 1);
    }

    void stateWordFollowsTheStatusTextAtAFixedGap() {
        program->writeHosts(kOriginal);
        auto w = open();
        const int x = w->lblStatusEnd->x();
        QCOMPARE(x, w->lblStatus->x() + w->lblStatus->width() + 5);
        QTest::mouseClick(w->cmdBlockFB, Qt::LeftButton);
        QCOMPARE(w->lblStatusEnd->x(), x);
    }

    void missingHostsFileIsReportedAndTheWindowStaysUsable() {
        auto w = open();
        QTRY_COMPARE(messages->shown.size(), 1);
        const auto& shown = messages->shown[0];
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QCOMPARE(shown.title, QStringLiteral("Tavrin Hushgate"));
        QVERIFY2(shown.text.contains(program->hostsPath()), qPrintable(shown.text));
        QVERIFY2(shown.text.contains(QStringLiteral("No such file")), qPrintable(shown.text));
        QVERIFY(isShownUnknown(*w));
        QVERIFY(!QFile::exists(program->hostsPath()));
    }

    void failedWriteShowsWhatIsOnDisk() {
        program->writeHosts(kOriginal);
        auto w = open();
        // Another program keeps rewriting the file while we try to block.
        w->engine().setBeforeReplaceHook([&] { program->writeHosts("10.0.0.1 printer\n"); });
        QTest::mouseClick(w->cmdBlockFB, Qt::LeftButton);
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown[0].icon, QMessageBox::Critical);
        QVERIFY(messages->shown[0].text.contains(QStringLiteral("another program")));
        QCOMPARE(program->hosts(), QByteArray("10.0.0.1 printer\n"));
        QVERIFY(isShownUnblocked(*w));

        // Once the other program stops, blocking works.
        w->engine().setBeforeReplaceHook({});
        QTest::mouseClick(w->cmdBlockFB, Qt::LeftButton);
        QCOMPARE(program->hosts(), QByteArray("10.0.0.1 printer\n") + allEntries());
        QVERIFY(isShownBlocked(*w));
    }

    void fileRemovedWhileRunningIsReported() {
        program->writeHosts(kOriginal);
        auto w = open();
        QFile::remove(program->hostsPath());
        QTest::mouseClick(w->cmdBlockFB, Qt::LeftButton);
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown[0].icon, QMessageBox::Critical);
        QVERIFY(isShownUnknown(*w));
        QVERIFY(!QFile::exists(program->hostsPath()));
    }

    void closingSavesTheLanguage() {
        program->writeHosts(kOriginal);
        TestProgram::write(program->settingsPath(), "[Settings]\r\nLanguage=Klingon\r\n; note\r\n");
        auto w = open();
        // No Klingon.lng: the window runs in English, and that is saved.
        QCOMPARE(w->lblSettingsLanguage, QStringLiteral("English"));
        w->close();
        QCOMPARE(TestProgram::read(program->settingsPath()),
                 QByteArray("[Settings]\r\nLanguage=English\r\n"));
    }

    void exitMenuClosesAndSaves() {
        program->writeHosts(kOriginal);
        auto w = open();
        w->lblSettingsLanguage = QStringLiteral("Deutsch");
        w->mnuExit->trigger();
        QVERIFY(!w->isVisible());
        QCOMPARE(TestProgram::read(program->settingsPath()),
                 QByteArray("[Settings]\r\nLanguage=Deutsch\r\n"));
    }

    void unsavableSettingsAreReportedAndTheWindowStillCloses() {
        program->writeHosts(kOriginal);
        // A file where the settings folder should be.
        TestProgram::write(program->path(QStringLiteral("config")), "not a folder");
        auto w = open();
        w->close();
        QVERIFY(!w->isVisible());
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown[0].icon, QMessageBox::Warning);
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
        QCOMPARE(messages->shown[0].icon, QMessageBox::Critical);
        QCOMPARE(messages->shown[0].title, QStringLiteral("Tavrin Hushgate"));
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
