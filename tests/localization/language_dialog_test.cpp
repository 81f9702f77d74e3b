// Drives the real language dialog with the language files we ship, in a
// temporary program folder. The language in force is a string of the test.

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "dialog_fixture.h"
#include "frm_language.h"
#include "language_text.h"
#include "message_box.h"

using hushgate::frmLanguage;
using hushgate::kCharacterSetProperty;
using hushgate::LanguageFile;
using hushgate::ToQString;
using hushgate::MessageBox;
using hushgate::test::hasLetters;
using hushgate::test::ProgramFolder;
using hushgate::test::scriptOf;

class LanguageDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> program;
    std::unique_ptr<QWidget> owner;
    std::string inForce;  // the main window's lblSettingsLanguage
    QStringList events;  // messages and "Apply"s, in order
    QList<MessageBox::Shown> messages;
    QStringList opened;  // addresses handed to the shell

    QPointer<frmLanguage> open(const QString& startupLanguage = QStringLiteral("English")) {
        hushgate::LanguagePresenter::LanguageInForce languageInForce{
            [this] { return inForce; }, [this](const std::string& name) {
                events << QStringLiteral("set ") + QString::fromStdString(name);
                inForce = name;
            }};
        auto* dialog = new frmLanguage(owner.get(), program->nativePath(),
                                       program->language(startupLanguage), languageInForce,
                                       [this](const QString& address) { opened << address; });
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog)) {
            qFatal("dialog not exposed");
        }
        return dialog;
    }

    // The dialog shows the texts of `file` as its preview does.
    static void verifyPreviewOf(frmLanguage* dialog, const LanguageFile& file) {
        QCOMPARE(dialog->windowTitle(), ToQString(file.text("Tray", "3")));
        QCOMPARE(dialog->lblSelect->text(), ToQString(file.text("Tray", "4")));
        QCOMPARE(dialog->cmdOK->text(), ToQString(file.text("Tray", "5")));
        QCOMPARE(dialog->cmdCancel->text(), ToQString(file.text("Tray", "6")));
        QCOMPARE(dialog->lblTranslatedByName->text(), ToQString(file.text("LANGUAGE", "translator")));
        QCOMPARE(dialog->lblTranslatedByEmail->text(), ToQString(file.text("LANGUAGE", "e-mail")));
        QCOMPARE(dialog->lblTranslatedByWeb->text(), ToQString(file.text("LANGUAGE", "web")));
        QCOMPARE(dialog->presenter().SelectedLanguageFilePath(), file.path());
    }

private slots:
    void init() {
        program = std::make_unique<ProgramFolder>();
        owner = std::make_unique<QWidget>();
        owner->resize(600, 400);
        owner->show();
        inForce = "English";
        events.clear();
        messages.clear();
        opened.clear();
        MessageBox::setHandler([this](const MessageBox::Shown& shown) {
            events << QStringLiteral("message");
            messages << shown;
            return QMessageBox::Ok;
        });
    }
    void cleanup() {
        MessageBox::setHandler({});
        owner.reset();  // takes any dialog still open with it
        program.reset();
    }

    void isAFixedModelessDialogOfItsOwner() {
        QPointer<frmLanguage> dialog = open();
        QCOMPARE(dialog->objectName(), QStringLiteral("frmLanguage"));
        QCOMPARE(dialog->parentWidget(), owner.get());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->size(), QSize(217, 177));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QVERIFY(!dialog->windowIcon().isNull());
        QVERIFY(dialog->cmdOK->isDefault());
        QVERIFY(!dialog->cboLanguage->isEditable());
        QCOMPARE(dialog->cboLanguage->geometry(), QRect(16, 24, 121, 21));
        QCOMPARE(dialog->cmdOK->geometry(), QRect(16, 136, 89, 25));
        QCOMPARE(dialog->cmdCancel->geometry(), QRect(112, 136, 89, 25));
    }

    void selectsAndPreviewsTheLanguageInForce_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("characterSet");
        QTest::newRow("English") << QStringLiteral("English") << 0;
        QTest::newRow("Greek") << QStringLiteral("Greek") << 161;
    }
    void selectsAndPreviewsTheLanguageInForce() {
        QFETCH(QString, language);
        QFETCH(int, characterSet);
        inForce = language.toStdString();
        QPointer<frmLanguage> dialog = open(language);
        QCOMPARE(dialog->cboLanguage->currentText(), language);
        QVERIFY(dialog->cmdOK->isEnabled());
        verifyPreviewOf(dialog, program->language(language));

        // Title, lblSelect, both buttons and the translator's name follow the
        // file; the e-mail and web labels do not.
        const QChar::Script script = scriptOf(language);
        const QList<QPair<QObject*, QString>> stepped = {
            {dialog.data(), dialog->windowTitle()},
            {dialog->lblSelect, dialog->lblSelect->text()},
            {dialog->cmdOK, dialog->cmdOK->text()},
            {dialog->cmdCancel, dialog->cmdCancel->text()},
            {dialog->lblTranslatedByName, dialog->lblTranslatedByName->text()},
        };
        for (const auto& [control, text] : stepped) {
            QCOMPARE(control->property(kCharacterSetProperty).toInt(), characterSet);
            if (control != dialog->lblTranslatedByName) {  // our name is in Latin letters
                QVERIFY2(hasLetters(text, script), qPrintable(control->objectName() + ": " + text));
            }
        }
        for (QLabel* link : {dialog->lblTranslatedByEmail, dialog->lblTranslatedByWeb}) {
            QVERIFY(!link->property(kCharacterSetProperty).isValid());
        }
    }

    void selectionPreviewsAtOnce() {
        QPointer<frmLanguage> dialog = open();
        verifyPreviewOf(dialog, program->language(QStringLiteral("English")));
        dialog->cboLanguage->setCurrentText(QStringLiteral("Greek"));
        verifyPreviewOf(dialog, program->language(QStringLiteral("Greek")));
        QVERIFY(hasLetters(dialog->windowTitle(), QChar::Script_Greek));
        // Keys move the selection too, and each step previews.
        dialog->cboLanguage->setFocus();
        QTest::keyClick(dialog->cboLanguage, Qt::Key_Down);
        QCOMPARE(dialog->cboLanguage->currentText(), QStringLiteral("Italian"));
        verifyPreviewOf(dialog, program->language(QStringLiteral("Italian")));
        QCOMPARE(inForce, std::string("English"));  // nothing applied
        QVERIFY(events.isEmpty());
    }

    void applyShowsTheMessageThenSetsTheLanguage() {
        QPointer<frmLanguage> dialog = open();
        dialog->cboLanguage->setCurrentText(QStringLiteral("Russian"));
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        QCOMPARE(events, (QStringList{QStringLiteral("message"), QStringLiteral("set Russian")}));
        const LanguageFile russian = program->language(QStringLiteral("Russian"));
        QCOMPARE(messages.at(0).icon, QMessageBox::Warning);
        QCOMPARE(messages.at(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(hasLetters(messages.at(0).title, QChar::Script_Cyrillic));
        QVERIFY(hasLetters(messages.at(0).text, QChar::Script_Cyrillic));
        QTRY_VERIFY(dialog.isNull());

        // The next opening selects and previews the new language, although the
        // language of this run is still English.
        QPointer<frmLanguage> again = open(QStringLiteral("English"));
        QCOMPARE(again->cboLanguage->currentText(), QStringLiteral("Russian"));
        verifyPreviewOf(again, russian);
    }

    void enterPressesApply() {
        QPointer<frmLanguage> dialog = open();
        dialog->cboLanguage->setCurrentText(QStringLiteral("Turkish"));
        dialog->cboLanguage->setFocus();
        QTest::keyClick(dialog->cboLanguage, Qt::Key_Return);
        QCOMPARE(events, (QStringList{QStringLiteral("message"), QStringLiteral("set Turkish")}));
        QTRY_VERIFY(dialog.isNull());
    }

    void cancelAndEscapeCloseWithoutAChange_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << QStringLiteral("Cancel");
        QTest::newRow("Esc in the list") << QStringLiteral("cboLanguage");
        QTest::newRow("Esc on Apply") << QStringLiteral("cmdOK");
        QTest::newRow("Esc on Cancel") << QStringLiteral("cmdCancel");
    }
    void cancelAndEscapeCloseWithoutAChange() {
        QFETCH(QString, how);
        QPointer<frmLanguage> dialog = open();
        dialog->cboLanguage->setCurrentText(QStringLiteral("German"));
        if (how == QLatin1String("Cancel")) {
            QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
        } else {
            auto* focus = dialog->findChild<QWidget*>(how);
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Escape);
        }
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(events.isEmpty());
        QCOMPARE(inForce, std::string("English"));
    }

    void languageInForceWithoutAFileSelectsNothing() {
        inForce = "Klingon";
        QPointer<frmLanguage> dialog = open(QStringLiteral("English"));
        QCOMPARE(dialog->cboLanguage->currentIndex(), -1);
        QVERIFY(!dialog->cmdOK->isEnabled());
        QCOMPARE(dialog->cmdOK->text(), QStringLiteral("Apply"));
        QTest::keyClick(dialog->cboLanguage, Qt::Key_Return);  // Apply is off: nothing
        QVERIFY(events.isEmpty());
        QVERIFY(dialog->isVisible());

        dialog->cboLanguage->setCurrentText(QStringLiteral("Ukrainian"));
        QVERIFY(dialog->cmdOK->isEnabled());
        verifyPreviewOf(dialog, program->language(QStringLiteral("Ukrainian")));
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        QCOMPARE(inForce, std::string("Ukrainian"));
    }

    void translatorLinksOpenTheirAddresses() {
        QPointer<frmLanguage> dialog = open();
        QCOMPARE(dialog->lblTranslatedByEmail->toolTip(), QStringLiteral("E-mail:"));
        QCOMPARE(dialog->lblTranslatedByWeb->toolTip(), QStringLiteral("Web:"));
        QCOMPARE(dialog->lblTranslatedByEmail->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(dialog->lblTranslatedByWeb->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseClick(dialog->lblTranslatedByEmail, Qt::LeftButton);
        QTest::mouseClick(dialog->lblTranslatedByWeb, Qt::LeftButton);
        QTest::mouseClick(dialog->lblTranslatedByName, Qt::LeftButton);  // not a link
        QCOMPARE(opened, (QStringList{QStringLiteral("mailto:lang@tavrin-software.example"),
                                      QStringLiteral("http://tavrin-software.example")}));
        QVERIFY(dialog->isVisible());
    }

    void render_data() {
        QTest::addColumn<QString>("language");
        for (const char* language : ProgramFolder::kShipped) {
            QTest::newRow(language) << QString::fromLatin1(language);
        }
    }
    void render() {
        QFETCH(QString, language);
        inForce = language.toStdString();
        QPointer<frmLanguage> dialog = open(language);
        QVERIFY(hushgate::test::render(dialog, QStringLiteral("language-") + language));
    }
};

QTEST_MAIN(LanguageDialogTest)
#include "language_dialog_test.moc"
