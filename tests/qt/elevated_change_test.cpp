// The main window when its changes go through pkexec: a shell script stands
// in for pkexec and the helper, working on the window's temporary hosts file.

#include <unistd.h>

#include <QDir>
#include <QTest>
#include <memory>

#include "app_fixture.h"

using hushgate::HostsChanger;
using hushgate::MainWindow;
using namespace hushgate::test;

namespace {

const QByteArray kUnblocked = "127.0.0.1 localhost\n::1 localhost\n";

QString quoted(const QString& path) {
    return QLatin1Char('\'') + path + QLatin1Char('\'');
}

}  // namespace

class ElevatedChangeTest : public QObject {
    Q_OBJECT

private:
    // Each emplace() ends the previous one first, so a recorder goes
    // before the next one comes.
    std::optional<ProgramFolder> program;
    std::optional<MessageRecorder> messages;

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

private slots:
    void init() {
        program.emplace();  // a table's rows start afresh too
        messages.emplace();
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
    void outcomesOfTheElevatedChange() {
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
            // The stand-in checks it was given exactly what pkexec is given.
            QString standIn = QStringLiteral(
                                  "[ \"$1\" = --disable-internal-agent ] && [ \"$2\" = %1 ] && "
                                  "[ \"$3\" = %2 ] && [ $# = 3 ] || exit 9; ")
                                  .arg(quoted(helper()), row.unblock ? "unblock" : "block");
            if (!row.writes.isNull()) {  // as the helper would
                const QString source = program->path(QStringLiteral("written"));
                ProgramFolder::write(source, row.writes);
                standIn += QStringLiteral("cat %1 > %2; ")
                               .arg(quoted(source), quoted(program->hostsPath()));
            }
            auto w = open(standIn + row.script);
            QVERIFY(shows(*w, row.unblock ? Blocked : Unblocked));
            const QString absent = program->path(QStringLiteral("absent"));
            if (row.missing == QLatin1String("program")) {
                w->hostsChanger().useElevation({absent, {}, helper()});
            } else if (row.missing == QLatin1String("helper")) {
                w->hostsChanger().useElevation({QStringLiteral("/bin/sh"), {}, absent});
            }
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
};

QTEST_MAIN(ElevatedChangeTest)
#include "elevated_change_test.moc"
