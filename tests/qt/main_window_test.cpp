// Drives the real main window with a temporary hosts file and program folder:
// what only the Qt window does (keys and focus, menus and toolbar, pictures,
// watching the file, changes through pkexec, the message-box seam), and the
// start-up step that opens it. Its decisions are the presenter's, tested
// without a window.

#include "main_window.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <cstdio>
#include <memory>
#include <string_view>

#include "about_dialog.h"
#include "app_paths.h"
#include "block_list.h"
#include "flat_controls.h"
#include "language_dialog.h"
#include "open_web.h"
#include "picture_compare.h"
#include "qt_test_support.h"
#include "resource_names.h"
#include "startup.h"
#include "web_constants.h"
#include "window_controls.h"

using hushgate::HostsChanger;
using hushgate::MainWindow;
using hushgate::Startup;
using namespace hushgate::test;

namespace {

// The window's paths inside `folder`, with LF line ends as on Linux.
hushgate::AppPaths pathsOf(const ProgramFolder& folder) {
    hushgate::AppPaths paths;
    paths.programFolder = folder.program();
    paths.settingsFile = folder.settingsPath();
    paths.hostsFile = hushgate::toNativePath(folder.hostsPath());
    paths.lineEnd = hushgate::LineEnd::Lf;
    return paths;
}

// All block entries, each followed by LF.
QByteArray allEntries() {
    QByteArray bytes;
    for (std::string_view entry : hushgate::BlockEntries()) {
        bytes.append(entry.data(), static_cast<qsizetype>(entry.size())).append('\n');
    }
    return bytes;
}

enum State { Unblocked, Blocked, Unknown };

// The English window's pictures, buttons and state word all tell `state`.
bool shows(MainWindow& w, State state) {
    const bool blocked = state == Blocked, unblocked = state == Unblocked;
    const char* word = blocked ? "blocked!" : unblocked ? "not blocked!" : "unknown";
    return w.imgBlocked->isVisible() == blocked && w.imgStatusBlocked->isVisible() == blocked &&
           w.imgUnblocked->isVisible() == unblocked &&
           w.imgStatusUnblocked->isVisible() == unblocked &&
           w.cmdBlockFB->isEnabled() == unblocked && w.cmdUnblockFB->isEnabled() == blocked &&
           w.lblStatusEnd->text() == QLatin1String(word);
}

const QByteArray kOriginal = "127.0.0.1 localhost\n\n::1 localhost\n";
// What an unblocked kOriginal holds: tidied, the empty line gone.
const QByteArray kUnblocked = "127.0.0.1 localhost\n::1 localhost\n";

// Every visible control at or under `at` that has no accessible name, by
// object name and role. Containers (the client area, panels, the
// toolbar and the menu bar) are not controls a screen reader names.
QStringList namelessControls(QAccessibleInterface* at) {
    using A = QAccessible;
    static const QList<A::Role> containers = {A::Client, A::Pane,    A::Grouping, A::Separator,
                                              A::Border, A::ToolBar, A::MenuBar};
    QStringList nameless;
    if (!at->state().invisible && !containers.contains(at->role()) && at->text(A::Name).isEmpty()) {
        nameless << (at->object() ? at->object()->objectName() : QString()) +
                        QStringLiteral(" role %1").arg(at->role(), 0, 16);
    }
    for (int i = 0; i < at->childCount(); ++i) {
        nameless << namelessControls(at->child(i));
    }
    return nameless;
}

bool hasScript(const QString& text, QChar::Script script) {
    return std::any_of(text.begin(), text.end(),
                       [script](QChar c) { return c.script() == script; });
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    // Each emplace() ends the previous one first, so a recorder goes
    // before the next one comes.
    std::optional<ProgramFolder> program;
    std::optional<MessageRecorder> messages;
    std::optional<UrlRecorder> browser;

    std::unique_ptr<MainWindow> open(const QByteArray& language = "English") {
        ProgramFolder::write(program->settingsPath(),
                             "[Settings]\r\nLanguage=" + language + "\r\n");
        auto window = std::make_unique<MainWindow>(pathsOf(*program));
        window->show();
        if (!QTest::qWaitForWindowActive(window.get())) {
            qFatal("window not active");
        }
        return window;
    }

private slots:
    void init() {
        program.emplace();  // a table's rows start afresh too
        program->writeHosts(kOriginal);
        messages.emplace(QMessageBox::Yes);
        browser.emplace();
        hushgate::PretendRunningAsRoot(false);  // whoever runs the tests
    }

    // Keys as the user presses them, through the window's real focus: Enter
    // means Block while it is enabled and nothing otherwise; a button the
    // user reaches with Tab takes Space and Enter.
    void keysPressOnlyWhatTheUserMeant() {
        // Blocked at the start; R Enter, T Tab, S Space, X the file goes away
        // and comes back; blocked at the end; changes made.
        const std::tuple<bool, QString, bool, int> rows[] = {
            {false, "R", true, 1},  {false, "RR", true, 1}, {true, "RR", true, 0},
            {true, "TS", false, 1}, {true, "TR", false, 1}, {true, "TSR", true, 2},
            {true, "TXR", true, 0}};
        for (const auto& [startBlocked, keys, endBlocked, changes] : rows) {
            init();
            program->writeHosts(startBlocked ? kUnblocked + allEntries() : kUnblocked);
            auto w = open();
            QWidget box;  // stands in for the message box each change shows
            for (const QChar key : keys) {
                if (key == QLatin1Char('X')) {
                    const QByteArray before = program->hosts();
                    QFile::remove(program->hostsPath());
                    QTRY_VERIFY_WITH_TIMEOUT(shows(*w, Unknown), 10000);
                    program->writeHosts(before);
                    QTRY_VERIFY_WITH_TIMEOUT(!shows(*w, Unknown), 10000);
                } else {
                    QTest::keyClick(w->windowHandle(), key == QLatin1Char('R')   ? Qt::Key_Return
                                                       : key == QLatin1Char('T') ? Qt::Key_Tab
                                                                                 : Qt::Key_Space);
                }
                // The window loses the focus to the box and gets it back.
                box.show();
                box.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&box));
                box.hide();
                w->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(w.get()));
            }
            QCOMPARE(program->hosts(), endBlocked ? kUnblocked + allEntries() : kUnblocked);
            QCOMPARE(messages->shown.size(), changes);
            QVERIFY2(shows(*w, endBlocked ? Blocked : Unblocked), qPrintable(keys));
        }
    }

    // Alt and a title's letter open that menu, in Greek too, whose File
    // shares its first letter with Block; F10 opens File with its first item
    // highlighted, so Return runs Exit.
    void menusFromTheKeyboard() {
        const std::tuple<QByteArray, QString, QString> rows[] = {
            {"English", "&File", "&Help"},
            {"Greek", QString::fromUtf8("Αρ&χείο"), QString::fromUtf8("&Βοήθεια")}};
        for (const auto& [language, file, help] : rows) {
            init();
            auto w = open(language);
            QCOMPARE(w->mnuFile->title(), file);
            QCOMPARE(w->mnuHelp->title(), help);
            const QChar key = help[help.indexOf(QLatin1Char('&')) + 1];
            for (const auto action : {QTest::Press, QTest::Release}) {
                QTest::sendKeyEvent(action, w->windowHandle(), Qt::Key(key.toUpper().unicode()),
                                    QString(key.toLower()), Qt::AltModifier);
            }
            QTRY_VERIFY(w->mnuHelp->isVisible());
            QTest::keyClick(w->mnuHelp->windowHandle(), Qt::Key_Escape);
            QTRY_VERIFY(!w->mnuHelp->isVisible());
            QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
            QTest::keyClick(w->windowHandle(), Qt::Key_F10);
            QTRY_VERIFY(w->mnuFile->isVisible());
            QCOMPARE(w->mnuFile->activeAction(), w->mnuExit);
            QTest::keyClick(w->mnuFile->windowHandle(), Qt::Key_Return);
            QTRY_VERIFY(!w->isVisible());
        }
    }

    // The window watches the file: after every change it shows what is on
    // disk, whoever made it, however often the file goes and comes back or
    // an editor's save renames a new file over it; a missing file is told
    // once, at start.
    void windowFollowsTheFileOnDisk() {
        QFile::remove(program->hostsPath());
        auto w = open();
        QTRY_COMPARE(messages->shown.size(), 1);
        QVERIFY(messages->shown[0].text.contains(program->hostsPath()));
        QVERIFY(shows(*w, Unknown));
        const QString saved = program->path(QStringLiteral("hosts~"));
        const QByteArray blocked = kUnblocked + allEntries();
        // W written in place, R renamed over it, X removed, B the engine blocks.
        const std::tuple<char, QByteArray, State> steps[] = {
            {'W', kOriginal, Unblocked},  {'B', {}, Blocked},      {'X', {}, Unknown},
            {'W', kUnblocked, Unblocked}, {'R', blocked, Blocked}, {'R', kUnblocked, Unblocked},
            {'X', {}, Unknown},           {'R', blocked, Blocked}, {'W', kUnblocked, Unblocked},
            {'X', {}, Unknown},           {'W', blocked, Blocked}};
        for (const auto& [how, bytes, state] : steps) {
            if (how == 'B') {
                hushgate::HostsEngine(w->paths().hostsFile, hushgate::LineEnd::Lf).Block();
            } else if (how == 'X') {
                QVERIFY(QFile::remove(program->hostsPath()));
            } else {
                ProgramFolder::write(how == 'W' ? program->hostsPath() : saved, bytes);
                QVERIFY(how == 'W' ||
                        ::rename(qPrintable(saved), qPrintable(program->hostsPath())) == 0);
            }
            QTRY_VERIFY2_WITH_TIMEOUT(shows(*w, state), qPrintable(QString(QLatin1Char(how))),
                                      10000);
        }
        QCOMPARE(messages->shown.size(), 1);
    }

    // Each menu item, toolbar button (by its key) and the link is wired to
    // its own command: a page opened each time, a dialog once however often.
    void commandsOfTheMenusAndTheToolbar() {
        using namespace hushgate::web;
        const std::pair<QString, QString> rows[] = {
            {"mnuLanguage", "frmLanguage"}, {"mnuAbout", "frmAbout"}, {"language", "frmLanguage"},
            {"about", "frmAbout"},          {"mnuWeb", kHomePage},    {"mnuDonate", kDonatePage},
            {"mnuFacebook", kSocialPage},   {"web", kHomePage},       {"facebook", kSocialPage},
            {"lblLink", kHomePage}};
        for (const auto& [control, opens] : rows) {
            init();
            auto w = open();
            QAction* action = w->findChild<QAction*>(control);
            for (QAction* button : w->Toolbar1->actions()) {
                action = button->data().toString() == control ? button : action;
            }
            for (int twice = 0; twice < 2; ++twice) {
                action ? action->trigger() : QTest::mouseClick(w->lblLink, Qt::LeftButton);
            }
            const auto shown = [&] {
                const QList<QWidget*> all = w->findChildren<QWidget*>(opens);
                return std::count_if(all.begin(), all.end(),
                                     [](QWidget* d) { return d->isVisible(); });
            };
            if (opens.startsWith(QLatin1String("frm"))) {
                QVERIFY2(browser->urls.isEmpty(), qPrintable(control));
                QCOMPARE(shown(), 1);
                w->close();
                QCOMPARE(shown(), 0);  // closed with the window
            } else {
                QCOMPARE(browser->urls, (QList<QUrl>{QUrl(opens), QUrl(opens)}));
                // As root the address is shown instead, from each command.
                browser->urls.clear();
                hushgate::PretendRunningAsRoot(true);
                action ? action->trigger() : QTest::mouseClick(w->lblLink, Qt::LeftButton);
                QVERIFY(browser->urls.isEmpty());
                QCOMPARE(messages->shown.size(), 1);
                QCOMPARE(messages->shown[0].title + QLatin1Char('|') + messages->shown[0].text,
                         QStringLiteral("Tavrin Hushgate|") + opens);
            }
        }
    }

    // A screen reader finds a name for every control of the window and
    // both dialogs.
    void everyControlHasAnAccessibleName() {
        auto w = open();
        w->mnuLanguage->trigger();
        w->mnuAbout->trigger();
        for (QWidget* window : QList<QWidget*>{w.get(), w->findChild<hushgate::AboutDialog*>(),
                                               w->findChild<hushgate::LanguageDialog*>()}) {
            QCOMPARE(namelessControls(QAccessible::queryAccessibleInterface(window)).join(';'),
                     QString());
        }
    }

    // The focused button looks unlike the default one, whatever the style
    // makes of either: the default button's mark is its edge (Fusion draws
    // the focus there too), so the focus is marked inside. Buttons without
    // text, so no font shows in the pictures.
    void focusIsMarkedInsideTheButton() {
        QWidget host;
        QPushButton* plain = hushgate::controls::button(&host, "plain", {}, {0, 0, 1500, 495});
        hushgate::controls::button(&host, "default", {}, {0, 600, 1500, 495})->setDefault(true);
        host.setFocusPolicy(Qt::StrongFocus);  // holds the focus until Tab moves it on
        host.show();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        host.setFocus();
        const auto inside = [plain] {
            const QImage whole = plain->grab().toImage();
            return whole.copy(whole.rect().adjusted(3, 3, -3, -3));
        };
        const QImage unfocused = inside();
        QTest::keyClick(&host, Qt::Key_Tab);  // the keyboard moves the focus, as a user would
        QTRY_VERIFY(plain->hasFocus());
        QVERIFY(inside() != unfocused);
    }

    // Each image beside its own item (32-pixel drawings for 200 %), the
    // toolbar's from resources.dll. The menu images come after the first
    // frame, or as soon as a menu opens before it.
    void menuAndToolbarImages() {
        {
            MainWindow unshown(pathsOf(*program));
            unshown.mnuHelp->popup({});
            QVERIFY(!unshown.mnuAbout->icon().isNull());
        }
        auto w = open();
        QTRY_VERIFY(!w->mnuExit->icon().isNull());
        namespace r = hushgate::resources;
        const std::pair<QAction*, const char*> items[] = {
            {w->mnuExit, r::kMenuExit},
            {w->mnuCheckUpdates, r::kMenuCheckUpdates},
            {w->mnuLanguage, r::kMenuLanguage},
            {w->mnuWeb, r::kMenuWeb},
            {w->mnuAbout, r::kMenuAbout}};
        for (int i = 0; i < 5; ++i) {
            // The 16-pixel image, and at 200 % the 32-pixel drawing.
            const QIcon icon = items[i].first->icon();
            QCOMPARE(pictureDifference(icon.pixmap(16).toImage(),
                                       QImage(QLatin1String(items[i].second))),
                     QString());
            QCOMPARE(pictureDifference(icon.pixmap(QSize(16, 16), 2.0).toImage(),
                                       QImage(QLatin1String(r::kMenuImages2x[i]))),
                     QString());
        }
        QVERIFY(w->mnuDonate->icon().isNull());
        QCOMPARE(w->imgListToolbar.size(), 5);
        for (QAction* button : w->Toolbar1->actions().mid(1)) {
            QVERIFY(!button->icon().isNull());
            QVERIFY(w->Toolbar1->widgetForAction(button)->height() >=
                    w->Toolbar1->iconSize().height());
        }
        QVERIFY(hushgate::IsToolbarFlat(w->Toolbar1));
        QVERIFY(messages->shown.isEmpty());
    }

    // What the site answers, end to end: a newer version (Yes opens the home
    // page), an answer cut short (silent). The rest is the presenter's.
    void updateCheckTellsWhatTheSiteSays() {
        const std::pair<QByteArray, QString> rows[] = {
            {LocalHttpServer::ok("1.2\r\n"), "Version: 1.2\n"},
            {"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\n1.2", {}}};
        useNoProxy();
        for (const auto& [answer, says] : rows) {
            init();
            LocalHttpServer server;
            server.answerWith(answer);
            auto w = open();
            hushgate::UpdateCheck& check = w->presenter().updateCheck();
            check.settings.versionFile = server.url().toString().toStdString();
            check.settings.ownMajor = check.settings.ownMinor = 1;
            w->mnuCheckUpdates->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(!check.isWaiting(), 20000);
            QCOMPARE(messages->shown.size(), says.isEmpty() ? 0 : 1);
            QVERIFY(says.isEmpty() || messages->shown[0].text.contains(says));
            const QUrl home(QString::fromUtf8(hushgate::web::kHomePage));
            QCOMPARE(browser->urls, says.isEmpty() ? QList<QUrl>{} : QList<QUrl>{home});
        }
    }

    // config.ini's language reaches the menus, the toolbar and Qt's own texts
    // (a message box's Yes button: German from Qt, Greek, which Qt lacks, ours).
    void configuredLanguageReachesEveryText() {
        const std::tuple<QByteArray, QChar::Script, QString> rows[] = {
            {"English", QChar::Script_Latin, "&Yes"},
            {"German", QChar::Script_Latin, "&Ja"},
            {"Greek", QChar::Script_Greek, QString::fromUtf8("&Ναι")},
            {"Russian", QChar::Script_Cyrillic, {}}};
        for (const auto& [language, script, yes] : rows) {
            init();
            auto w = open(language);
            const QStringList texts = {
                w->mnuFile->title(),        w->mnuHelp->title(),    w->lblStatus->text(),
                w->lblStatusEnd->text(),    w->cmdBlockFB->text(),  w->mnuExit->text(),
                w->mnuCheckUpdates->text(), w->mnuLanguage->text(), w->mnuDonate->text(),
                w->mnuWeb->text(),          w->mnuAbout->text()};
            for (const QString& text : texts) {
                QVERIFY2(hasScript(text, QChar::Script(script)), qPrintable(text));
            }
            const QList<QAction*> buttons = w->Toolbar1->actions();
            QCOMPARE(buttons[1]->toolTip(), w->mnuLanguage->text().remove(QLatin1Char('&')));
            QCOMPARE(buttons[2]->toolTip(), w->mnuAbout->text().remove(QLatin1Char('&')));
            QCOMPARE(buttons[3]->toolTip(), w->mnuWeb->text().remove(QLatin1Char('&')));
            QVERIFY(w->lblStatusEnd->x() > w->lblStatus->geometry().right());
            QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No);
            QVERIFY(yes.isEmpty() || box.button(QMessageBox::Yes)->text() == yes);
        }
    }

    // A language chosen in the dialog is saved at exit and used from the next start.
    void chosenLanguageTakesEffectAtTheNextStart() {
        auto w = open();
        w->mnuLanguage->trigger();
        auto* dialog = w->findChild<hushgate::LanguageDialog*>();
        dialog->cboLanguage->setCurrentText(QStringLiteral("Russian"));
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        QCOMPARE(w->mnuFile->title(), QStringLiteral("&File"));
        w->mnuExit->trigger();
        QVERIFY(!w->isVisible());
        QCOMPARE(ProgramFolder::read(program->settingsPath()),
                 QByteArray("[Settings]\r\nLanguage=Russian\r\n"));
        w = std::make_unique<MainWindow>(pathsOf(*program));
        QVERIFY(hasScript(w->mnuFile->title(), QChar::Script_Cyrillic));
    }

    // The start-up step: a first run writes the default settings (an
    // existing file is the settings file's concern) and opens the main
    // window, whose status line says in its tool tip and description how much
    // of a block is there. The step goes away by itself; the window stays.
    void startupWritesTheSettingsAndOpensTheWindow() {
        program->writeHosts("127.0.0.1 localhost\n" +
                            allEntries().first(allEntries().indexOf('\n')));
        QPointer<Startup> startup = new Startup(pathsOf(*program));
        QVERIFY(startup->load());
        QCOMPARE(ProgramFolder::read(program->settingsPath()),
                 QByteArray("[Settings]\r\nLanguage=English\r\n\r\n"));
        QPointer<MainWindow> main = startup->mainWindow();
        QVERIFY(main->isVisible() && !startup->isVisible());
        QVERIFY(messages->shown.isEmpty());
        for (const QLabel* label : {main->lblStatus, main->lblStatusEnd}) {
            QCOMPARE(label->toolTip(), QStringLiteral("1 of 68 entries present"));
            QCOMPARE(label->accessibleDescription(), label->toolTip());
        }
        QTRY_VERIFY_WITH_TIMEOUT(startup.isNull(), 5000);
        QVERIFY(main->isVisible());
        delete main.data();
    }

    void closingTheWindowEarlyEndsTheStartupStepToo() {
        QPointer<Startup> startup = new Startup(pathsOf(*program));
        QVERIFY(startup->load());
        QPointer<MainWindow> main = startup->mainWindow();
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

#ifndef _WIN32
    // Changes through pkexec: a shell script stands in for pkexec and the
    // helper, working on the window's temporary hosts file.
    void elevationOnlyForOthersOnTheSystemFile() {
        QVERIFY(!HostsChanger::needsElevation(hushgate::toNativePath(program->hostsPath())));
        QCOMPARE(HostsChanger::needsElevation(hushgate::SystemHostsPath()), ::geteuid() != 0);
        // Never looked up in PATH, which the user controls.
        QVERIFY(QDir::isAbsolutePath(hushgate::ElevatedCommand::installed().program));
        QVERIFY(QDir::isAbsolutePath(hushgate::ElevatedCommand::installed().helper));
    }

    // What pkexec and the helper end with, and what the window makes of it;
    // the message's wording is the presenter's.
    void outcomesOfTheElevatedChange() {
        const auto quoted = [](const QString& path) {
            return QLatin1Char('\'') + path + QLatin1Char('\'');
        };
        const QByteArray blocked = kUnblocked + allEntries();
        const int critical = QMessageBox::Critical, information = QMessageBox::Information;
        const QString done = QStringLiteral("exit your browser");
        const struct {
            bool unblock;
            QByteArray writes;  // what the stand-in helper writes, if anything
            QString script;     // the rest of the stand-in
            QString missing;    // "program" or "helper"
            QByteArray after;
            int icon;      // 0: no message
            QString says;  // %1: the missing program's path
        } rows[] = {
            // clang-format off
            {false, blocked, {}, {}, blocked, information, done},
            {true, kUnblocked, "echo 'pkexec: a remark' >&2", {}, kUnblocked, information, done},
            {false, {}, "echo 'pkexec: dismissed' >&2; exit 126", {}, kUnblocked, 0, {}},
            {false, {}, "exit 127", {}, kUnblocked, critical, "file: pkexec exit code 127"},
            {false, {}, "exit 5", {}, kUnblocked, critical, "changed: exit code 5"},
            {false, {}, "kill -9 $$", {}, kUnblocked, critical, "changed: pkexec was stopped"},
            // pkexec's line before the helper's
            {false, {}, "echo 'pkexec: a remark' >&2; echo 'hushgate-helper: disk full' >&2; exit 3", {}, kUnblocked, critical, "changed: disk full"},
            {false, {}, "printf 'Error executing command as another user: Not authorized\\n\\nThis incident has been reported.\\n' >&2; exit 127",
             {}, kUnblocked, critical, ": Error executing command as another user: Not authorized"},
            {false, {}, "echo 'hushgate-helper: cannot write /etc/hosts: Read-only file system' >&2; exit 3",
             {}, kUnblocked, critical, "changed: cannot write /etc/hosts: Read-only file system"},
            {false, blocked, {}, "program", kUnblocked, critical, "them (%1) is not installed"},
            {false, blocked, {}, "helper", kUnblocked, critical, "helper (%1) is not installed"},
            // clang-format on
        };
        for (const auto& row : rows) {
            init();
            program->writeHosts(row.unblock ? kUnblocked + allEntries() : kUnblocked);
            const QString helper = program->path(QStringLiteral("hushgate-helper"));
            const QString absent = program->path(QStringLiteral("absent"));
            ProgramFolder::write(helper, "#!/bin/sh\n");
            // The stand-in checks it was given exactly what pkexec is given.
            QString standIn = QStringLiteral(
                                  "[ \"$1\" = --disable-internal-agent ] && [ \"$2\" = %1 ] && "
                                  "[ \"$3\" = %2 ] && [ $# = 3 ] || exit 9; ")
                                  .arg(quoted(helper), row.unblock ? "unblock" : "block");
            if (!row.writes.isNull()) {  // as the helper would
                const QString source = program->path(QStringLiteral("written"));
                ProgramFolder::write(source, row.writes);
                standIn += QStringLiteral("cat %1 > %2; ")
                               .arg(quoted(source), quoted(program->hostsPath()));
            }
            auto w = open();
            QVERIFY(shows(*w, row.unblock ? Blocked : Unblocked));
            // Run as "sh -c SCRIPT pkexec --disable-internal-agent HELPER VERB".
            w->hostsChanger().useElevation(
                {row.missing == QLatin1String("program") ? absent : QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"), standIn + row.script, QStringLiteral("pkexec"),
                  QStringLiteral("--disable-internal-agent")},
                 row.missing == QLatin1String("helper") ? absent : helper});
            const QString says = row.missing.isEmpty() ? row.says : row.says.arg(absent);

            QTest::mouseClick(row.unblock ? w->cmdUnblockFB : w->cmdBlockFB, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!w->hostsChangeRunning(), 60000);
            QCOMPARE(program->hosts(), row.after);
            QVERIFY2(shows(*w, row.after == kUnblocked ? Unblocked : Blocked),
                     qPrintable(row.script));
            QCOMPARE(messages->shown.size(), row.icon == 0 ? 0 : 1);
            if (row.icon != 0) {
                QCOMPARE(int(messages->shown[0].icon), row.icon);
                QVERIFY2(messages->shown[0].text.contains(says),
                         qPrintable(messages->shown[0].text));
            }
        }
    }
#endif
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
