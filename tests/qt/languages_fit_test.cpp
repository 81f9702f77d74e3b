// Every shipped language fits the layout: measured with the fonts the machine
// has, in the blocked, not blocked and unknown states, the status line ends
// left of the Block button and every caption fits its control.

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "about_dialog.h"
#include "app_fixture.h"
#include "language_dialog.h"
#include "main_window.h"
#include "twips.h"

using hushgate::MainWindow;
using namespace hushgate::test;

namespace {

// Where `control` is cut: its text needs more room than it has, or it
// reaches past the edge of its window.
QStringList cuts(QWidget* control) {
    QStringList found;
    const QString name = control->objectName();
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        if (button->sizeHint().width() > button->width()) {
            found << name + QStringLiteral(" needs %1 px, has %2")
                                .arg(button->sizeHint().width())
                                .arg(button->width());
        }
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->wordWrap() ? label->heightForWidth(label->width()) > label->height()
                              : label->sizeHint().width() > label->width()) {
            found << name + QStringLiteral(" is cut");
        }
    }
    const QRect inWindow(control->mapTo(control->window(), QPoint(0, 0)), control->size());
    if (!control->window()->rect().contains(inWindow)) {
        found << name + QStringLiteral(" reaches past its window");
    }
    return found;
}

}  // namespace

class LanguagesFitTest : public QObject {
    Q_OBJECT

private slots:
    void everyCaptionFits_data() {
        QTest::addColumn<QString>("language");
        for (const std::string& name : TestProgram::kShipped) {
            QTest::newRow(name.c_str()) << QString::fromStdString(name);
        }
    }
    void everyCaptionFits() {
        QFETCH(QString, language);
        ProgramFolder program;
        MessageRecorder messages;
        ProgramFolder::write(program.settingsPath(),
                             "[Settings]\r\nLanguage=" + language.toLatin1());
        const QByteArray plain = "127.0.0.1 localhost\n";
        const struct {
            const char* state;
            QByteArray hosts;  // empty: no hosts file at all
        } states[] = {{"unblocked", plain}, {"blocked", plain + allEntries()}, {"unknown", {}}};

        QStringList found;
        for (const auto& state : states) {
            QFile::remove(program.hostsPath());
            if (!state.hosts.isEmpty()) {
                program.writeHosts(state.hosts);
            }
            MainWindow w(pathsOf(program));
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            const QString where = language + QLatin1Char(' ') + QLatin1String(state.state) + ": ";
            QVERIFY2(!w.lblStatusEnd->text().isEmpty(), qPrintable(where));
            const int statusEnd =
                std::max(w.lblStatus->geometry().right(), w.lblStatusEnd->geometry().right());
            // At least the gap the layout leaves between the text and the word.
            if (statusEnd + hushgate::fromTwips(70) >= w.cmdBlockFB->x()) {
                found << where + QStringLiteral("the status line ends at %1, Block starts at %2")
                                     .arg(statusEnd)
                                     .arg(w.cmdBlockFB->x());
            }
            QList<QWidget*> controls = {w.lblStatus, w.lblStatusEnd, w.cmdBlockFB, w.cmdUnblockFB,
                                        w.lblLink};
            // Every menu title shows in the bar; every menu fits the screen.
            for (QAction* menu : w.menuBar()->actions()) {
                if (!w.menuBar()->rect().contains(w.menuBar()->actionGeometry(menu)) ||
                    menu->menu()->sizeHint().width() > w.screen()->availableGeometry().width()) {
                    found << where + menu->text() + QStringLiteral(" does not fit");
                }
            }
            if (qstrcmp(state.state, "unknown") == 0) {
                w.mnuAbout->trigger();
                w.mnuLanguage->trigger();
                auto* about = w.findChild<hushgate::AboutDialog*>();
                auto* dialog = w.findChild<hushgate::LanguageDialog*>();
                controls << about->lblVersion << about->lblVer_JP << about->lblThis
                         << about->lblCopyright << about->lblLink << about->cmdClose
                         << dialog->lblSelect << dialog->lblTranslatedByName
                         << dialog->lblTranslatedByEmail << dialog->lblTranslatedByWeb
                         << dialog->cmdOK << dialog->cmdCancel;
                // The version number follows its translated word.
                if (about->lblVer_JP->x() <= about->lblVersion->geometry().right()) {
                    found << where + QStringLiteral("the version number overlaps its word");
                }
            }
            for (QWidget* control : controls) {
                for (const QString& cut : cuts(control)) {
                    found << where + cut;
                }
            }
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(LanguagesFitTest)
#include "languages_fit_test.moc"
