// The start-up step: first-run settings, the image-reader check and the
// main window it opens, and its own end a second later.

#include <QImageReader>
#include <QPointer>
#include <QTest>
#include <memory>

#include "app_fixture.h"
#include "frm_main.h"
#include "frm_set.h"

using hushgate::frmMain;
using hushgate::frmSet;
using hushgate::MissingImageReaders;
using hushgate::test::MessageRecorder;
using hushgate::test::TestProgram;

class StartupTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestProgram> program;
    std::unique_ptr<MessageRecorder> messages;

private slots:
    void init() {
        program = std::make_unique<TestProgram>();
        messages = std::make_unique<MessageRecorder>();
        program->writeHosts("127.0.0.1 localhost\n");
    }
    void cleanup() {
        QList<QPointer<QWidget>> windows;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName().startsWith(QLatin1String("frm"))) {
                windows.append(window);
            }
        }
        for (const QPointer<QWidget>& window : windows) {
            delete window.data();
        }
        messages.reset();
        program.reset();
    }

    void firstRunWritesTheDefaultSettingsAndOpensTheWindow() {
        auto* startup = new frmSet(program->paths());
        QVERIFY(startup->Form_Load());
        QCOMPARE(TestProgram::read(program->settingsPath()),
                 QByteArray("[Settings]\r\nLanguage=English\r\n\r\n"));
        QVERIFY(startup->mainWindow() != nullptr);
        QVERIFY(startup->mainWindow()->isVisible());
        QVERIFY(!startup->isVisible());
        QVERIFY(messages->shown.isEmpty());
    }

    void existingSettingsAreLeftAlone() {
        const QByteArray mine = "; mine\r\n[Settings]\r\nLanguage=English\r\nOther=1";
        TestProgram::write(program->settingsPath(), mine);
        auto* startup = new frmSet(program->paths());
        QVERIFY(startup->Form_Load());
        QCOMPARE(TestProgram::read(program->settingsPath()), mine);
    }

    void startupStepGoesAwayAfterASecond() {
        QPointer<frmSet> startup = new frmSet(program->paths());
        QVERIFY(startup->Form_Load());
        QPointer<frmMain> main = startup->mainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(startup.isNull(), 3000);
        QVERIFY(!main.isNull());
        QVERIFY(main->isVisible());
    }

    void closingTheMainWindowEarlyClosesTheStartupStepToo() {
        QPointer<frmSet> startup = new frmSet(program->paths());
        QVERIFY(startup->Form_Load());
        QPointer<frmMain> main = startup->mainWindow();
        main->close();
        QTRY_VERIFY(startup.isNull());
        QTRY_VERIFY(main.isNull());
        QCOMPARE(TestProgram::read(program->settingsPath()),
                 QByteArray("[Settings]\r\nLanguage=English\r\n"));
    }

    void imageReaderCheckNamesWhatIsMissing() {
        QVERIFY(MissingImageReaders(QImageReader::supportedImageFormats()).isEmpty());
        const QStringList missing = MissingImageReaders({"png", "gif", "jpg"});
        QCOMPARE(missing.size(), 2);
        QVERIFY(missing[0].contains(QLatin1String("jpeg")));
        QVERIFY(missing[1].contains(QLatin1String("ico")));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
