// The main window when its changes go through pkexec: a shell script stands
// in for pkexec and the helper, working on the window's temporary hosts file.

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <optional>
#include <unistd.h>

#include "app_fixture.h"
#include "frm_main.h"

using hushgate::ElevatedCommand;
using hushgate::frmMain;
using hushgate::HostsChanger;
using hushgate::test::allEntries;
using hushgate::test::MessageRecorder;
using hushgate::test::TestProgram;

namespace {

const QByteArray kUnblocked = "127.0.0.1 localhost\n::1 localhost\n";
const QString kCloseBrowser =
    QStringLiteral("You may need to exit your browser for these changes to take effect.");

QString quoted(const QString& path) { return QLatin1Char('\'') + path + QLatin1Char('\''); }

}  // namespace

class ElevatedChangeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestProgram> program;
    std::unique_ptr<MessageRecorder> messages;

    // The window on the temporary hosts file, its changes made by `script`
    // run as "sh -c script pkexec --disable-internal-agent HELPER VERB".
    std::unique_ptr<frmMain> open(const QString& script) {
        auto window = std::make_unique<frmMain>(program->paths());
        TestProgram::write(helper(), "#!/bin/sh\n");
        window->hostsChanger().useElevation(
            {QStringLiteral("/bin/sh"),
             {QStringLiteral("-c"), script, QStringLiteral("pkexec"), QStringLiteral("--disable-internal-agent")},
             helper()});
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qFatal("window not exposed");
        }
        return window;
    }
    QString helper() const { return program->path(QStringLiteral("hushgate-helper")); }
    // Script text that writes `bytes` to the hosts file as the helper would.
    QString writesHosts(const QByteArray& bytes) const {
        const QString source = program->path(QString::number(qHash(bytes)));
        TestProgram::write(source, bytes);
        return QStringLiteral("cat %1 > %2").arg(quoted(source), quoted(program->hostsPath()));
    }
    static bool shows(frmMain& w, bool blocked) {
        return w.imgBlocked->isVisible() == blocked && w.imgUnblocked->isVisible() == !blocked &&
               w.cmdBlockFB->isEnabled() == !blocked && w.cmdUnblockFB->isEnabled() == blocked;
    }

private slots:
    void init() {
        program = std::make_unique<TestProgram>();
        messages = std::make_unique<MessageRecorder>();
    }
    void cleanup() {
        messages.reset();
        program.reset();
    }

    void elevationOnlyForOthersOnTheSystemFile() {
        QVERIFY(!HostsChanger::needsElevation(hushgate::toNativePath(program->hostsPath())));
        QCOMPARE(HostsChanger::needsElevation(hushgate::SystemHostsPath()), ::geteuid() != 0);
        // Never looked up in PATH, which the user controls.
        QVERIFY(QDir::isAbsolutePath(ElevatedCommand::installed().program));
        QVERIFY(QDir::isAbsolutePath(ElevatedCommand::installed().helper));
    }

    void outcomesOfTheElevatedChange_data() {
        QTest::addColumn<bool>("unblock");
        QTest::addColumn<QByteArray>("writes");  // what the stand-in helper writes, if anything
        QTest::addColumn<QString>("script");     // the rest of the stand-in
        QTest::addColumn<QString>("missing");    // "program" or "helper"
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("icon");  // 0: no message
        QTest::addColumn<QString>("text");

        const QByteArray blocked = kUnblocked + allEntries();
        const auto critical = int(QMessageBox::Critical);
        const auto information = int(QMessageBox::Information);
        QTest::newRow("done, the file blocked")
            << false << blocked << QString() << QString() << blocked << information << kCloseBrowser;
        QTest::newRow("done, the file unblocked")
            << true << kUnblocked << QString() << QString() << kUnblocked << information << kCloseBrowser;
        QTest::newRow("done, yet the file holds no block")
            << false << QByteArray() << QString() << QString() << kUnblocked << information << kCloseBrowser;
        QTest::newRow("password dialog dismissed")
            << false << QByteArray() << QStringLiteral("exit 126") << QString() << kUnblocked << 0 << QString();
        QTest::newRow("not authorised")
            << false << QByteArray()
            << QStringLiteral("printf 'Error executing command as another user: Not authorized\\n\\n"
                              "This incident has been reported.\\n' >&2; exit 127")
            << QString() << kUnblocked << critical
            << QStringLiteral("Tavrin Hushgate was not allowed to change the hosts file: Error "
                              "executing command as another user: Not authorized");
        QTest::newRow("not authorised, nothing said")
            << false << QByteArray() << QStringLiteral("exit 127") << QString() << kUnblocked << critical
            << QStringLiteral("Tavrin Hushgate was not allowed to change the hosts file: pkexec exit code 127");
        QTest::newRow("helper failed")
            << false << QByteArray()
            << QStringLiteral("echo 'hushgate-helper: cannot write /etc/hosts: Read-only file system' >&2; exit 3")
            << QString() << kUnblocked << critical
            << QStringLiteral("The hosts file could not be changed: cannot write /etc/hosts: Read-only file system");
        QTest::newRow("no pkexec")
            << false << blocked << QString() << QStringLiteral("program") << kUnblocked << critical
            << QStringLiteral("The hosts file can only be changed with administrator rights, and the "
                              "program that asks for them (%1) is not installed. Install the package "
                              "\"pkexec\", or start Tavrin Hushgate as root.");
        QTest::newRow("no helper")
            << false << blocked << QString() << QStringLiteral("helper") << kUnblocked << critical
            << QStringLiteral("The hosts file can only be changed with administrator rights, and "
                              "Tavrin Hushgate's helper (%1) is not installed. Install Tavrin "
                              "Hushgate's package, or start it as root.");
    }

    void outcomesOfTheElevatedChange() {
        QFETCH(bool, unblock);
        QFETCH(QByteArray, writes);
        QFETCH(QString, script);
        QFETCH(QString, missing);
        QFETCH(QByteArray, after);
        QFETCH(int, icon);
        QFETCH(QString, text);

        program->writeHosts(unblock ? kUnblocked + allEntries() : kUnblocked);
        // The stand-in checks it was given exactly what pkexec is given.
        QString standIn = QStringLiteral(
                              "[ \"$1\" = --disable-internal-agent ] && [ \"$2\" = %1 ] && "
                              "[ \"$3\" = %2 ] && [ $# = 3 ] || exit 9; ")
                              .arg(quoted(helper()), unblock ? "unblock" : "block");
        if (!writes.isNull()) {
            standIn += writesHosts(writes) + QStringLiteral("; ");
        }
        auto w = open(standIn + script);
        QVERIFY(shows(*w, unblock));
        const QString absent = program->path(QStringLiteral("absent"));
        if (missing == QLatin1String("program")) {
            w->hostsChanger().useElevation({absent, {}, helper()});
            text = text.arg(absent);
        } else if (missing == QLatin1String("helper")) {
            w->hostsChanger().useElevation({QStringLiteral("/bin/sh"), {}, absent});
            text = text.arg(absent);
        }

        QTest::mouseClick(unblock ? w->cmdUnblockFB : w->cmdBlockFB, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w->hostsChangeRunning(), 60000);

        QCOMPARE(program->hosts(), after);
        QVERIFY(shows(*w, after != kUnblocked));
        if (icon == 0) {
            QVERIFY(messages->shown.isEmpty());
        } else {
            QCOMPARE(messages->shown.size(), 1);
            QCOMPARE(int(messages->shown[0].icon), icon);
            QCOMPARE(messages->shown[0].title, QStringLiteral("Tavrin Hushgate"));
            QCOMPARE(messages->shown[0].text, text);
        }
    }

    void bothButtonsWaitForTheRunningChange() {
        program->writeHosts(kUnblocked);
        const QString go = program->path(QStringLiteral("go"));
        const QString runs = program->path(QStringLiteral("runs"));
        auto w = open(QStringLiteral("echo run >> %1; while [ ! -e %2 ]; do sleep 0.05; done; %3")
                          .arg(quoted(runs), quoted(go), writesHosts(kUnblocked + allEntries())));
        QTest::mouseClick(w->cmdBlockFB, Qt::LeftButton);
        QVERIFY(w->hostsChangeRunning());
        QVERIFY(!w->cmdBlockFB->isEnabled() && !w->cmdUnblockFB->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runs), 60000);
        // The window goes on handling events; a second request starts nothing.
        w->presenter().cmdBlockFB_Click();
        w->presenter().cmdUnblockFB_Click();
        QVERIFY(!w->cmdBlockFB->isEnabled() && !w->cmdUnblockFB->isEnabled());
        TestProgram::write(go, "");
        QTRY_VERIFY_WITH_TIMEOUT(!w->hostsChangeRunning(), 60000);
        QCOMPARE(TestProgram::read(runs), QByteArray("run\n"));
        QVERIFY(shows(*w, true));
        QCOMPARE(messages->shown.size(), 1);
    }

    void dataFolderBesideTheProgramOrInstalled() {
        const QString beside = program->path(QStringLiteral("program"));
        const QString bare = program->path(QStringLiteral("bin"));
        QDir().mkpath(bare);
        QCOMPARE(hushgate::DataFolder(beside, QStringLiteral("/usr/share/hushgate")), beside);
        QCOMPARE(hushgate::DataFolder(bare, QStringLiteral("/usr/share/hushgate")),
                 QStringLiteral("/usr/share/hushgate"));
    }
};

QTEST_MAIN(ElevatedChangeTest)
#include "elevated_change_test.moc"
