// The main window when its changes go through pkexec: a shell script stands
// in for pkexec and the helper, working on the window's temporary hosts file.

#include <unistd.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app_fixture.h"
#include "main_window.h"

using hushgate::HostsChanger;
using hushgate::MainWindow;
using namespace hushgate::test;

namespace {

const QByteArray kUnblocked = "127.0.0.1 localhost\n::1 localhost\n";

QString quoted(const QString& path) {
    return QLatin1Char('\'') + path + QLatin1Char('\'');
}

bool shows(MainWindow& w, bool blocked) {
    return w.imgBlocked->isVisible() == blocked && w.cmdBlockFB->isEnabled() == !blocked &&
           w.cmdUnblockFB->isEnabled() == blocked;
}

}  // namespace

class ElevatedChangeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> program;
    std::unique_ptr<MessageRecorder> messages;

    // The window on the temporary hosts file, its changes made by `script`
    // run as "sh -c script pkexec --disable-internal-agent HELPER VERB".
    std::unique_ptr<MainWindow> open(const QString& script) {
        auto window = std::make_unique<MainWindow>(pathsOf(*program));
        ProgramFolder::write(helper(), "#!/bin/sh\n");
        window->hostsChanger().useElevation(
            {QStringLiteral("/bin/sh"),
             {QStringLiteral("-c"), script, QStringLiteral("pkexec"),
              QStringLiteral("--disable-internal-agent")},
             helper()});
        window->show();
        return window;
    }
    QString helper() const { return program->path(QStringLiteral("hushgate-helper")); }
    // Script text that writes `bytes` to the hosts file as the helper would.
    QString writesHosts(const QByteArray& bytes) const {
        const QString source = program->path(QString::number(qHash(bytes)));
        ProgramFolder::write(source, bytes);
        return QStringLiteral("cat %1 > %2").arg(quoted(source), quoted(program->hostsPath()));
    }

private slots:
    void init() {
        program = std::make_unique<ProgramFolder>();
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
        QVERIFY(QDir::isAbsolutePath(hushgate::ElevatedCommand::installed().program));
        QVERIFY(QDir::isAbsolutePath(hushgate::ElevatedCommand::installed().helper));
    }

    // What pkexec and the helper end with, and what the window makes of it;
    // the message's wording is the presenter's.
    void outcomesOfTheElevatedChange_data() {
        QTest::addColumn<bool>("unblock");
        QTest::addColumn<QByteArray>("writes");  // what the stand-in helper writes, if anything
        QTest::addColumn<QString>("script");     // the rest of the stand-in
        QTest::addColumn<QString>("missing");    // "program" or "helper"
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("icon");      // 0: no message
        QTest::addColumn<QString>("says");  // %1: the missing program's path
        const QByteArray blocked = kUnblocked + allEntries();
        const int critical = QMessageBox::Critical, information = QMessageBox::Information;
        const QString none, done = QStringLiteral("exit your browser");
        QTest::newRow("done, blocked")
            << false << blocked << none << none << blocked << information << done;
        QTest::newRow("done, unblocked, pkexec remarking")
            << true << kUnblocked << "echo 'pkexec: a remark' >&2" << none << kUnblocked
            << information << done;
        QTest::newRow("password dialog dismissed")
            << false << QByteArray() << "echo 'pkexec: dismissed' >&2; exit 126" << none
            << kUnblocked << 0 << none;
        QTest::newRow("not authorised, without a word")
            << false << QByteArray() << "exit 127" << none << kUnblocked << critical
            << "file: pkexec exit code 127";
        QTest::newRow("helper failed, without a word")
            << false << QByteArray() << "exit 5" << none << kUnblocked << critical
            << "changed: exit code 5";
        QTest::newRow("pkexec killed") << false << QByteArray() << "kill -9 $$" << none
                                       << kUnblocked << critical << "changed: pkexec was stopped";
        QTest::newRow("pkexec's line before the helper's")
            << false << QByteArray()
            << "echo 'pkexec: a remark' >&2; echo 'hushgate-helper: disk full' >&2; exit 3" << none
            << kUnblocked << critical << "changed: disk full";
        QTest::newRow("not authorised")
            << false << QByteArray()
            << "printf 'Error executing command as another user: Not authorized\\n\\nThis incident "
               "has been reported.\\n' >&2; exit 127"
            << none << kUnblocked << critical
            << ": Error executing command as another user: Not authorized";
        QTest::newRow("helper failed")
            << false << QByteArray()
            << "echo 'hushgate-helper: cannot write /etc/hosts: Read-only file system' >&2; exit 3"
            << none << kUnblocked << critical
            << "changed: cannot write /etc/hosts: Read-only file system";
        QTest::newRow("no pkexec") << false << blocked << none << "program" << kUnblocked
                                   << critical << "them (%1) is not installed";
        QTest::newRow("no helper") << false << blocked << none << "helper" << kUnblocked << critical
                                   << "helper (%1) is not installed";
    }
    void outcomesOfTheElevatedChange() {
        QFETCH(bool, unblock);
        QFETCH(QByteArray, writes);
        QFETCH(QString, script);
        QFETCH(QString, missing);
        QFETCH(QByteArray, after);
        QFETCH(int, icon);
        QFETCH(QString, says);

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
        } else if (missing == QLatin1String("helper")) {
            w->hostsChanger().useElevation({QStringLiteral("/bin/sh"), {}, absent});
        }
        says = missing.isEmpty() ? says : says.arg(absent);

        QTest::mouseClick(unblock ? w->cmdUnblockFB : w->cmdBlockFB, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w->hostsChangeRunning(), 60000);
        QCOMPARE(program->hosts(), after);
        QVERIFY(shows(*w, after != kUnblocked));
        QCOMPARE(messages->shown.size(), icon == 0 ? 0 : 1);
        if (icon != 0) {
            QCOMPARE(int(messages->shown[0].icon), icon);
            QVERIFY2(messages->shown[0].text.contains(says), qPrintable(messages->shown[0].text));
        }
    }

    void dataFolderBesideTheProgramOrInstalled() {
        const QString installed = QStringLiteral("/usr/share/hushgate");
        QDir().mkpath(program->path(QStringLiteral("bin")));
        QCOMPARE(hushgate::DataFolder(program->program(), installed), program->program());
        QCOMPARE(hushgate::DataFolder(program->path(QStringLiteral("bin")), installed), installed);
    }
};

QTEST_MAIN(ElevatedChangeTest)
#include "elevated_change_test.moc"
