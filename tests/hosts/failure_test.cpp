// Every failure must leave the hosts file byte for byte as it was, with its
// permissions and owner, and no stray file beside it.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "block_list.h"
#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

using Kind = HostsError::Kind;

const std::string kOriginal = "127.0.0.1 localhost\n\n127.0.0.1 m.facebook.com\n# end";

// What the file looked like, to compare after a failure.
struct Picture {
    std::string bytes;
    mode_t mode;
    uid_t uid;
    gid_t gid;
    bool operator==(const Picture&) const = default;
};

Picture pictureOf(const std::string& path) {
    const struct stat st = test::statOf(path);
    return {test::readFile(path), st.st_mode, st.st_uid, st.st_gid};
}

// Runs `operation` and returns the error it must throw; the test fails when
// it does not throw one.
template <typename Operation>
std::optional<HostsError> errorOf(Operation operation) {
    try {
        operation();
    } catch (const HostsError& error) {
        return error;
    }
    return std::nullopt;
}

// For checks inside a child process: the first failed condition's message.
#define CHILD_CHECK(condition, message) \
    if (!(condition)) return std::string(message)

TEST(Failures, MissingFileIsReportedAndNothingIsCreated) {
    test::TempDir dir;
    HostsEngine engine(dir.file("hosts"), LineEnd::Lf);
    for (auto operation : {+[](HostsEngine& e) { e.Block(); }, +[](HostsEngine& e) { e.Unblock(); }}) {
        auto error = errorOf([&] { operation(engine); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), Kind::NotFound);
        EXPECT_EQ(error->path(), dir.file("hosts"));
        EXPECT_NE(std::string(error->what()).find("No such file"), std::string::npos);
    }
    EXPECT_TRUE(dir.listing().empty());
}

TEST(Failures, FolderInsteadOfFileIsReported) {
    test::TempDir dir;
    HostsEngine engine(dir.path().string(), LineEnd::Lf);
    auto error = errorOf([&] { engine.LoadHostsList(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->action(), HostsError::Action::Read);
}

TEST(Failures, SomethingOtherThanAFileIsRefusedWithoutWaiting) {
    test::TempDir dir;
    const std::string hosts = dir.file("hosts");
    ASSERT_EQ(::mkfifo(hosts.c_str(), 0644), 0);
    HostsEngine engine(hosts, LineEnd::Lf);
    for (auto operation : {+[](HostsEngine& e) { e.LoadHostsList(); }, +[](HostsEngine& e) { e.Block(); }}) {
        auto error = errorOf([&] { operation(engine); });
        ASSERT_TRUE(error);
        EXPECT_NE(std::string(error->what()).find("not an ordinary file"), std::string::npos);
    }
    EXPECT_TRUE(S_ISFIFO(test::statOf(hosts).st_mode));
}

TEST(Failures, FailedOperationLeavesTheListsAsTheFileGivesThem) {
    test::TempDir dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, "a\n\n" + test::allEntries("\n"));
    HostsEngine engine(hosts, LineEnd::Lf);
    engine.setBeforeReplaceHook([] { throw std::runtime_error("interrupted"); });
    EXPECT_THROW(engine.Unblock(), std::runtime_error);
    EXPECT_EQ(engine.FoundCount(), 68u);
    EXPECT_EQ(engine.lvHosts().size(), 71u);  // a, the empty line, 68 entries, the last end
    EXPECT_THROW(engine.Block(), std::runtime_error);
    EXPECT_EQ(engine.FoundCount(), 68u);
    EXPECT_EQ(engine.lvHosts().size(), 71u);
    EXPECT_EQ(test::readFile(hosts), "a\n\n" + test::allEntries("\n"));
    EXPECT_EQ(dir.listing(), std::vector<std::string>{"hosts"});
}

TEST(Failures, FileWithoutWritePermissionIsLeftAlone) {
    test::TempDir dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, kOriginal);
    ASSERT_EQ(::chmod(hosts.c_str(), 0444), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        // Root may write anything; play an ordinary user instead.
        ASSERT_EQ(::chown(dir.path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(hosts.c_str(), 65534, 65534), 0);
    }
    const Picture before = pictureOf(hosts);
    const std::string failure = test::runInChild([&] {
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            return std::string("cannot drop root rights");
        }
        HostsEngine engine(hosts, LineEnd::Lf);
        auto error = errorOf([&] { engine.Block(); });
        CHILD_CHECK(error && error->kind() == Kind::PermissionDenied, "no permission error");
        CHILD_CHECK(std::string(error->what()).find("Permission denied") != std::string::npos,
                    error->what());
        return std::string();
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(pictureOf(hosts), before);
    EXPECT_EQ(dir.listing(), std::vector<std::string>{"hosts"});
}

TEST(Failures, FileSizeLimitIsAnErrorThatLeavesTheFileAndNoTemporaryFile) {
    test::TempDir dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, kOriginal);
    const Picture before = pictureOf(hosts);
    const std::string failure = test::runInChild([&] {
        // Past the limit the system sends SIGXFSZ, which would end the process.
        const rlimit limit{kOriginal.size() + 100, kOriginal.size() + 100};
        CHILD_CHECK(::setrlimit(RLIMIT_FSIZE, &limit) == 0, "setrlimit failed");
        HostsEngine engine(hosts, LineEnd::Lf);
        auto error = errorOf([&] { engine.Block(); });
        CHILD_CHECK(error && error->action() == HostsError::Action::Write, "no write error");
        CHILD_CHECK(std::string(error->what()).find("File too large") != std::string::npos, error->what());
        return std::string();
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(pictureOf(hosts), before);
    EXPECT_EQ(dir.listing(), std::vector<std::string>{"hosts"});
}

TEST(Failures, FileTooLargeForMemoryIsSaidInOneLine) {
    test::TempDir dir;
    const std::string hosts = dir.file("hosts\nname");
    {
        std::ofstream sparse(hosts);
    }
    std::filesystem::resize_file(hosts, std::uint64_t{1} << 30);
    const std::string failure = test::runInChild([&] {
        // Room for small allocations only, whatever the process has mapped so far.
        std::ifstream statm("/proc/self/statm");
        std::uint64_t pages = 0;
        statm >> pages;
        const rlim_t room = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (rlim_t{256} << 20);
        const rlimit limit{room, room};
        CHILD_CHECK(pages > 0 && ::setrlimit(RLIMIT_AS, &limit) == 0, "setrlimit failed");
        HostsEngine engine(hosts, LineEnd::Lf);
        auto error = errorOf([&] { engine.LoadHostsList(); });
        CHILD_CHECK(error && error->kind() == Kind::OutOfMemory, "no out-of-memory error");
        CHILD_CHECK(std::string(error->what()) ==
                        "not enough memory to read " + dir.file("hosts\\nname") + " (1.0 GiB)",
                    error->what());
        return std::string();
    });
    EXPECT_EQ(failure, "");
}

// Another program's edit made while we write is never lost: made before our
// final check, the operation starts again; made after it, our new file
// displaces it, and the lines it added are added to our file (block entries
// and empty lines aside: the operation decides those).
TEST(Failures, EditsOfOtherProgramsDuringTheWriteSurvive) {
    const std::string added = "added by another program\n";
    const std::string www = std::string(BlockEntries()[0]) + "\n";
    const auto appendLines = [&](const std::string& hosts) { std::ofstream(hosts, std::ios::app) << added; };
    const auto replaceFile = [&](const std::string& hosts) {  // as sed -i does
        test::writeFile(hosts + ".sed", test::readFile(hosts) + added + www + "\n");
        std::filesystem::rename(hosts + ".sed", hosts);
    };
    const std::string entries = test::allEntries("\n");
    const struct {
        const char* what;
        WriteStep step;
        std::function<void(const std::string&)> edit;
        bool block;
        std::string expected;
        bool hardLink = false;
    } cases[] = {
        {"append before the check", WriteStep::BeforeFinalCheck, appendLines, true, "a\n" + added + entries},
        {"append after the check", WriteStep::AfterFinalCheck, appendLines, true, "a\n" + entries + added},
        {"new file after the check, block", WriteStep::AfterFinalCheck, replaceFile, true, "a\n" + entries + added},
        {"new file after the check, unblock", WriteStep::AfterFinalCheck, replaceFile, false, "a\n" + added},
        {"append before the check, in place", WriteStep::BeforeFinalCheck, appendLines, true,
         "a\n" + added + entries, true},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string hosts = dir.file("hosts");
        test::writeFile(hosts, c.block ? "a\n" : "a\n" + entries);
        if (c.hardLink) {
            std::filesystem::create_hard_link(hosts, dir.file("link"));
        }
        HostsEngine engine(hosts, LineEnd::Lf);
        int calls = 0;
        engine.setWriteHook([&](WriteStep step) {
            if (step == c.step && ++calls == 1) {
                c.edit(hosts);
            }
        });
        c.block ? (void)engine.Block() : (void)engine.Unblock();
        EXPECT_EQ(test::readFile(hosts), c.expected) << c.what;
        EXPECT_EQ(engine.FoundCount(), c.block ? 68u : 0u) << c.what;
        EXPECT_EQ(dir.listing().size(), c.hardLink ? 2u : 1u) << c.what;
    }
}

TEST(Failures, FileThatKeepsChangingIsGivenUpWithoutWriting) {
    test::TempDir dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, "a\n");
    HostsEngine engine(hosts, LineEnd::Lf);
    int calls = 0;
    engine.setBeforeReplaceHook([&] { test::writeFile(hosts, "version " + std::to_string(++calls) + "\n"); });
    auto error = errorOf([&] { engine.Block(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::ChangedByOther);
    EXPECT_EQ(calls, HostsEngine::kMaxAttempts);
    EXPECT_EQ(test::readFile(hosts), "version 3\n");
    EXPECT_EQ(dir.listing(), std::vector<std::string>{"hosts"});
}

TEST(Failures, AppendOnlyFolderIsRefusedWithNothingLeft) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "etc");
    const std::string hosts = dir.file("etc/hosts");
    test::writeFile(hosts, kOriginal);
    const Picture before = pictureOf(hosts);
    if (!test::shell("chattr +a " + test::quoted(dir.file("etc")))) {
        GTEST_SKIP() << "chattr +a not possible here (needs root and a file system with it)";
    }
    HostsEngine engine(hosts, LineEnd::Lf);
    auto error = errorOf([&] { engine.Block(); });
    test::shell("chattr -a " + test::quoted(dir.file("etc")));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::PermissionDenied);
    EXPECT_NE(std::string(error->what()).find("append-only"), std::string::npos) << error->what();
    EXPECT_EQ(pictureOf(hosts), before);
    EXPECT_EQ(test::TempDir::listingOf(dir.path() / "etc"), std::vector<std::string>{"hosts"});
}

// The tests below need their own mounts, which only root may make.
class MountedFailures : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::canUseMountNamespaces()) {
            GTEST_SKIP() << "needs root to make a private mount namespace (unshare); skipped";
        }
    }
    test::TempDir dir;
};

TEST_F(MountedFailures, ReadOnlyFileSystemIsNamedAndTheFileKept) {
    const std::string mountPoint = dir.file("ro");
    std::filesystem::create_directory(mountPoint);
    std::filesystem::create_symlink(mountPoint + "/hosts", dir.file("hosts-link"));
    const std::string failure = test::runInChild([&] {
        CHILD_CHECK(test::enterPrivateMountNamespace(), "unshare failed");
        CHILD_CHECK(::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=1m") == 0, "mount failed");
        const std::string hosts = mountPoint + "/hosts";
        test::writeFile(hosts, kOriginal);
        CHILD_CHECK(::mount(nullptr, mountPoint.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0,
                    "remount failed");
        const Picture before = pictureOf(hosts);
        // Directly and through a link from a writable folder.
        for (const std::string& path : {hosts, dir.file("hosts-link")}) {
            HostsEngine engine(path, LineEnd::Lf);
            auto error = errorOf([&] { engine.Block(); });
            CHILD_CHECK(error && error->kind() == Kind::ReadOnlyFileSystem, "no read-only error");
            CHILD_CHECK(std::string(error->what()).find("Read-only file system") != std::string::npos,
                        error->what());
            CHILD_CHECK(pictureOf(hosts) == before, "file changed");
        }
        return std::string();
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(dir.listing(), (std::vector<std::string>{"hosts-link", "ro"}));
}

TEST_F(MountedFailures, BindMountedFileIsRewrittenInPlace) {
    // As in a container, where /etc/hosts is a file mounted from outside.
    const std::string source = dir.file("source");
    std::filesystem::create_directory(dir.path() / "etc");
    const std::string hosts = dir.file("etc/hosts");
    test::writeFile(source, kOriginal);
    test::writeFile(hosts, "");
    ASSERT_EQ(::chmod(source.c_str(), 0604), 0);
    const std::string failure = test::runInChild([&] {
        CHILD_CHECK(test::enterPrivateMountNamespace(), "unshare failed");
        CHILD_CHECK(::mount(source.c_str(), hosts.c_str(), nullptr, MS_BIND, nullptr) == 0,
                    "bind mount failed");
        HostsEngine engine(hosts, LineEnd::Lf);
        engine.Block();
        CHILD_CHECK(engine.FoundCount() == 68, "not blocked");
        CHILD_CHECK(test::readFile(hosts) == test::readFile(source), "mount shows other bytes");
        return std::string();
    });
    ASSERT_EQ(failure, "");
    EXPECT_EQ(test::readFile(source),
              "127.0.0.1 localhost\n127.0.0.1 m.facebook.com\n# end\n" + test::allEntries("\n"));
    EXPECT_EQ(test::statOf(source).st_mode & 07777, 0604u);
    EXPECT_EQ(dir.listing(), (std::vector<std::string>{"etc", "source"}));
    EXPECT_EQ(test::TempDir::listingOf(dir.path() / "etc"), std::vector<std::string>{"hosts"});
}

TEST_F(MountedFailures, WritableFileInAFolderThatTakesNoNewFileIsRewrittenInPlace) {
    // A read-only root with a writable hosts file mounted into it. The
    // record of the rewrite goes to the recovery folder; without one the
    // write is refused, since a cut-short rewrite could not be undone.
    const std::string etc = dir.file("etc");
    const std::string hosts = etc + "/hosts";
    const std::string recovery = dir.file("recovery");
    std::filesystem::create_directory(etc);
    const std::string failure = test::runInChild([&] {
        CHILD_CHECK(test::enterPrivateMountNamespace(), "unshare failed");
        CHILD_CHECK(::mount("tmpfs", etc.c_str(), "tmpfs", 0, "size=1m") == 0, "mount failed");
        const std::string original = "# mine\n" + test::allEntries("\n") + "127.0.0.1 localhost\n";
        test::writeFile(hosts, original);
        CHILD_CHECK(::mount(hosts.c_str(), hosts.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                        ::mount(nullptr, etc.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0,
                    "mounts failed");
        HostsEngine refusing(hosts, LineEnd::Lf);
        refusing.setRecoveryFolder("");
        auto error = errorOf([&] { refusing.Unblock(); });
        CHILD_CHECK(error && std::string(error->what()).find("no copy can be kept") != std::string::npos,
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
        CHILD_CHECK(notices.size() == 1 && notices[0].tornCopy.starts_with(recovery + "/hosts.hushgate-torn-"),
                    "no notice of the damaged copy in the recovery folder");
        std::filesystem::remove(notices[0].tornCopy);
        CHILD_CHECK(engine.Unblock() == 68 && test::readFile(hosts) == "# mine\n127.0.0.1 localhost\n",
                    "not unblocked");
        CHILD_CHECK(test::TempDir::listingOf(recovery).empty(), "left-over record");
        CHILD_CHECK(test::TempDir::listingOf(etc) == std::vector<std::string>{"hosts"}, "left-over file");
        return std::string();
    });
    EXPECT_EQ(failure, "");
}

TEST_F(MountedFailures, FullDiskLeavesTheFileAndNoTemporaryFile) {
    const std::string mountPoint = dir.file("small");
    std::filesystem::create_directory(mountPoint);
    const std::string failure = test::runInChild([&] {
        CHILD_CHECK(test::enterPrivateMountNamespace(), "unshare failed");
        CHILD_CHECK(::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") == 0, "mount failed");
        const std::string hosts = mountPoint + "/hosts";
        test::writeFile(hosts, std::string(40000, 'x') + "\n");
        const Picture before = pictureOf(hosts);
        HostsEngine engine(hosts, LineEnd::Lf);
        auto error = errorOf([&] { engine.Block(); });
        CHILD_CHECK(error && error->kind() == Kind::DiskFull, "no disk-full error");
        CHILD_CHECK(std::string(error->what()).find("No space left") != std::string::npos, error->what());
        CHILD_CHECK(pictureOf(hosts) == before, "file changed");
        CHILD_CHECK(test::TempDir::listingOf(mountPoint) == std::vector<std::string>{"hosts"},
                    "left-over file");
        return std::string();
    });
    EXPECT_EQ(failure, "");
}

TEST_F(MountedFailures, FullDiskUnderABindMountLeavesTheFileAndNoCopies) {
    // The mount point's folder has room, the file's own file system has not:
    // the new contents fit beside the mount point but not into the file.
    const std::string small = dir.file("small");
    std::filesystem::create_directory(small);
    std::filesystem::create_directory(dir.path() / "etc");
    const std::string hosts = dir.file("etc/hosts");
    test::writeFile(hosts, "");
    const std::string failure = test::runInChild([&] {
        CHILD_CHECK(test::enterPrivateMountNamespace(), "unshare failed");
        CHILD_CHECK(::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") == 0, "mount failed");
        const std::string source = small + "/hosts";
        test::writeFile(source, std::string(4000, 'x') + "\n");
        // Fill the rest, so the larger new contents cannot get another block.
        test::writeFile(small + "/filler", std::string(15 * 4096, 'f'));
        CHILD_CHECK(::mount(source.c_str(), hosts.c_str(), nullptr, MS_BIND, nullptr) == 0,
                    "bind mount failed");
        const Picture before = pictureOf(source);
        HostsEngine engine(hosts, LineEnd::Lf);
        auto error = errorOf([&] { engine.Block(); });
        CHILD_CHECK(error && error->kind() == Kind::DiskFull, "no disk-full error");
        CHILD_CHECK(error->backupPath().empty(), "copy of the original left behind");
        CHILD_CHECK(pictureOf(source) == before, "file changed");
        CHILD_CHECK(test::TempDir::listingOf(dir.path() / "etc") == std::vector<std::string>{"hosts"},
                    "left-over file beside the mount point");
        return std::string();
    });
    EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace hushgate
