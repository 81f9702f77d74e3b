// The main window in the language named in config.ini, and a change of
// language through the dialog that takes effect at the next start.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "app_fixture.h"
#include "frm_about.h"
#include "frm_language.h"
#include "frm_main.h"
#include "language_text.h"

using hushgate::frmMain;
using hushgate::test::MessageRecorder;
using hushgate::test::TestProgram;

namespace {

bool hasScript(const QString& text, QChar::Script script) {
    for (const QChar c : text) {
        if (c.script() == script) {
            return true;
        }
    }
    return false;
}

QVariant characterSetOf(const QObject* control) {
    return control->property(hushgate::kCharacterSetProperty);
}

}  // namespace

class LanguageWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestProgram> program;
    std::unique_ptr<MessageRecorder> messages;

    std::unique_ptr<frmMain> startIn(const QByteArray& language) {
        TestProgram::write(program->settingsPath(), "[Settings]\r\nLanguage=" + language + "\r\n");
        auto window = std::make_unique<frmMain>(program->paths());
        window->show();
        return window;
    }

private slots:
    void init() {
        program = std::make_unique<TestProgram>();
        messages = std::make_unique<MessageRecorder>();
        program->writeHosts("127.0.0.1 localhost\n");
    }
    void cleanup() {
        messages.reset();
        program.reset();
    }

    void configuredLanguageReachesEveryText_data() {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<int>("script");
        QTest::addColumn<int>("characterSet");
        QTest::newRow("Russian") << QByteArray("Russian") << int(QChar::Script_Cyrillic) << 204;
        QTest::newRow("Greek") << QByteArray("Greek") << int(QChar::Script_Greek) << 161;
    }
    void configuredLanguageReachesEveryText() {
        QFETCH(QByteArray, language);
        QFETCH(int, script);
        QFETCH(int, characterSet);
        const auto w = startIn(language);
        const auto inScript = [&](const QString& text) {
            return hasScript(text, static_cast<QChar::Script>(script));
        };
        QCOMPARE(w->presenter().lblSettingsLanguage, language.toStdString());
        for (QMenu* menu : {w->mnuFile, w->mnuHelp}) {
            QVERIFY2(inScript(menu->title()), qPrintable(menu->title()));
        }
        for (QAction* item : {w->mnuExit, w->mnuCheckUpdates, w->mnuLanguage, w->mnuDonate, w->mnuWeb,
                              w->mnuAbout}) {
            QVERIFY2(inScript(item->text()), qPrintable(item->text()));
        }
        QCOMPARE(w->Toolbar1->actions()[1]->toolTip(), w->mnuLanguage->text());
        QCOMPARE(w->Toolbar1->actions()[2]->toolTip(), w->mnuAbout->text());
        QCOMPARE(w->Toolbar1->actions()[3]->toolTip(), w->mnuWeb->text());
        QVERIFY(inScript(w->lblStatus->text()));
        QVERIFY(inScript(w->lblStatusEnd->text()));
        // The state word follows the language's character set; the status
        // text keeps the layout's.
        QCOMPARE(characterSetOf(w->lblStatusEnd).toInt(), characterSet);
        QVERIFY(!characterSetOf(w->lblStatus).isValid());
        QVERIFY(!characterSetOf(w->cmdBlockFB).isValid());
        QCOMPARE(w->lblStatusEnd->x(), w->lblStatus->x() + w->lblStatus->width() + 5);
    }

    // Qt's own texts too: the buttons of the message boxes.
    void messageBoxButtonsSpeakTheLanguage_data() {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("yes");
        QTest::newRow("English") << QByteArray("English") << "&Yes";
        QTest::newRow("German, from Qt") << QByteArray("German") << "&Ja";
        QTest::newRow("Greek, which Qt lacks") << QByteArray("Greek") << QString::fromUtf8("&Ναι");
    }
    void messageBoxButtonsSpeakTheLanguage() {
        QFETCH(QByteArray, language);
        QFETCH(QString, yes);
        const auto w = startIn(language);
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), yes);
    }

    void appliedLanguageIsUsedFromTheNextStart() {
        auto w = startIn("English");
        w->mnuLanguage->trigger();
        auto* dialog = w->findChild<hushgate::frmLanguage*>();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->isVisible());
        dialog->cboLanguage->setCurrentIndex(dialog->cboLanguage->findText(QStringLiteral("Russian")));
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        QCOMPARE(w->presenter().lblSettingsLanguage, std::string("Russian"));
        QCOMPARE(messages->shown.size(), 1);
        // Nothing changes before the next start.
        QCOMPARE(w->mnuFile->title(), QStringLiteral("File"));
        w->mnuAbout->trigger();
        auto* about = w->findChild<hushgate::frmAbout*>();
        QVERIFY(about != nullptr);
        QCOMPARE(about->cmdClose->text(), QStringLiteral("&Close"));

        w->close();
        QCOMPARE(TestProgram::read(program->settingsPath()), QByteArray("[Settings]\r\nLanguage=Russian\r\n"));
        w = std::make_unique<frmMain>(program->paths());
        QVERIFY(hasScript(w->mnuFile->title(), QChar::Script_Cyrillic));
        w->mnuAbout->trigger();
        about = w->findChild<hushgate::frmAbout*>();
        QVERIFY(hasScript(about->cmdClose->text(), QChar::Script_Cyrillic));
    }

    void dialogsOpenOnceAndCloseWithTheWindow() {
        auto w = startIn("English");
        w->mnuAbout->trigger();
        w->mnuAbout->trigger();
        w->mnuLanguage->trigger();
        w->Toolbar1->actions()[1]->trigger();  // "language"
        QCOMPARE(w->findChildren<hushgate::frmAbout*>().size(), 1);
        QCOMPARE(w->findChildren<hushgate::frmLanguage*>().size(), 1);
        QPointer<hushgate::frmAbout> about = w->findChild<hushgate::frmAbout*>();
        w->close();
        QVERIFY(about.isNull() || !about->isVisible());
    }
};

QTEST_MAIN(LanguageWindowTest)
#include "language_window_test.moc"
