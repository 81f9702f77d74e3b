// Failures only POSIX systems have: files that are no files, permissions,
// resource limits, attributes, mounts, and runs cut short by signals.

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

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

using Names = std::vector<std::string>;

const std::string kOriginal = "127.0.0.1 localhost\n\n127.0.0.1 m.facebook.com\n# end";

// For checks inside a child process: the first failed condition's message.
// clang-format off
#define CHILD_CHECK(condition, message) if (!(condition)) return std::string(message)
// clang-format on

// Runs Block; true when it fails saying `words`.
bool blockFailsSaying(const std::string& hosts, const char* words) {
    HostsEngine engine(hosts, LineEnd::Lf);
    const auto error = test::errorOf([&] { engine.Block(); });
    return error && std::string(error->what()).find(words) != std::string::npos &&
           error->backupPath().empty();
}

TEST(Failures, SomethingOtherThanAFileIsRefusedWithoutWaiting) {
    const test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    ASSERT_EQ(::mkfifo(hosts.c_str(), 0644), 0);
    EXPECT_TRUE(blockFailsSaying(hosts, "not an ordinary file"));
    EXPECT_TRUE(std::filesystem::is_fifo(hosts));
}

// Without write permission, with a file-size limit, in an append-only
// folder: refused, the file and its folder as they were.
TEST(Failures, RefusedWriteLeavesTheFileAndNoTemporaryFile) {
    const struct {
        const char* what;
        const char* setup;  // a shell command on $F (the file) and $D (its folder)
        bool asNobody;      // root may write anything: play an ordinary user
        rlim_t sizeLimit;   // past it the system sends SIGXFSZ, which would end the process
        const char* reason;
    } cases[] = {
        {"no write permission", "chmod 444 \"$F\" && chown 65534:65534 \"$F\" \"$D\"", true,
         RLIM_INFINITY, "Permission denied"},
        {"file-size limit", "true", false, 200, "File too large"},
        {"append-only folder", "chattr +a \"$D\"", false, RLIM_INFINITY, "append-only"},
    };
    for (const auto& c : cases) {
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        test::writeFile(hosts, kOriginal);
        if (!test::shell(c.setup, hosts, dir.path())) {
            std::cout << "skipped (needs root and a file system with it): " << c.what << "\n";
            continue;
        }
        const auto before = test::pictureOf(hosts);
        EXPECT_TRUE(test::succeedsInChild([&] {
            const rlimit limit{c.sizeLimit, c.sizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            if (c.asNobody) {
                test::becomeNobody();
            }
            return std::string(blockFailsSaying(hosts, c.reason) ? "" : c.reason);
        })) << c.what;
        test::shell("chattr -a \"$D\"", {}, dir.path());
        EXPECT_EQ(test::pictureOf(hosts), before) << c.what;
        EXPECT_EQ(test::listing(dir.path()), Names{"hosts"}) << c.what;
    }
}

// The tests below need their own mounts, which only root may make.
class MountedFailures : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::canUseMountNamespaces()) {
            GTEST_SKIP() << "needs root to make a private mount namespace (unshare); skipped";
        }
        std::filesystem::create_directory(small);
        std::filesystem::create_directory(etc);
        test::writeFile(etc + "/hosts", "");
    }
    test::TempFolder dir;
    const std::string small = dir.file("small");
    const std::string etc = dir.file("etc");
};

// A small file system of its own for the file: read-only, or full (also
// under a bind mount, where the new contents fit beside the mount point but
// not into the file). The error is named; the file and both folders stay.
TEST_F(MountedFailures, FailedWriteIsNamedAndLeavesEverythingAsItWas) {
    std::filesystem::create_symlink(small + "/hosts", dir.file("link"));
    const struct {
        const char* what;
        std::string content;
        bool readOnly, filled, bound;
        std::string path;
        const char* reason;
    } cases[] = {
        {"read-only", kOriginal, true, false, false, small + "/hosts", "Read-only file system"},
        {"read-only, through a link", kOriginal, true, false, false, dir.file("link"),
         "Read-only file system"},
        {"full", std::string(40000, 'x') + "\n", false, false, false, small + "/hosts",
         "No space left"},
        {"full under a bind mount", std::string(4000, 'x') + "\n", false, true, true,
         etc + "/hosts", "No space left"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(test::succeedsInChild([&] {
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
            CHILD_CHECK(blockFailsSaying(c.path, c.reason), c.reason);
            CHILD_CHECK(test::pictureOf(hosts) == before, "file changed");
            CHILD_CHECK(test::listing(small) == files && test::listing(etc) == Names{"hosts"},
                        "left-over file");
            return std::string();
        })) << c.what;
    }
}

TEST_F(MountedFailures, WritableFileInAFolderThatTakesNoNewFileIsRewrittenInPlace) {
    // A read-only root with a writable hosts file mounted into it. The
    // record of the rewrite goes to the recovery folder; without one the
    // write is refused, since a cut-short rewrite could not be undone.
    const std::string hosts = etc + "/hosts";
    const std::string recovery = dir.file("recovery");
    EXPECT_TRUE(test::succeedsInChild([&] {
        test::enterPrivateMountNamespace();
        test::mountOrThrow("tmpfs", etc, "tmpfs", 0, "size=1m");
        const std::string original = "# mine\n" + test::allEntries() + "127.0.0.1 localhost\n";
        test::writeFile(hosts, original);
        test::mountOrThrow(hosts, hosts, nullptr, MS_BIND);
        test::mountOrThrow({}, etc, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY);
        HostsEngine refusing(hosts, LineEnd::Lf);
        refusing.setRecoveryFolder("");
        auto error = test::errorOf([&] { refusing.Unblock(); });
        CHILD_CHECK(
            error && std::string(error->what()).find("no copy can be kept") != std::string::npos,
            error ? error->what() : "not refused");
        CHILD_CHECK(test::readFile(hosts) == original, "refused write changed the file");

        // Killed half way: the next read finds the record in the recovery
        // folder and keeps the damaged bytes there.
        const int status = test::waitStatusOfChild([&] {
            HostsEngine engine(hosts, LineEnd::Lf);
            engine.setRecoveryFolder(recovery);
            test::raiseAt(engine, WriteStep::InPlaceWritten, SIGKILL);
            engine.Unblock();
        });
        CHILD_CHECK(WIFSIGNALED(status), "not killed");
        HostsEngine engine(hosts, LineEnd::Lf);
        engine.setRecoveryFolder(recovery);
        engine.LoadHostsList();
        const auto notices = engine.TakeRecoveryNotices();
        CHILD_CHECK(test::readFile(hosts) == original, "not undone");
        CHILD_CHECK(notices.size() == 1 &&
                        notices[0].tornCopy.starts_with(recovery + "/hosts.hushgate-torn-"),
                    "no notice of the damaged copy in the recovery folder");
        std::filesystem::remove(notices[0].tornCopy);
        CHILD_CHECK(
            engine.Unblock() == 68 && test::readFile(hosts) == "# mine\n127.0.0.1 localhost\n",
            "not unblocked");
        CHILD_CHECK(test::listing(recovery).empty() && test::listing(etc) == Names{"hosts"},
                    "left-over file");
        return std::string();
    }));
}

// Runs cut short (killed, interrupted) and what the next run makes of what
// they left. POSIX only: Windows tells a run at work by how recently it
// touched its files, which Wine cannot date back.

// A write ended at any step leaves the old or the new file and, after the
// next read, nothing else: a rewrite in place cut short is undone, its
// damaged bytes kept and the undoing told once; the leftovers of other
// ended runs go too, but not a file a run at work holds, nor what only
// resembles ours, nor a damaged copy kept for the owner. Ctrl-C, SIGTERM and SIGHUP
// wait for the step that puts the new file in place, then end the program
// with 128 + their number after removing its temporary files.
TEST(Interrupted, WriteLeavesTheOldOrTheNewFileAndNothingElse) {
    using S = WriteStep;
    // clang-format off
    const struct {
        const char* what;
        bool inPlace;  // through a hard link, as for a bind mount
        bool block;    // else unblock, which makes the file shorter
        WriteStep step;
        int signal;
        bool endsNew;
        bool torn;
    } cases[] = {
        {"killed before the final check",       false, true,  S::BeforeFinalCheck, SIGKILL, false, false},
        {"killed after the final check",        false, true,  S::AfterFinalCheck,  SIGKILL, false, false},
        {"killed in place, the record saved",   true,  false, S::RecordSaved,      SIGKILL, false, false},
        {"killed in place, half written",       true,  false, S::InPlaceWritten,   SIGKILL, false, true},
        {"killed in place, written but not cut", true, true,  S::InPlaceWritten,   SIGKILL, true,  false},
        {"terminated before the final check",   false, true,  S::BeforeFinalCheck, SIGTERM, false, false},
        {"interrupted after the final check",   false, false, S::AfterFinalCheck,  SIGINT,  true,  false},
        {"hung up in place",                    true,  false, S::InPlaceWritten,   SIGHUP,  true,  false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        // Unblocking rewrites the file from its second line on, and shorter.
        const std::string unblocked = "# mine\n127.0.0.1 localhost\n";
        const std::string blocked = "# mine\n" + test::allEntries() + "127.0.0.1 localhost\n";
        const std::string original = c.block ? unblocked : blocked;
        const std::string changed = c.block ? unblocked + test::allEntries() : unblocked;
        test::writeFile(hosts, original);
        if (c.inPlace) {
            std::filesystem::create_hard_link(hosts, dir.file("other-name"));
        }
        auto listing = test::listing(dir.path());
        const int status = test::waitStatusOfChild([&] {
            InstallInterruptHandling();
            HostsEngine engine(hosts, LineEnd::Lf);
            test::raiseAt(engine, c.step, c.signal);
            c.block ? (void)engine.Block() : (void)engine.Unblock();
        });
        if (c.signal == SIGKILL) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + c.signal) << status;
            EXPECT_EQ(test::listing(dir.path()), listing);  // cleaned up before ending
        }
        const std::string left = test::readFile(hosts);
        // Kept: a file in use, what only resembles ours, a damaged copy. Gone:
        // leftovers of ended runs (the record never completed).
        const std::vector<std::string> leftovers = {
            ".hosts.hushgate-new-InUse1", ".hosts.hushgate-new-Ab12Cd.bak",
            ".other.hushgate-new-Ab12Cd", "hosts.hushgate-torn-20250101-120000",
            ".hosts.hushgate-new-Ab12Cd", ".hosts.hushgate-copy-Ab12Cd",
            ".hosts.hushgate-rec-Ab12Cd"};
        for (const std::string& name : leftovers) {
            test::writeFile(dir.file(name), "127.0.0.1 localhost\n");
        }
        listing.insert(listing.end(), leftovers.begin(), leftovers.begin() + 4);

        HostsEngine reader(hosts, LineEnd::Lf);
        const int inUse = ::open(dir.file(leftovers[0]).c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(inUse, LOCK_EX), 0);
        reader.LoadHostsList();
        ::close(inUse);
        EXPECT_EQ(test::readFile(hosts), c.endsNew ? changed : original);
        auto notices = reader.TakeRecoveryNotices();
        ASSERT_EQ(notices.size(), c.torn ? 1u : 0u);
        if (c.torn) {
            EXPECT_EQ(test::readFile(notices[0].tornCopy), left);
            EXPECT_EQ(notices[0].message(), "An interrupted change of " + hosts +
                                                " was undone; the damaged copy was kept as " +
                                                notices[0].tornCopy + ".");
            listing.push_back(std::filesystem::path(notices[0].tornCopy).filename().string());
        }
        std::sort(listing.begin(), listing.end());
        EXPECT_EQ(test::listing(dir.path()), listing);
        if (c.inPlace) {
            EXPECT_EQ(test::readFile(dir.file("other-name")), test::readFile(hosts));
        }
        reader.LoadHostsList();
        EXPECT_TRUE(reader.TakeRecoveryNotices().empty());
    }
}
}  // namespace
}  // namespace hushgate
