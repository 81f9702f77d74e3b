// What other users and other programs can do to a write, and what holds:
// their locks stop nothing, our own lock is waited for only so long, a
// record is used only when no one else could have made it and only on what
// the interrupted write could have left, appends of others are kept, and
// job control waits for the file to be whole.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "hosts_recovery.h"
#include "test_support.h"

namespace hushgate {
namespace {

using What = RecoveryNotice::What;
const std::string kUnblocked = "# mine\n127.0.0.1 localhost\n";
const std::string kBlocked = "# mine\n" + test::allEntries() + "127.0.0.1 localhost\n";

// Leaves `hosts` (with a second name, so rewritten in place) as an unblock
// killed half way left it; returns the record's path.
std::string tornByKill(const test::TempFolder& dir, const std::string& hosts) {
    test::writeFile(hosts, kBlocked);
    std::filesystem::create_hard_link(hosts, dir.file("link"));
    test::waitStatusOfChild([&] {
        HostsEngine engine(hosts, LineEnd::Lf);
        test::raiseAt(engine, WriteStep::InPlaceWritten, SIGKILL);
        engine.Unblock();
    });
    for (const std::string& name : test::listing(dir.path())) {
        if (name.starts_with(".hosts.hushgate-rec-")) {
            return dir.file(name);
        }
    }
    return {};
}

// A process that holds a lock `op` on `path` (as nobody, when `nobody`) until this goes.
struct Holder {
    pid_t pid;
    Holder(const std::string& path, int op, bool nobody) {
        int ready[2];
        char byte = 0;
        if (::pipe(ready) != 0 || (pid = ::fork()) < 0) {
            throw std::runtime_error("cannot start a lock holder");
        }
        if (pid == 0) {
            nobody ? test::becomeNobody() : void();
            const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
            if (fd >= 0 && ::flock(fd, op) == 0 && ::write(ready[1], "x", 1) == 1) {
                ::pause();
            }
            ::_exit(1);
        }
        ::close(ready[1]);
        EXPECT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
    }
    ~Holder() {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
};

// Another user's locks, on the file or on the record, stop nothing; our own
// lock file, which only a run of ours can hold, is waited for, then the
// holder is named and nothing is written.
TEST(RootHold, LocksOfOthersStopNothingAndOursIsWaitedForOnlySoLong) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to lock as another user";
    }
    enum On { File, Record, OurLock };
    const struct {
        const char* what;
        On on;
        int op;
    } cases[] = {{"file, shared", File, LOCK_SH},
                 {"file, exclusive", File, LOCK_EX},
                 {"record, shared", Record, LOCK_SH},
                 {"record, exclusive", Record, LOCK_EX},
                 {"our lock file", OurLock, LOCK_EX}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder dir;
        std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
        const std::string hosts = dir.file("hosts");
        const std::string record = tornByKill(dir, hosts);
        const std::string torn = test::readFile(hosts);
        const std::string locked[] = {hosts, record, dir.file(".hosts.hushgate-lock-0")};
        const Holder holder(locked[c.on], c.op, c.on != OurLock);
        HostsEngine engine(hosts, LineEnd::Lf);
        engine.setWait(std::chrono::milliseconds(20));
        const auto error = test::errorOf([&] { engine.Unblock(); });
        EXPECT_EQ(test::readFile(hosts), c.on == OurLock ? torn : kUnblocked);
        EXPECT_EQ(error ? std::string(error->what()) : "",
                  c.on != OurLock
                      ? ""
                      : "cannot write " + hosts + ": it is held by another program (pid " +
                            std::to_string(holder.pid) + "); nothing was written");
        EXPECT_EQ(error && error->kind() == HostsError::Kind::HeldByOther, c.on == OurLock);
    }
}

// Only a regular file with one name, of ours (or root's), that no one else
// may write, in a folder where no one else may put it (or a sticky one, and
// it is the file owner's) undoes anything; any other is ignored and told.
TEST(RootHold, RecordIsUsedOnlyWhenNoOneElseCouldHaveMadeIt) {
    const struct {
        const char* what;
        const char* setup;  // on $F, the record, and $D, its folder
        bool used;
    } cases[] = {
        {"ours", "true", true},
        {"another user's", "chown 65534 \"$F\"", false},
        {"writable by its group", "chmod g+w \"$F\"", false},
        {"with a second name", "ln \"$F\" \"$D/second\"", false},
        {"in a folder all may write", "chmod 0777 \"$D\"", false},
        {"in a sticky folder, the file owner's", "chmod 1777 \"$D\"", true},
        {"in a sticky folder, not the file owner's",
         "chmod 1777 \"$D\" && chown 65534 \"$D/hosts\"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        const std::string record = tornByKill(dir, hosts);
        const std::string torn = test::readFile(hosts);
        if (!test::shell(c.setup, record, dir.path())) {
            GTEST_SKIP() << "needs root to give the record another owner";
        }
        HostsEngine engine(hosts, LineEnd::Lf);
        engine.LoadHostsList();
        const auto notices = engine.TakeRecoveryNotices();
        EXPECT_EQ(test::readFile(hosts), c.used ? kBlocked : torn);
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].what, c.used ? What::Undone : What::Ignored);
        EXPECT_EQ(std::filesystem::exists(record), !c.used);
    }
}

// A record is applied only to the file it names, holding what the
// interrupted write could have left; otherwise the file is left alone and
// the record set aside, once.
TEST(Hold, RecordIsAppliedOnlyToWhatTheWriteCouldHaveLeft) {
    const struct {
        const char* what;
        std::function<void(const std::string&)> after;  // done to the file after the kill
        bool used;
    } cases[] = {
        {"as left", [](const std::string&) {}, true},
        {"rewritten in place by another program",
         [](const std::string& f) { test::writeFile(f, "# theirs\n"); }, false},
        {"the same bytes in another file",
         [](const std::string& f) {
             test::writeFile(f + "2", test::readFile(f));
             std::filesystem::rename(f + "2", f);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        const std::string record = tornByKill(dir, hosts);
        c.after(hosts);
        const std::string left = test::readFile(hosts);
        HostsEngine engine(hosts, LineEnd::Lf);
        engine.LoadHostsList();
        engine.LoadHostsList();
        const auto notices = engine.TakeRecoveryNotices();
        EXPECT_EQ(test::readFile(hosts), c.used ? kBlocked : left);
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].what, c.used ? What::Undone : What::SetAside);
        EXPECT_EQ(std::filesystem::exists(record + ".stale"), !c.used);
    }
}

// What an interrupted rewrite of O into R in place can leave: O, R, R's
// first part over O, R past O's end, and those with O's first part written
// back by an interrupted undo. Nothing else.
TEST(Hold, InterruptedRewriteLeavesOnlyMixesOfOriginalAndResult) {
    const struct {
        std::string_view now, original, result;
        bool fits;
    } cases[] = {
        {"0123456789", "0123456789", "01ABCDEFGHIJ", true},
        {"01ABCDEFGHIJ", "0123456789", "01ABCDEFGHIJ", true},
        {"01ABC56789", "0123456789", "01ABCDEFGHIJ", true},
        {"01ABCDEFGHI", "0123456789", "01ABCDEFGHIJ", true},
        {"0123C56789", "0123456789", "01ABCDEFGHIJ", true},
        {"01AB456789", "0123456789", "01AB", true},
        {"01AB", "0123456789", "01AB", true},
        {"01ABCDEFGHIJK", "0123456789", "01ABCDEFGHIJ", false},
        {"01ABC5678X", "0123456789", "01ABCDEFGHIJ", false},
        {"X123456789", "0123456789", "01ABCDEFGHIJ", false},
        {"0123C5X789", "0123456789", "01ABCDEFGHIJ", false},
        {"01AB45678", "0123456789", "01AB", false},
        {"0123", "0123456789", "01AB", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(detail::FitsInterruptedRewrite(c.now, c.original, c.result), c.fits) << c.now;
    }
}

// The folder for records and locks is used only as a folder of ours with mode 0700.
TEST(Hold, StateFolderIsRefusedUnlessOursAndPrivate) {
    const struct {
        const char* what;
        const char* setup;  // on $F, the folder
        bool refused;
    } cases[] = {
        {"missing", "true", false},
        {"ours, 0700", "mkdir -m 0700 \"$F\"", false},
        {"a symbolic link", "mkdir -m 0700 \"$F.real\" && ln -s \"$F.real\" \"$F\"", true},
        {"open to its group", "mkdir -m 0750 \"$F\"", true},
        {"a file", "touch \"$F\"", true},
        {"another user's", "mkdir -m 0700 \"$F\" && chown 65534 \"$F\"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder dir;
        const std::string state = dir.file("state");
        if (!test::shell(c.setup, state)) {
            GTEST_SKIP() << "needs root to give the folder another owner";
        }
        test::writeFile(dir.file("hosts"), kBlocked);
        HostsEngine engine(dir.file("hosts"), LineEnd::Lf);
        engine.setRecoveryFolder(state);
        const auto error = test::errorOf([&] { engine.LoadHostsList(); });
        EXPECT_EQ(error.has_value(), c.refused);
        EXPECT_EQ(error && std::string_view(error->what())
                               .ends_with("with mode 0700 (a symbolic "
                                          "link, another owner or other "
                                          "permissions); nothing was "
                                          "written"),
                  c.refused);
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
    const auto append = [fd](std::string_view line) {
        EXPECT_EQ(::write(fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    };
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
    EXPECT_EQ(test::readFile(hosts), kUnblocked + "# before\n# during\n# after\n");
    EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"hosts"});
}

// Job control and quit, raised after the final check, take effect once the
// new file is in place (a handler of ours sees it whole).
TEST(Hold, JobControlAndQuitWaitForTheFileToBeWhole) {
    static volatile off_t seenSize = -1;
    for (const int signal : {SIGTSTP, SIGTTIN, SIGTTOU, SIGQUIT}) {
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        test::writeFile(hosts, kBlocked);
        static std::string path;
        path = hosts;
        struct sigaction own {
        }, saved{};
        own.sa_handler = +[](int) {
            struct stat st;
            seenSize = ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
        };
        ::sigaction(signal, &own, &saved);
        HostsEngine engine(hosts, LineEnd::Lf);
        test::raiseAt(engine, WriteStep::AfterFinalCheck, signal);
        engine.Unblock();
        ::sigaction(signal, &saved, nullptr);
        EXPECT_EQ(seenSize, static_cast<off_t>(kUnblocked.size())) << signal;
    }
}

}  // namespace
}  // namespace hushgate
