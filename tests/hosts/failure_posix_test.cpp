// Failures only POSIX systems have: files that are no files, permissions,
// resource limits, attributes and mounts.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs Block and returns its error, or an empty one.
HostsError blockError(const std::string& hosts) {
    HostsEngine engine(hosts, LineEnd::Lf);
    return test::errorOf([&] { engine.Block(); })
        .value_or(
            HostsError(HostsError::Action::Read, HostsError::Kind::Other, hosts, 0, "no error"));
}

bool says(const HostsError& error, const char* words) {
    return std::string(error.what()).find(words) != std::string::npos;
}

TEST(Failures, SomethingOtherThanAFileIsRefusedWithoutWaiting) {
    test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    ASSERT_EQ(::mkfifo(hosts.c_str(), 0644), 0);
    EXPECT_TRUE(says(blockError(hosts), "not an ordinary file"));
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
        const test::Picture before = test::pictureOf(hosts);
        EXPECT_EQ(test::runInChild([&] {
                      const rlimit limit{c.sizeLimit, c.sizeLimit};
                      ::setrlimit(RLIMIT_FSIZE, &limit);
                      if (c.asNobody) {
                          test::becomeNobody();
                      }
                      const HostsError error = blockError(hosts);
                      CHILD_CHECK(says(error, c.reason), error.what());
                      return std::string();
                  }),
                  "")
            << c.what;
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
        EXPECT_EQ(
            test::runInChild([&] {
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
                const test::Picture before = test::pictureOf(hosts);
                const Names files = test::listing(small);
                const HostsError error = blockError(c.path);
                CHILD_CHECK(says(error, c.reason) && error.backupPath().empty(), error.what());
                CHILD_CHECK(test::pictureOf(hosts) == before, "file changed");
                CHILD_CHECK(test::listing(small) == files && test::listing(etc) == Names{"hosts"},
                            "left-over file");
                return std::string();
            }),
            "")
            << c.what;
    }
}

TEST_F(MountedFailures, WritableFileInAFolderThatTakesNoNewFileIsRewrittenInPlace) {
    // A read-only root with a writable hosts file mounted into it. The
    // record of the rewrite goes to the recovery folder; without one the
    // write is refused, since a cut-short rewrite could not be undone.
    const std::string hosts = etc + "/hosts";
    const std::string recovery = dir.file("recovery");
    EXPECT_EQ(
        test::runInChild([&] {
            test::enterPrivateMountNamespace();
            test::mountOrThrow("tmpfs", etc, "tmpfs", 0, "size=1m");
            const std::string original = "# mine\n" + test::allEntries() + "127.0.0.1 localhost\n";
            test::writeFile(hosts, original);
            test::mountOrThrow(hosts, hosts, nullptr, MS_BIND);
            test::mountOrThrow({}, etc, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY);
            HostsEngine refusing(hosts, LineEnd::Lf);
            refusing.setRecoveryFolder("");
            auto error = test::errorOf([&] { refusing.Unblock(); });
            CHILD_CHECK(error && says(*error, "no copy can be kept"),
                        error ? error->what() : "not refused");
            CHILD_CHECK(test::readFile(hosts) == original, "refused write changed the file");

            // Killed half way: the next read finds the record in the recovery
            // folder and keeps the damaged bytes there.
            const int status = test::waitStatusOfChild([&] {
                HostsEngine engine(hosts, LineEnd::Lf);
                engine.setRecoveryFolder(recovery);
                engine.setWriteHook([](WriteStep step) {
                    if (step == WriteStep::InPlaceWritten) {
                        ::raise(SIGKILL);
                    }
                });
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
        }),
        "");
}

}  // namespace
}  // namespace hushgate
