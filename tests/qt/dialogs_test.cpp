// Drives the real About and language dialogs, with the language files we
// ship in a temporary program folder: keys, focus, clicks and links. What
// they show is their presenters', tested without a window.

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "about_dialog.h"
#include "language_dialog.h"
#include "language_text.h"
#include "qt_test_support.h"
#include "web_constants.h"

using hushgate::AboutDialog;
using hushgate::LanguageDialog;
using hushgate::test::MessageRecorder;
using hushgate::test::ProgramFolder;

class DialogsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> program;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<QWidget> owner;
    std::string inForce;  // the main window's lblSettingsLanguage
    QStringList opened;   // addresses handed to the shell

    hushgate::LanguageFile language(const char* name) const {
        return hushgate::LanguageFile::inProgramFolder(program->nativeProgram(), name);
    }
    template <typename Dialog>
    QPointer<Dialog> shown(Dialog* dialog) {
        dialog->show();
        if (!QTest::qWaitForWindowActive(dialog)) {
            qFatal("dialog not active");
        }
        return dialog;
    }
    QPointer<AboutDialog> about() {
        return shown(new AboutDialog(owner.get(), language("English"),
                                     [this](const QString& address) { opened << address; }));
    }
    QPointer<LanguageDialog> languageDialog() {
        return shown(new LanguageDialog(
            owner.get(), program->nativeProgram(), language("English"),
            {[this] { return inForce; }, [this](const std::string& name) { inForce = name; }},
            [this](const QString& address) { opened << address; }));
    }

private slots:
    void init() {
        program = std::make_unique<ProgramFolder>();
        messages = std::make_unique<MessageRecorder>();
        owner = std::make_unique<QWidget>();
        owner->show();
        inForce = "English";
        opened.clear();
    }
    void cleanup() {
        owner.reset();  // takes any dialog still open with it
        messages.reset();
        program.reset();
    }

    void bothAreFixedModelessDialogsOfTheirOwner() {
        const QList<QDialog*> dialogs = {about().data(), languageDialog().data()};
        for (QDialog* dialog : dialogs) {
            QCOMPARE(dialog->parentWidget(), owner.get());
            QVERIFY(!dialog->isModal() && owner->isEnabled());
            QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
            QVERIFY(!(dialog->windowFlags() & Qt::WindowMaximizeButtonHint));
            QVERIFY(!dialog->windowIcon().isNull());
        }
    }

    // Esc closes from wherever the focus is, Enter presses the default
    // button; a closed dialog is gone, so the next opening starts afresh.
    void keysAndButtonsClose_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");  // 0: click the focus instead
        QTest::addColumn<QString>("applied");
        QTest::newRow("About: Esc") << "about"
                                    << "cmdClose" << int(Qt::Key_Escape) << "";
        QTest::newRow("About: Enter") << "about"
                                      << "cmdClose" << int(Qt::Key_Return) << "";
        QTest::newRow("About: Close") << "about"
                                      << "cmdClose" << 0 << "";
        QTest::newRow("language: Cancel") << "language"
                                          << "cmdCancel" << 0 << "";
        QTest::newRow("language: Esc in the list") << "language"
                                                   << "cboLanguage" << int(Qt::Key_Escape) << "";
        QTest::newRow("language: Esc on Apply") << "language"
                                                << "cmdOK" << int(Qt::Key_Escape) << "";
        QTest::newRow("language: Esc on Cancel") << "language"
                                                 << "cmdCancel" << int(Qt::Key_Escape) << "";
        QTest::newRow("language: Enter in the list")
            << "language"
            << "cboLanguage" << int(Qt::Key_Return) << "German";
        QTest::newRow("language: Apply") << "language"
                                         << "cmdOK" << 0 << "German";
    }
    void keysAndButtonsClose() {
        QFETCH(QString, dialog);
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, applied);
        QPointer<QDialog> shown = dialog == QLatin1String("about")
                                      ? QPointer<QDialog>(about())
                                      : QPointer<QDialog>(languageDialog());
        if (auto* list = shown->findChild<QComboBox*>()) {
            list->setCurrentText(QStringLiteral("German"));
        }
        auto* control = shown->findChild<QWidget*>(focus);
        control->setFocus();
        if (key == 0) {
            QTest::mouseClick(control, Qt::LeftButton);
        } else {
            QTest::keyClick(control, Qt::Key(key));
        }
        QTRY_VERIFY(shown.isNull());
        QCOMPARE(QString::fromStdString(inForce),
                 applied.isEmpty() ? QStringLiteral("English") : applied);
        QCOMPARE(messages->shown.size(), applied.isEmpty() ? 0 : 1);
        QVERIFY(opened.isEmpty());
    }

    // Arrow keys in the list move the selection, and each step previews.
    void keysInTheListPreview() {
        QPointer<LanguageDialog> dialog = languageDialog();
        dialog->cboLanguage->setCurrentText(QStringLiteral("Greek"));
        dialog->cboLanguage->setFocus();
        QTest::keyClick(dialog->cboLanguage, Qt::Key_Up);
        QCOMPARE(dialog->cboLanguage->currentText(), QStringLiteral("German"));
        QCOMPARE(dialog->cmdOK->text(), hushgate::ToQString(language("German").text("Tray", "5")));
        QTest::keyClick(dialog->cboLanguage, Qt::Key_Down);
        QCOMPARE(dialog->cmdOK->text(), hushgate::ToQString(language("Greek").text("Tray", "5")));
        QCOMPARE(inForce, std::string("English"));
    }

    void enterDoesNothingWhileApplyIsOff() {
        inForce = "Klingon";  // a language without a file selects nothing
        QPointer<LanguageDialog> dialog = languageDialog();
        QVERIFY(!dialog->cmdOK->isEnabled());
        QTest::keyClick(dialog->cboLanguage, Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QVERIFY(messages->shown.isEmpty());
    }

    void linksOpenTheirAddresses() {
        QPointer<AboutDialog> aboutDialog = about();
        QTest::mouseClick(aboutDialog->lblLink, Qt::LeftButton);
        QPointer<LanguageDialog> dialog = languageDialog();
        QTest::mouseClick(dialog->lblTranslatedByEmail, Qt::LeftButton);
        QTest::mouseClick(dialog->lblTranslatedByWeb, Qt::LeftButton);
        QTest::mouseClick(dialog->lblTranslatedByName, Qt::LeftButton);  // not a link
        QCOMPARE(opened, (QStringList{QString::fromUtf8(hushgate::web::kHomePage),
                                      QStringLiteral("mailto:lang@tavrin-software.example"),
                                      QStringLiteral("http://tavrin-software.example")}));
        for (QLabel* link :
             {aboutDialog->lblLink, dialog->lblTranslatedByEmail, dialog->lblTranslatedByWeb}) {
            QCOMPARE(link->cursor().shape(), Qt::BitmapCursor);
        }
        QVERIFY(aboutDialog->isVisible() && dialog->isVisible());
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
