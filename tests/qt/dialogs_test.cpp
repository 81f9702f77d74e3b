// Drives the real About and language dialogs, with the language files we
// ship in a temporary program folder: keys, focus, clicks and links. What
// they show is their presenters', tested without a window.

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <optional>

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
    // Each emplace() ends the previous one first: the owner takes any dialog
    // still open with it, and a recorder goes before the next one comes.
    std::optional<QWidget> owner;
    std::optional<MessageRecorder> messages;
    std::optional<ProgramFolder> program;
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
        return shown(new AboutDialog(&*owner, language("English"),
                                     [this](const QString& address) { opened << address; }));
    }
    QPointer<LanguageDialog> languageDialog() {
        return shown(new LanguageDialog(
            &*owner, program->nativeProgram(), language("English"),
            {[this] { return inForce; }, [this](const std::string& name) { inForce = name; }},
            [this](const QString& address) { opened << address; }));
    }

private slots:
    void init() {
        owner.emplace();  // a table's rows start afresh too
        messages.emplace();
        program.emplace();
        owner->show();
        inForce = "English";
        opened.clear();
    }

    // Esc closes from wherever the focus is, Enter presses the default
    // button; a closed dialog is gone, so the next opening starts afresh.
    void keysAndButtonsClose() {
        const int esc = Qt::Key_Escape, enter = Qt::Key_Return, click = 0;
        const std::tuple<bool, QString, int, std::string> rows[] = {
            // The About dialog or the language dialog; the focus; the key; applied.
            {true, "cmdClose", esc, ""},      {true, "cmdClose", enter, ""},
            {true, "cmdClose", click, ""},    {false, "cmdCancel", click, ""},
            {false, "cboLanguage", esc, ""},  {false, "cmdOK", esc, ""},
            {false, "cmdCancel", esc, ""},    {false, "cboLanguage", enter, "German"},
            {false, "cmdOK", click, "German"}};
        for (const auto& [isAbout, focus, key, applied] : rows) {
            init();
            QPointer<QDialog> shown =
                isAbout ? QPointer<QDialog>(about()) : QPointer<QDialog>(languageDialog());
            if (auto* list = shown->findChild<QComboBox*>()) {
                list->setCurrentText(QStringLiteral("German"));
            }
            auto* control = shown->findChild<QWidget*>(focus);
            control->setFocus();
            if (key == click) {
                QTest::mouseClick(control, Qt::LeftButton);
            } else {
                QTest::keyClick(control, Qt::Key(key));
            }
            QTRY_VERIFY2(shown.isNull(), qPrintable(focus));
            QCOMPARE(inForce, applied.empty() ? "English" : applied);
            QCOMPARE(messages->shown.size(), applied.empty() ? 0 : 1);
            QVERIFY(opened.isEmpty());
        }
    }

    // Enter does nothing while there is nothing to apply; arrow keys in the
    // list move the selection, and each step previews.
    void keysInTheListPreview() {
        inForce = "Klingon";  // a language without a file selects nothing
        QPointer<LanguageDialog> dialog = languageDialog();
        QVERIFY(!dialog->cmdOK->isEnabled());
        dialog->cboLanguage->setFocus();
        QTest::keyClick(dialog->cboLanguage, Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        dialog->cboLanguage->setCurrentText(QStringLiteral("Greek"));
        QTest::keyClick(dialog->cboLanguage, Qt::Key_Up);
        QCOMPARE(dialog->cboLanguage->currentText(), QStringLiteral("German"));
        QCOMPARE(dialog->cmdOK->text(), hushgate::ToQString(language("German").text("Tray", "5")));
        QTest::keyClick(dialog->cboLanguage, Qt::Key_Down);
        QCOMPARE(dialog->cmdOK->text(), hushgate::ToQString(language("Greek").text("Tray", "5")));
        QCOMPARE(inForce, std::string("Klingon"));
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
        // Both open at once, neither blocks the window, and neither can be resized.
        for (QDialog* open : {static_cast<QDialog*>(aboutDialog), static_cast<QDialog*>(dialog)}) {
            QVERIFY(!open->isModal() && open->minimumSize() == open->maximumSize());
            QVERIFY(!(open->windowFlags() & Qt::WindowMaximizeButtonHint));
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
