// Failures only POSIX systems have: files that are no files, permissions,
// resource limits, attributes, mounts, and runs cut short by signals. Then
// what other users and other programs can do to a write, and what holds:
// their locks stop nothing, our own lock is waited for only so long, a
// record is used only when no one else could have made it and only on what
// the interrupted write could have left, appends of others are kept, and
// job control waits for the file to be whole.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <thread>

#include "hosts_engine.h"
#include "hosts_recovery.h"
#include "test_support.h"

namespace hushgate {
namespace {

using Names = std::vector<std::string>;
using test::kBlocked, test::kUnblocked, test::cutShort, test::entryOf;

// True when `error` is there and its message holds `words` (any, when empty).
bool says(const std::optional<HostsError>& error, std::string_view words) {
    return error && std::string_view(error->what()).find(words) != std::string_view::npos;
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// What the owner set on the hosts file survives a write, and nothing is
// added to it: a new file takes its place only when it can be given all of
// it; otherwise (a hard link, an owner or attribute we may not set) the file
// is rewritten in place. A symbolic link stays one, its target rewritten.
// Something other than a file, no write permission, a file-size limit, the
// file or folder marked append-only or immutable: refused (without waiting
// for a FIFO), the file as it was, and no temporary file left in either case.
enum Needs { Nothing, Root, RootAsNobody };
class Replacement : public ::testing::TestWithParam<bool> {};  // rows needing root, or the others
TEST_P(Replacement, KeepsWhatTheOwnerSetOrRefuses) {
    const bool root = GetParam();
    if (root && ::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give the file another owner";
    }
    const char* marked =
        "the file is marked read-only (immutable or append-only, chattr), which "
        "administrator rights do not override; nothing was written. To clear "
        "the mark: chattr -i -a /";
    const struct {
        const char* what;
        const char* setup;  // a shell command on $F (the file) and $D (its folder)
        Needs needs = Nothing;
        const char* refusal = nullptr;
        rlim_t sizeLimit = RLIM_INFINITY;  // past it, "File too large" (not SIGXFSZ)
        std::size_t nameLength = 5;
        bool inPlace = false;  // else a new file takes its place
    } cases[] = {
        {"every mode bit", "chmod 7777 \"$F\""},
        // Group may read, a named user may write: neither may change.
        {"an ACL", "setfacl -m u:nobody:rw,g::r,m::rw \"$F\""},
        {"a user attribute", "setfattr -n user.note -v kept \"$F\""},
        {"an empty user attribute", "setfattr -n user.empty \"$F\""},
        // The new file must not take an ACL from its folder.
        {"the folder's default ACL", "setfacl -d -m u:nobody:rwx \"$D\""},
        {"a name of 250 characters", "true", Nothing, nullptr, RLIM_INFINITY, 250},
        {"a symbolic link", "mv \"$F\" \"$D/real\" && ln -s real \"$F\""},
        {"a hard link", "ln \"$F\" \"$D/link\"", Nothing, nullptr, RLIM_INFINITY, 5, true},
        {"a file-size limit", "true", Nothing, "File too large", 1},
        // The original fits, and is put back whole.
        {"a file-size limit, in place", "ln \"$F\" \"$D/link\"", Nothing, "File too large", 1000, 5,
         true},
        {"something other than a file", "rm \"$F\" && mkfifo \"$F\"", Nothing,
         "not an ordinary file"},
        // Owner and group each on its own; set-id bits, which a change of
        // owner clears.
        {"another owner and every mode bit", "chown 1234:5678 \"$F\" && chmod 7777 \"$F\"", Root},
        {"another owner", "chown 1234 \"$F\"", Root},
        {"another group", "chgrp 5678 \"$F\"", Root},
        {"the folder's group for new files", "chgrp 5678 \"$D\" && chmod g+s \"$D\"", Root},
        // Nobody may not give a new file a group it is not in.
        {"a group the writer is not in", "chown 65534:5678 \"$F\" \"$D\"", RootAsNobody, nullptr,
         RLIM_INFINITY, 5, true},
        // Its folder would let nobody replace it.
        {"no write permission", "chmod 444 \"$F\" && chown 65534 \"$F\" \"$D\"", RootAsNobody,
         "Permission denied"},
        {"an append-only folder", "chattr +a \"$D\"", Root, "its folder is marked append-only"},
        {"an append-only file", "chattr +a \"$F\"", Root, marked},
        {"an immutable file", "chattr +i \"$F\"", Root, marked},
    };
    std::string unrunnable;
    for (const auto& c : cases) {
        if ((c.needs != Nothing) != root) {
            continue;
        }
        SCOPED_TRACE(c.what);
        test::TempFolder dir;
        const std::string hosts = dir.file(std::string(c.nameLength, 'h'));
        test::writeFile(hosts, "a\n\n");  // each operation writes
        if (!test::shell(c.setup, hosts, dir.path())) {
            unrunnable += std::string(" ") + c.what + ";";
            continue;
        }
        const test::Metadata before = test::metadataOf(hosts);
        const auto listing = test::listing(dir.path());
        for (const bool block : {true, false}) {
            // Unblocking in place only makes the file shorter.
            const char* refusal = block || !c.inPlace ? c.refusal : nullptr;
            const ino_t inode = inodeOf(hosts);
            EXPECT_EQ(
                test::waitStatusOfChild([&] {
                    const rlimit limit{c.sizeLimit, c.sizeLimit};
                    ::setrlimit(RLIMIT_FSIZE, &limit);
                    // Ignored only while the file is written, then ours again.
                    struct sigaction own = {}, after = {};
                    own.sa_handler = +[](int) {};
                    ::sigaction(SIGXFSZ, &own, nullptr);
                    if (c.needs == RootAsNobody) {
                        test::becomeNobody();
                    }
                    HostsEngine engine(hosts, LineEnd::Lf);
                    // Standard input closed part way, as cron may start us: the
                    // record, or the file rewritten in place, gets descriptor 0.
                    const auto step = block ? WriteStep::BeforeFinalCheck : WriteStep::RecordSaved;
                    engine.setWriteHook([&](WriteStep now) { (void)(now == step && ::close(0)); });
                    const auto error = test::errorOf(
                        [&] { block ? (void)engine.Block() : (void)engine.Unblock(); });
                    EXPECT_EQ(says(error, refusal ? refusal : "") && error->backupPath().empty(),
                              refusal != nullptr)
                        << (error ? error->what() : "not refused");
                    ::sigaction(SIGXFSZ, nullptr, &after);
                    EXPECT_EQ(after.sa_handler, own.sa_handler);
                }),
                0);
            EXPECT_EQ(inodeOf(hosts) == inode, c.inPlace || refusal);
            EXPECT_EQ(test::metadataOf(hosts), before);
            EXPECT_EQ(test::listing(dir.path()), listing);
            for (const std::string& name : listing) {
                if (!std::filesystem::is_fifo(dir.file(name))) {  // no writer: not read
                    EXPECT_EQ(test::readFile(dir.file(name)), refusal ? "a\n\n"
                                                              : block ? "a\n" + test::allEntries()
                                                                      : "a\n");
                }
            }
        }
        test::shell("chattr -ia \"$F\" \"$D\"", hosts, dir.path());
    }
    if (!unrunnable.empty()) {
        GTEST_SKIP() << "needs the acl, attr and chattr tools; not run:" << unrunnable;
    }
}

INSTANTIATE_TEST_SUITE_P(AnyUser, Replacement, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(Root, Replacement, ::testing::Values(true));

// A small file system of its own for the file: read-only, or full (also
// under a bind mount, where the new contents fit beside the mount point but
// not into the file, which is not touched at all: the space is reserved
// first). The error is named; the file and both folders stay.
// Then a read-only root with a writable hosts file mounted into it. The
// record of the rewrite goes to the recovery folder; without one the write is
// refused, since a cut-short rewrite could not be undone. Killed half way:
// the next read finds the record there and keeps the damaged bytes there too;
// while that folder takes no copy, it refuses to read and changes nothing.
// Own mounts need root.
TEST(MountedFailures, FailedWriteIsNamedAndLeavesEverythingAsItWas) {
    if (!test::canUseMountNamespaces()) {
        GTEST_SKIP() << "needs root to make a private mount namespace (unshare); skipped";
    }
    test::TempFolder dir;
    const std::string small = dir.file("small"), etc = dir.file("etc");
    std::filesystem::create_directory(small);
    std::filesystem::create_directory(etc);
    test::writeFile(etc + "/hosts", "");
    const struct {
        const char* what;
        std::string content;
        bool readOnly, filled, bound;  // bound: written through etc/hosts
        const char* reason;
    } cases[] = {
        {"read-only", kBlocked, true, false, false, "Read-only file system"},
        {"full", std::string(40000, 'x') + "\n", false, false, false, "No space left"},
        {"full under a bind mount", std::string(4000, 'x') + "\n", false, true, true,
         "No space left"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(test::waitStatusOfChild([&] {
                      test::enterPrivateMountNamespace();
                      const std::string hosts = small + "/hosts";
                      test::mountOrThrow("tmpfs", small, "tmpfs", 0, "size=64k");
                      test::writeFile(hosts, c.content);
                      if (c.filled) {  // so the larger new contents cannot get another block
                          test::writeFile(small + "/filler", std::string(15 * 4096, 'f'));
                      }
                      if (c.readOnly) {
                          test::mountOrThrow({}, small, nullptr, MS_REMOUNT | MS_RDONLY);
                      }
                      if (c.bound) {
                          test::mountOrThrow(hosts, etc + "/hosts", nullptr, MS_BIND);
                      }
                      const auto before = test::pictureOf(hosts);
                      const Names files = test::listing(small);
                      const auto error = test::errorOf([&] {
                          HostsEngine(c.bound ? etc + "/hosts" : hosts, LineEnd::Lf).Block();
                      });
                      EXPECT_TRUE(says(error, c.reason) && error->backupPath().empty());
                      EXPECT_EQ(test::pictureOf(hosts), before);
                      EXPECT_EQ(test::listing(small), files);
                      EXPECT_EQ(test::listing(etc), Names{"hosts"});
                  }),
                  0)
            << c.what;
    }
    const std::string hosts = etc + "/hosts";
    const std::string recovery = dir.file("recovery");
    EXPECT_EQ(
        test::waitStatusOfChild([&] {
            test::enterPrivateMountNamespace();
            test::mountOrThrow("tmpfs", etc, "tmpfs", 0, "size=1m");
            test::writeFile(hosts, kBlocked);
            test::mountOrThrow(hosts, hosts, nullptr, MS_BIND);
            test::mountOrThrow({}, etc, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY);
            HostsEngine engine(hosts, LineEnd::Lf);
            engine.setRecoveryFolder("");
            EXPECT_TRUE(says(test::errorOf([&] { engine.Unblock(); }), "no copy can be kept"));
            EXPECT_EQ(test::readFile(hosts), kBlocked);

            cutShort(hosts, false, WriteStep::InPlaceWritten, SIGKILL, recovery);
            const std::string torn = test::readFile(hosts);
            const std::string record = entryOf(recovery, ".");
            engine.setRecoveryFolder(recovery);
            test::mountOrThrow(recovery, recovery, nullptr, MS_BIND);
            test::mountOrThrow({}, recovery, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY);
            const auto error = test::errorOf([&] { engine.LoadHostsList(); });
            EXPECT_TRUE(says(error, "could not be put back: Read-only file system"));
            EXPECT_EQ(error ? error->backupPath() : "", record);
            EXPECT_EQ(test::readFile(hosts), torn);
            EXPECT_EQ(test::listing(recovery).size(), 1u);
            ::umount(recovery.c_str());
            engine.LoadHostsList();
            EXPECT_EQ(test::readFile(hosts), kBlocked);
            EXPECT_EQ(engine.TakeRecoveryNotices().size(), 1u);
            EXPECT_EQ(test::listing(recovery).size(), 1u);  // the damaged copy, not the record
            EXPECT_NE(entryOf(recovery, "hosts.hushgate-torn-"), "");
            EXPECT_EQ(test::listing(etc), Names{"hosts"});
        }),
        0);
}

// Runs cut short (killed, interrupted) and what the next run makes of what
// they left. POSIX only: Windows tells a run at work by how recently it
// touched its files, which Wine cannot date back.

// A write ended at any step leaves the old or the new file and, after the
// next read, nothing else: a rewrite in place cut short is undone, its
// damaged bytes kept and the undoing told once; the leftovers of other
// ended runs go too, but not a file a run at work holds, nor what only
// resembles ours, nor a damaged copy kept for the owner. Ctrl-C, SIGTERM and
// SIGHUP wait for the step that puts the new file in place, then end the
// program with 128 + their number after removing its temporary files. A
// record that is not the original followed by its trailer never completed;
// one whose copy of the original is damaged undoes nothing and is kept.
TEST(Interrupted, WriteLeavesTheOldOrTheNewFileAndNothingElse) {
    using S = WriteStep;
    enum Ends { Old, New, Undone, AsLeft, Refused };
    // clang-format off
    const struct {
        const char* what;
        bool inPlace;  // through a hard link, as for a bind mount
        bool block;    // else unblock, which makes the file shorter
        WriteStep step;
        int signal;
        Ends ends;
        std::function<void(std::string&)> damage = {};  // done to the record
        int large = 0;  // comment lines added, each as long as all entries
    } cases[] = {
        {"killed before the final check",       false, true,  S::BeforeFinalCheck, SIGKILL, Old},
        {"killed after the final check",        false, true,  S::AfterFinalCheck,  SIGKILL, Old},
        {"killed in place, the record saved",   true,  false, S::RecordSaved,      SIGKILL, Old},
        {"killed in place, half written",       true,  false, S::InPlaceWritten,   SIGKILL, Undone},
        {"killed in place, written but not cut", true, true,  S::InPlaceWritten,   SIGKILL, New},
        {"terminated before the final check",   false, true,  S::BeforeFinalCheck, SIGTERM, Old},
        {"interrupted after the final check",   false, false, S::AfterFinalCheck,  SIGINT,  New},
        {"hung up in place",                    true,  false, S::InPlaceWritten,   SIGHUP,  New},
        // Over a MiB, compared, kept and put back in pieces.
        {"half written, over a MiB",            true,  false, S::InPlaceWritten,   SIGKILL, Undone, {}, 600},
        {"half written, the record's copy damaged", true, false, S::InPlaceWritten, SIGKILL, Refused, [](std::string& r) { r[3] ^= 1; }},
        {"half written, a byte added to the record", true, false, S::InPlaceWritten, SIGKILL, AsLeft, [](std::string& r) { r.insert(0, "#"); }},
        // The new size in the trailer (after the two digits of the old and its
        // digest) changed, not the digest that guards the trailer.
        {"written, the record's trailer altered", true, true, S::InPlaceWritten,   SIGKILL, New, [](std::string& r) { ++r[r.rfind(": ") + 22]; }},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        std::string original = c.block ? kUnblocked : kBlocked;
        for (int i = 0; i < c.large; ++i) {
            original += std::string(test::allEntries().size() - 1, '#') + "\n";
        }
        test::writeFile(hosts, original);
        if (c.inPlace) {
            std::filesystem::create_hard_link(hosts, dir.file("other-name"));
        }
        auto listing = test::listing(dir.path());
        const int status = cutShort(hosts, c.block, c.step, c.signal);
        if (c.signal == SIGKILL) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + c.signal) << status;
            EXPECT_EQ(test::listing(dir.path()), listing);  // cleaned up before ending
        }
        const std::string left = test::readFile(hosts);
        const std::string record = entryOf(dir.path(), ".hosts.hushgate-rec-");
        if (c.damage) {
            std::string bytes = test::readFile(record);
            test::writeFile(record, (c.damage(bytes), bytes));
        }
        // Kept: a file in use, what only resembles ours (a FIFO and a link
        // to the file in use too, never waited for), a damaged copy. Gone:
        // leftovers of ended runs (the record never completed).
        const std::vector<std::string> leftovers = {
            ".hosts.hushgate-new-InUse1",          ".hosts.hushgate-new-Ab12Cd.bak",
            ".hosts.hushgate-new-Ab12C~",          ".other.hushgate-new-Ab12Cd",
            "hosts.hushgate-torn-19991231-235959", ".hosts.hushgate-rec-Fifo01",
            ".hosts.hushgate-rec-Link01",          ".hosts.hushgate-new-Ab12Cd",
            ".hosts.hushgate-copy-Ab12Cd",         ".hosts.hushgate-rec-Ab12Cd"};
        for (const std::string& name : leftovers) {
            const std::string path = dir.file(name);
            name.ends_with("Fifo01")   ? (void)::mkfifo(path.c_str(), 0600)
            : name.ends_with("Link01") ? (void)::symlink(leftovers[0].c_str(), path.c_str())
                                       : test::writeFile(path, "127.0.0.1 localhost\n");
        }
        listing.insert(listing.end(), leftovers.begin(), leftovers.begin() + 7);

        // Read by the CLI, which tells of an undoing on standard error.
        const test::TempFolder scratch;
        const auto readByCli = [&] {
            return test::runProgram(HUSHGATE_CLI, {"--hosts", hosts, "status"}, scratch);
        };
        const int inUse = ::open(dir.file(leftovers[0]).c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(inUse, LOCK_EX), 0);
        const test::ProgramRun read = readByCli();
        ::close(inUse);
        const std::string changed = c.block ? kUnblocked + test::allEntries() : kUnblocked;
        const std::string& now = c.ends == New ? changed : c.ends >= AsLeft ? left : original;
        EXPECT_EQ(test::readFile(hosts), now);
        EXPECT_EQ(read.exitCode, c.ends == Refused                          ? 3
                                 : now.find(test::allEntries()) != now.npos ? 0
                                                                            : 1);
        const std::string torn = entryOf(dir.path(), "hosts.hushgate-torn-2");
        if (c.ends == Undone) {
            EXPECT_EQ(test::readFile(torn), left);
            EXPECT_EQ(read.err, "hushgate-cli: An interrupted change of " + hosts +
                                    " was undone; the damaged copy was kept as " + torn + ".\n");
            listing.push_back(torn.substr(dir.path().size() + 1));
        } else if (c.ends == Refused) {
            EXPECT_NE(read.err.find("the copy kept to undo it, " + record +
                                    ", is damaged too; both are left as they are\n"),
                      std::string::npos)
                << read.err;
            listing.push_back(record.substr(dir.path().size() + 1));
        } else {
            EXPECT_EQ(read.err, "");
        }
        std::sort(listing.begin(), listing.end());
        EXPECT_EQ(test::listing(dir.path()), listing);
        if (c.inPlace) {
            EXPECT_EQ(test::readFile(dir.file("other-name")), now);
        }
        EXPECT_EQ(readByCli().err, c.ends == Refused ? read.err : "");  // told once
    }
}

// The record and the damaged copy hold the file's bytes: they get its group
// and at most its read bits, and no ACL from their folder.
TEST(RootRecovery, CopiesOfTheFileGiveNoMoreAccessThanIt) {
    // The file's mode, and the copies'.
    const std::pair<const char*, mode_t> modes[] = {
        {"0640", 0640}, {"0604", 0604}, {"0400", 0600}, {"0755", 0644}, {"7777", 0644}};
    for (const auto& [mode, copies] : modes) {
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        test::writeFile(hosts, kBlocked);
        const std::string setup = "chgrp 5678 \"$F\" && chmod " + std::string(mode) +
                                  " \"$F\" && setfacl -d -m u:nobody:rwx \"$D\"";
        if (!test::shell(setup, hosts, dir.path())) {
            GTEST_SKIP() << "needs root (to give the file another group) and the acl tools";
        }
        const test::Metadata record = test::metadataOf(test::killedInPlace(hosts));
        HostsEngine(hosts, LineEnd::Lf).LoadHostsList();
        for (const test::Metadata& copy :
             {record, test::metadataOf(entryOf(dir.path(), "hosts.hushgate-torn-"))}) {
            const bool acl = copy.extended.contains("system.posix_acl_access");
            EXPECT_EQ(std::tuple(copy.mode, copy.gid, acl),
                      std::tuple(S_IFREG | copies, 5678u, false));
        }
    }
}

// Locks others hold on the file or the record stop nothing; our lock file is
// waited for, then its holder named. A record of ours (or root's) with one
// name that no one else may write, in a folder where no one else may put it
// (or a sticky one, and the file owner's) undoes the write; any other is
// ignored. One that names another file, or bytes the write could not have
// left, is set aside. A state folder that is not ours with mode 0700 is refused.
// Each row: an unblock in place killed half way, then `setup` (a shell
// command on $F, the record, and $D, its folder), then a read with a lock
// `op` held by another open file on the file, the record or our lock file.
TEST(Hold, RecordsAndLocksOfOthersStopNothingAndAreNotTrusted) {
    enum Ends { Undone, Ignored, SetAside, Held, Refused };
    enum On { NoLock, File, Record, OurLock };
    const struct {
        const char* what;
        const char* setup;
        Ends ends;
        On on = NoLock;
        int op = LOCK_EX;
        bool letGo = false;  // the lock is let go while the read waits for it
    } cases[] = {
        {"ours", "true", Undone},
        {"the file locked, shared", "true", Undone, File, LOCK_SH},
        {"the file locked", "true", Undone, File},
        {"the record locked, shared", "true", Undone, Record, LOCK_SH},
        {"the record locked", "true", Undone, Record},
        {"our lock held", "true", Held, OurLock},
        {"our lock held a while", "true", Undone, OurLock, LOCK_EX, true},
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
        const std::string hosts = dir.file("hosts");
        test::writeFile(hosts, kBlocked);
        const std::string record = test::killedInPlace(hosts);
        if (!test::shell(c.setup, record, dir.path())) {
            GTEST_SKIP() << "needs root to give a file another owner";
        }
        const std::string left = test::readFile(hosts);
        const std::string lock = dir.file(".hosts.hushgate-lock-" + std::to_string(::geteuid()));
        const std::string locked[] = {dir.file("unlocked"), hosts, record, lock};
        const int fd = ::open(locked[c.on].c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
        EXPECT_EQ(::flock(fd, c.op), 0);
        HostsEngine engine(hosts, LineEnd::Lf);
        engine.setRecoveryFolder(dir.file("state"));
        engine.setWait(c.letGo ? std::chrono::minutes(1) : std::chrono::milliseconds(20));
        const std::jthread letGo([&] {
            if (c.letGo) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ::flock(fd, LOCK_UN);
            }
        });
        const auto error = test::errorOf([&] { engine.LoadHostsList(); });
        ::close(fd);
        const auto notices = engine.TakeRecoveryNotices();
        // The read's error or notice, in one line.
        const std::string told = error                 ? error->what()
                                 : notices.size() == 1 ? notices[0].message()
                                                       : "not told once";
        const std::string start[] = {"An interrupted change of " + hosts + " was undone",
                                     "The record " + dir.path() + "/.hosts.hushgate-rec-",
                                     "A record of an interrupted change of " + hosts,
                                     "cannot read " + hosts +
                                         ": it is held by another program (pid " +
                                         std::to_string(::getpid()) + ")",
                                     "cannot read " + hosts + ": the folder for its records, " +
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
        {"0123456X89", "0123456789XY", false},
        {"01AB45678", "01AB", false},
        {"0123", "01AB", false},
        {{"01ABC56789\0\0", 12}, "01ABCDEFGHIJ", true},
        {{"01ABCDEFGHI\0", 12}, "01ABCDEFGHIJ", true},
        {{"01ABC5678\0\0\0", 12}, "01ABCDEFGHIJ", false},
        {{"01ABCDEFGHI\0\0", 13}, "01ABCDEFGHIJ", false},
        {{"01ABC56789\0\0\0\0\0\0", 16}, "01ABCDEFGHIJKLMN", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(detail::FitsInterruptedRewrite(c.now, "0123456789", c.result), c.fits) << c.now;
    }
}

// A program that keeps the file open to append is waited for, then the file
// is rewritten in place: what it appends after our read, before, during and
// after the rewrite all lands in the file.
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
        step == WriteStep::BeforeFinalCheck ? append("# first\n")
        : step == WriteStep::RecordSaved    ? append("# before\n")
        : step == WriteStep::InPlaceWritten ? append("# during\n")
                                            : void();
    });
    EXPECT_EQ(engine.Unblock(), kBlockEntryCount);
    append("# after\n");
    ::close(fd);
    // The file is not cut short under the appender: the rest is empty lines,
    // which the next change drops.
    const std::string theirs = "# first\n# before\n# during\n";
    EXPECT_EQ(
        test::readFile(hosts),
        kUnblocked + theirs + std::string(kBlocked.size() - kUnblocked.size(), '\n') + "# after\n");
    engine.Unblock();
    EXPECT_EQ(test::readFile(hosts), kUnblocked + theirs + "# after\n");
    EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"hosts"});
}

// A rewrite in place that fails half way puts the original back, and with
// it what the appender added meanwhile.
TEST(Hold, AFailedRewriteInPlaceKeepsTheAppends) {
    if (test::readFile("/proc/sys/fs/leases-enable") != "1\n") {
        GTEST_SKIP() << "needs file leases to tell who has the file open";
    }
    test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, kUnblocked);
    EXPECT_EQ(test::waitStatusOfChild([&] {
                  const int fd = ::open(hosts.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
                  const rlimit limit{kUnblocked.size() + 1000, kUnblocked.size() + 1000};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
                  ::signal(SIGXFSZ, SIG_IGN);
                  HostsEngine engine(hosts, LineEnd::Lf);
                  engine.setWait(std::chrono::milliseconds(1));
                  engine.setWriteHook([fd](WriteStep step) {
                      (void)(step == WriteStep::RecordSaved && ::write(fd, "# theirs\n", 9));
                  });
                  EXPECT_TRUE(says(test::errorOf([&] { engine.Block(); }), "File too large"));
              }),
              0);
    EXPECT_EQ(test::readFile(hosts), kUnblocked + "# theirs\n");
    EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"hosts"});
}

// New contents that throw part way through a rewrite in place, or that come
// out other than the record says: the original is put back, no record left.
TEST(Hold, ARewriteInPlaceThatGoesWrongPartWayPutsTheOriginalBack) {
    for (const bool throws : {true, false}) {
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        test::writeFile(hosts, kBlocked);
        std::filesystem::create_hard_link(hosts, dir.file("link"));
        int calls = 0;  // the third makes the bytes written
        const NewContents contents{[&](const ReadAt&, PieceSink& out) {
            if (++calls == 3 && throws) {
                out.put("# other\n");
                out.release();
                throw std::runtime_error("part way");
            }
            return out.put(calls < 3 ? "# new\n" : "# other\n");
        }};
        std::string told = "no error";
        try {
            ReplaceFileContents(hosts, OpenedFile(hosts).stamp(), contents);
        } catch (const std::exception& error) {
            told = error.what();
        }
        EXPECT_NE(told.find(throws ? "part way" : "Input/output error"), std::string::npos) << told;
        EXPECT_EQ(test::readFile(hosts), kBlocked);
        EXPECT_EQ(test::listing(dir.path()), (Names{"hosts", "link"}));
    }
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
        struct sigaction own = {}, saved = {};
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
