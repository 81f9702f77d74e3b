// What other users and other programs can do to a write, and what holds:
// their locks stop nothing, our own lock is waited for only so long, a
// record is used only when no one else could have made it and only on what
// the interrupted write could have left, appends of others are kept, and
// job control waits for the file to be whole.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "hosts_recovery.h"
#include "test_support.h"

namespace hushgate {
namespace {

using test::kBlocked, test::kUnblocked;

// An unblock of `hosts` (with a second name, so rewritten in place) killed
// half way, then read with `dir`/state as the state folder, after `setup`
// (a shell command on $F, the record, and $D, its folder) and with a lock
// `op` held by another open file on the file, the record or our lock file.
// The read's error or notice, in one line; `left` is the file after setup.
enum On { Nothing, File, Record, OurLock };
std::string readAfterKill(const test::TempFolder& dir, const char* setup, On on, int op,
                          std::string& left) {
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, kBlocked);
    const std::string record = test::killedInPlace(hosts);
    if (!test::shell(setup, record, dir.path())) {
        return "cannot set up";
    }
    left = test::readFile(hosts);
    const std::string lock = dir.file(".hosts.hushgate-lock-" + std::to_string(::geteuid()));
    const std::string locked[] = {dir.file("unlocked"), hosts, record, lock};
    const int fd = ::open(locked[on].c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    EXPECT_EQ(::flock(fd, op), 0);
    HostsEngine engine(hosts, LineEnd::Lf);
    engine.setRecoveryFolder(dir.file("state"));
    engine.setWait(std::chrono::milliseconds(20));
    const auto error = test::errorOf([&] { engine.LoadHostsList(); });
    ::close(fd);
    const auto notices = engine.TakeRecoveryNotices();
    return error ? error->what() : notices.size() == 1 ? notices[0].message() : "not told once";
}

// Locks others hold on the file or the record stop nothing; our lock file is
// waited for, then its holder named. A record of ours (or root's) with one
// name that no one else may write, in a folder where no one else may put it
// (or a sticky one, and the file owner's) undoes the write; any other is
// ignored. One that names another file, or bytes the write could not have
// left, is set aside. A state folder that is not ours with mode 0700 is refused.
TEST(Hold, RecordsAndLocksOfOthersStopNothingAndAreNotTrusted) {
    enum Ends { Undone, Ignored, SetAside, Held, Refused };
    const struct {
        const char* what;
        const char* setup;
        Ends ends;
        On on = Nothing;
        int op = LOCK_EX;
    } cases[] = {
        {"ours", "true", Undone},
        {"the file locked, shared", "true", Undone, File, LOCK_SH},
        {"the file locked", "true", Undone, File},
        {"the record locked, shared", "true", Undone, Record, LOCK_SH},
        {"the record locked", "true", Undone, Record},
        {"our lock held", "true", Held, OurLock},
        {"in a sticky folder, the file owner's", "chmod 1777 \"$D\"", Undone},
        {"writable by its group", "chmod g+w \"$F\"", Ignored},
        {"with a second name", "ln \"$F\" \"$D/second\"", Ignored},
        {"in a folder all may write", "chmod 0777 \"$D\"", Ignored},
        {"rewritten in place by another program", "echo theirs >\"$D/hosts\"", SetAside},
        {"the same bytes in another file", "cp \"$D/hosts\" \"$D/h\" && mv \"$D/h\" \"$D/hosts\"",
         SetAside},
        {"the state folder a link", "mkdir -m 0700 \"$D/s\" && ln -s s \"$D/state\"", Refused},
        {"the state folder open to its group", "mkdir -m 0750 \"$D/state\"", Refused},
        {"the state folder a file", "touch \"$D/state\"", Refused},
        // Root only: another owner.
        {"another user's", "chown 65534 \"$F\"", Ignored},
        {"in a sticky folder, not the file owner's",
         "chmod 1777 \"$D\" && chown 65534 \"$D/hosts\"", Ignored},
        {"the state folder another user's",
         "mkdir -m 0700 \"$D/state\" && chown 65534 \"$D/state\"", Refused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder dir;
        std::string left;
        const std::string told = readAfterKill(dir, c.setup, c.on, c.op, left);
        if (told == "cannot set up") {
            GTEST_SKIP() << "needs root to give a file another owner";
        }
        const std::string hosts = dir.file("hosts");
        const std::string start[] = {"An interrupted change of " + hosts + " was undone",
                                     "The record " + dir.path() + "/.hosts.hushgate-rec-",
                                     "A record of an interrupted change of " + hosts,
                                     "cannot read " + hosts +
                                         ": it is held by another program (pid " +
                                         std::to_string(::getpid()) + ")",
                                     "cannot write " + hosts + ": the folder for its records, " +
                                         dir.file("state") + ", is not a folder of"};
        EXPECT_TRUE(told.starts_with(start[c.ends])) << told;
        EXPECT_EQ(test::readFile(hosts), c.ends == Undone ? kBlocked : left);
        EXPECT_EQ(told.ends_with(".stale."), c.ends == SetAside);
    }
}

// What an interrupted rewrite of O into R in place can leave: O, R, R's
// first part over O, R past O's end, and those with O's first part written
// back by an interrupted undo. Nothing else.
TEST(Hold, InterruptedRewriteLeavesOnlyMixesOfOriginalAndResult) {
    const struct {
        std::string_view now, result;
        bool fits;
    } cases[] = {
        {"0123456789", "01ABCDEFGHIJ", true},
        {"01ABCDEFGHIJ", "01ABCDEFGHIJ", true},
        {"01ABC56789", "01ABCDEFGHIJ", true},
        {"01ABCDEFGHI", "01ABCDEFGHIJ", true},
        {"0123C56789", "01ABCDEFGHIJ", true},
        {"01AB456789", "01AB", true},
        {"01AB", "01AB", true},
        {"01ABCDEFGHIJK", "01ABCDEFGHIJ", false},
        {"01ABC5678X", "01ABCDEFGHIJ", false},
        {"X123456789", "01ABCDEFGHIJ", false},
        {"0123C5X789", "01ABCDEFGHIJ", false},
        {"01AB45678", "01AB", false},
        {"0123", "01AB", false},
        {{"01ABC56789\0\0", 12}, "01ABCDEFGHIJ", true},
        {{"01ABCDEFGHI\0", 12}, "01ABCDEFGHIJ", true},
        {{"01ABC5678\0\0\0", 12}, "01ABCDEFGHIJ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(detail::FitsInterruptedRewrite(c.now, "0123456789", c.result), c.fits) << c.now;
    }
}

// A program that keeps the file open to append is waited for, then the file
// is rewritten in place: what it appends before, during and after the
// rewrite all lands in the file.
TEST(Hold, AppendsOfAProgramThatKeepsTheFileOpenLandInTheResult) {
    if (test::readFile("/proc/sys/fs/leases-enable") != "1\n") {
        GTEST_SKIP() << "needs file leases to tell who has the file open";
    }
    test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, kBlocked);
    const int fd = ::open(hosts.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const auto append = [fd](std::string_view line) { ::write(fd, line.data(), line.size()); };
    HostsEngine engine(hosts, LineEnd::Lf);
    engine.setWait(std::chrono::milliseconds(1));
    engine.setWriteHook([&](WriteStep step) {
        step == WriteStep::RecordSaved      ? append("# before\n")
        : step == WriteStep::InPlaceWritten ? append("# during\n")
                                            : void();
    });
    EXPECT_EQ(engine.Unblock(), kBlockEntryCount);
    append("# after\n");
    ::close(fd);
    // The file is not cut short under the appender: the rest is empty lines,
    // which the next change drops.
    const std::string theirs = "# before\n# during\n";
    EXPECT_EQ(
        test::readFile(hosts),
        kUnblocked + theirs + std::string(kBlocked.size() - kUnblocked.size(), '\n') + "# after\n");
    engine.Unblock();
    EXPECT_EQ(test::readFile(hosts), kUnblocked + theirs + "# after\n");
    EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"hosts"});
}

// Job control and quit, raised after the final check, take effect once the
// new file is in place (a handler of ours sees it whole).
TEST(Hold, JobControlAndQuitWaitForTheFileToBeWhole) {
    static std::string hosts;
    static volatile off_t seen = -1;
    for (const int signal : {SIGTSTP, SIGTTIN, SIGTTOU, SIGQUIT}) {
        test::TempFolder dir;
        hosts = dir.file("hosts");
        test::writeFile(hosts, kBlocked);
        struct sigaction own {
        }, saved{};
        own.sa_handler = +[](int) {
            struct stat st;
            seen = ::stat(hosts.c_str(), &st) == 0 ? st.st_size : -1;
        };
        ::sigaction(signal, &own, &saved);
        HostsEngine engine(hosts, LineEnd::Lf);
        test::raiseAt(engine, WriteStep::AfterFinalCheck, signal);
        engine.Unblock();
        ::sigaction(signal, &saved, nullptr);
        EXPECT_EQ(seen, static_cast<off_t>(kUnblocked.size())) << signal;
    }
}

}  // namespace
}  // namespace hushgate
