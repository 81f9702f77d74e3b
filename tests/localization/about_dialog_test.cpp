// Drives the real About dialog with the language files we ship, in a
// temporary program folder.

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "dialog_fixture.h"
#include "frm_about.h"
#include "language_text.h"

using hushgate::frmAbout;
using hushgate::kCharacterSetProperty;
using hushgate::LanguageFile;
using hushgate::test::hasLetters;
using hushgate::test::ProgramFolder;
using hushgate::test::scriptOf;

namespace {

const QString kHomePage = QStringLiteral("http://www.tavrin-software.example");
const int kVersionGap = 3;  // 40 twips

}  // namespace

class AboutDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> program;
    std::unique_ptr<QWidget> owner;
    QStringList opened;

    QPointer<frmAbout> open(const LanguageFile& file) {
        auto* dialog = new frmAbout(owner.get(), file,
                                    [this](const QString& address) { opened << address; });
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog)) {
            qFatal("dialog not exposed");
        }
        return dialog;
    }
    QPointer<frmAbout> open(const QString& language) { return open(program->language(language)); }

private slots:
    void init() {
        program = std::make_unique<ProgramFolder>();
        owner = std::make_unique<QWidget>();
        owner->resize(600, 400);
        owner->show();
        opened.clear();
    }
    void cleanup() {
        owner.reset();  // takes any dialog still open with it
        program.reset();
    }

    void isAFixedModelessDialogOfItsOwner() {
        QPointer<frmAbout> dialog = open(QStringLiteral("English"));
        QCOMPARE(dialog->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(dialog->parentWidget(), owner.get());
        QVERIFY(!dialog->isModal());
        QVERIFY(owner->isEnabled());
        QCOMPARE(dialog->size(), QSize(328, 190));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog->windowIcon().isNull());
        QVERIFY(dialog->cmdClose->isDefault());
        QCOMPARE(dialog->Pic1->geometry(), QRect(0, 0, 409, 137));
        QCOMPARE(dialog->Line3->geometry().top(), 136);
        QCOMPARE(dialog->cmdClose->geometry(), QRect(208, 144, 105, 33));
    }

    void charsetStepsGiveTheLanguagesLetters_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("characterSet");
        QTest::newRow("Russian") << QStringLiteral("Russian") << 204;
        QTest::newRow("Ukrainian") << QStringLiteral("Ukrainian") << 204;
        QTest::newRow("Greek") << QStringLiteral("Greek") << 161;
    }
    void charsetStepsGiveTheLanguagesLetters() {
        QFETCH(QString, language);
        QFETCH(int, characterSet);
        const LanguageFile file = program->language(language);
        QPointer<frmAbout> dialog = open(file);
        const QChar::Script script = scriptOf(language);

        // Title, lblVersion, lblThis, lblCopyright and cmdClose follow the file.
        const QList<QPair<QObject*, QString>> stepped = {
            {dialog.data(), dialog->windowTitle()},
            {dialog->lblVersion, dialog->lblVersion->text()},
            {dialog->lblThis, dialog->lblThis->text()},
            {dialog->lblCopyright, dialog->lblCopyright->text()},
            {dialog->cmdClose, dialog->cmdClose->text()},
        };
        for (const auto& [control, text] : stepped) {
            QVERIFY2(hasLetters(text, script), qPrintable(control->objectName() + ": " + text));
            QCOMPARE(control->property(kCharacterSetProperty).toInt(), characterSet);
        }
        // The title line, the number and the link never change with the language.
        for (QLabel* fixed :
             {dialog->lblTitle, dialog->lblVer_JP, dialog->lblLink}) {
            QVERIFY(!hasLetters(fixed->text(), script));
            QVERIFY(!fixed->property(kCharacterSetProperty).isValid());
        }
        QCOMPARE(dialog->lblTitle->text(), QStringLiteral("Tavrin Hushgate"));
        QCOMPARE(dialog->lblVer_JP->text(), QStringLiteral("1.1"));
        QCOMPARE(dialog->lblLink->text(), kHomePage);
    }

    void versionNumberFollowsTheTranslatedWord() {
        program->write(QStringLiteral("Language/Long.lng"),
                       "[LANGUAGE]\r\nCharacterSet=0\r\n[About]\r\n"
                       "2=Version number of this very program:\r\n");
        QPointer<frmAbout> english = open(QStringLiteral("English"));
        QPointer<frmAbout> longWord = open(QStringLiteral("Long"));
        for (frmAbout* dialog : {english.data(), longWord.data()}) {
            const QRect word = dialog->lblVersion->geometry();
            QCOMPARE(word.topLeft(), QPoint(16, 32));
            QCOMPARE(word.width(), dialog->lblVersion->sizeHint().width());  // sized to its text
            QCOMPARE(dialog->lblVer_JP->x(), word.x() + word.width() + kVersionGap);
            QCOMPARE(dialog->lblVer_JP->y(), word.y());
        }
        QVERIFY(longWord->lblVersion->width() > 2 * english->lblVersion->width());
        QVERIFY(longWord->lblVer_JP->x() > english->lblVer_JP->x() + english->lblVersion->width());
    }

    void copyrightSitsAboveTheLinkSharingItsRightEdge() {
        QPointer<frmAbout> english = open(QStringLiteral("English"));
        QPointer<frmAbout> greek = open(QStringLiteral("Greek"));
        for (frmAbout* dialog : {english.data(), greek.data()}) {
            const QRect link = dialog->lblLink->geometry();
            const QRect copyright = dialog->lblCopyright->geometry();
            QCOMPARE(link.right(), 314);  // 4725 twips, whatever the text's width
            QCOMPARE(copyright.right(), link.right());
            QVERIFY(copyright.bottom() < link.top());
            QVERIFY(copyright.top() > dialog->lblThis->geometry().bottom());
            QCOMPARE(copyright.width(), dialog->lblCopyright->sizeHint().width());
            QVERIFY(dialog->lblCopyright->alignment() & Qt::AlignRight);
        }
        QVERIFY(greek->lblCopyright->x() < english->lblCopyright->x());  // grew to the left
    }

    void escapeCloses() {
        QPointer<frmAbout> dialog = open(QStringLiteral("English"));
        dialog->cmdClose->setFocus();
        QTest::keyClick(dialog->cmdClose, Qt::Key_Escape);
        QTRY_VERIFY(dialog.isNull());  // closed and gone, so the next opening starts afresh
    }

    void enterPressesClose() {
        QPointer<frmAbout> dialog = open(QStringLiteral("English"));
        QSignalSpy clicked(dialog->cmdClose, &QPushButton::clicked);
        QTest::keyClick(dialog.data(), Qt::Key_Return);
        QCOMPARE(clicked.count(), 1);
        QTRY_VERIFY(dialog.isNull());
    }

    void closeButtonCloses() {
        QPointer<frmAbout> dialog = open(QStringLiteral("Russian"));
        QTest::mouseClick(dialog->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(opened.isEmpty());
    }

    void linkOpensTheHomePage() {
        QPointer<frmAbout> dialog = open(QStringLiteral("English"));
        QCOMPARE(dialog->lblLink->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseClick(dialog->lblLink, Qt::LeftButton);
        QCOMPARE(opened, QStringList{kHomePage});
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
        QPointer<frmAbout> dialog = open(language);
        QVERIFY(hushgate::test::render(dialog, QStringLiteral("about-") + language));
    }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
