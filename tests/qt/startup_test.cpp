// The start-up step: first-run settings, the image-reader check, the main
// window it opens, and its own end a second later.

#include "startup.h"

#include <QImageReader>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app_fixture.h"
#include "main_window.h"

using hushgate::Startup;
using namespace hushgate::test;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    // A first run writes the default settings (an existing file is the
    // settings file's concern) and opens the main window.
    void firstRunWritesTheSettingsAndOpensTheWindow() {
        ProgramFolder program;
        program.writeHosts("127.0.0.1 localhost\n");
        MessageRecorder messages;
        QPointer<Startup> startup = new Startup(pathsOf(program));
        QVERIFY(startup->load());
        QCOMPARE(ProgramFolder::read(program.settingsPath()),
                 QByteArray("[Settings]\r\nLanguage=English\r\n\r\n"));
        QPointer<hushgate::MainWindow> main = startup->mainWindow();
        QVERIFY(main->isVisible() && !startup->isVisible());
        QVERIFY(messages.shown.isEmpty());
        // The step goes away by itself; the main window stays.
        QTRY_VERIFY_WITH_TIMEOUT(startup.isNull(), 5000);
        QVERIFY(main->isVisible());
        delete main.data();
    }

    // A damaged language file: English and one message naming it. A partly
    // blocked file: the status line's tool tip and description say how much.
    void damagedLanguageAndPartialBlockAreSaid() {
        ProgramFolder program;
        program.writeHosts("127.0.0.1 localhost\n" +
                           allEntries().left(allEntries().indexOf('\n') + 1));
        ProgramFolder::write(program.program() + QStringLiteral("/Language/Broken.lng"),
                             "\x9C\xFF[Ma");
        ProgramFolder::write(program.settingsPath(), "[Settings]\r\nLanguage=Broken\r\n");
        MessageRecorder messages;
        QPointer<Startup> startup = new Startup(pathsOf(program));
        QVERIFY(startup->load());
        QPointer<hushgate::MainWindow> main = startup->mainWindow();
        QTRY_COMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].text.startsWith(QStringLiteral("The language file ")) &&
                     messages.shown[0].text.contains(
                         QStringLiteral("Broken.lng cannot be used: no [Main]")),
                 qPrintable(messages.shown[0].text));
        QCOMPARE(main->findChild<QPushButton*>(QStringLiteral("cmdBlockFB"))->text(),
                 QStringLiteral("&Block Facebook"));
        for (const char* name : {"lblStatus", "lblStatusEnd"}) {
            const QLabel* label = main->findChild<QLabel*>(QLatin1String(name));
            QCOMPARE(label->toolTip(), QStringLiteral("1 of 68 entries present"));
            QCOMPARE(label->accessibleDescription(), label->toolTip());
        }
        delete main.data();
    }

    void closingTheMainWindowEarlyClosesTheStartupStepToo() {
        ProgramFolder program;
        MessageRecorder messages;
        QPointer<Startup> startup = new Startup(pathsOf(program));
        QVERIFY(startup->load());
        QPointer<hushgate::MainWindow> main = startup->mainWindow();
        main->close();
        QTRY_VERIFY(startup.isNull() && main.isNull());
    }

    void imageReaderCheckNamesWhatIsMissing() {
        QVERIFY(hushgate::MissingImageReaders(QImageReader::supportedImageFormats()).isEmpty());
        const QStringList missing = hushgate::MissingImageReaders({"png", "gif", "jpg"});
        QCOMPARE(missing.size(), 2);
        QVERIFY(missing[0].contains(QLatin1String("jpeg")) &&
                missing[1].contains(QLatin1String("ico")));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
