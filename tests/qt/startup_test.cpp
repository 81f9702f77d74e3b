// The start-up step: first-run settings, the image-reader check, the main
// window it opens, and its own end a second later.

#include "startup.h"

#include <QImageReader>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "app_fixture.h"
#include "main_window.h"

using hushgate::Startup;
using namespace hushgate::test;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    // A first run writes the default settings (an existing file is the
    // settings file's concern) and opens the main window, whose status line
    // says in its tool tip and description how much of a block is there.
    void firstRunWritesTheSettingsAndOpensTheWindow() {
        ProgramFolder program;
        program.writeHosts("127.0.0.1 localhost\n" +
                           allEntries().first(allEntries().indexOf('\n')));
        MessageRecorder messages;
        QPointer<Startup> startup = new Startup(pathsOf(program));
        QVERIFY(startup->load());
        QCOMPARE(ProgramFolder::read(program.settingsPath()),
                 QByteArray("[Settings]\r\nLanguage=English\r\n\r\n"));
        QPointer<hushgate::MainWindow> main = startup->mainWindow();
        QVERIFY(main->isVisible() && !startup->isVisible());
        QVERIFY(messages.shown.isEmpty());
        for (const char* name : {"lblStatus", "lblStatusEnd"}) {
            const QLabel* label = main->findChild<QLabel*>(QLatin1String(name));
            QCOMPARE(label->toolTip(), QStringLiteral("1 of 68 entries present"));
            QCOMPARE(label->accessibleDescription(), label->toolTip());
        }
        // The step goes away by itself; the main window stays.
        QTRY_VERIFY_WITH_TIMEOUT(startup.isNull(), 5000);
        QVERIFY(main->isVisible());
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
