#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

// The exit code tells the state (status), what happened to the file, or a
// wrong use (2); an output lost after a change is reported, but does not undo
// its success. A failure is told in one line.
TEST(CliTest, ExitCodeAndMessageFollowTheFileOperation) {
    const test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    const std::string unblocked = "127.0.0.1 localhost\n";
    const std::string partly = unblocked + "127.0.0.1 m.facebook.com\n";
    const std::string blocked = unblocked + test::allEntries();
    const auto toFullDisk = [] { ::dup2(::open("/dev/full", O_WRONLY), 1); };
    const auto toClosedPipe = [] {
        int fds[2];
        if (::pipe(fds) == 0 && ::close(fds[0]) == 0) {
            ::dup2(fds[1], 1);
        }
    };
    const auto sizeLimit = [] {
        const rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
    const std::string in = " entries present in " + hosts + ")\n";
    const auto on = [&](const char* command) {
        return std::vector<std::string>{"--hosts", hosts, command};
    };
    // clang-format off
    const struct {
        std::string before;
        std::vector<std::string> arguments;
        std::function<void()> output;
        int exitCode;
        std::string after;
        std::string message;  // on standard output, or standard error
    } cases[] = {
        {partly, on("status"), {}, 1, partly, "Facebook is not blocked (1 of 68" + in},
        {partly, on("block"), {}, 0, partly + test::allEntries(), "Facebook is blocked: 68 entries written to " + hosts + "\n"},
        {blocked, on("status"), {}, 0, blocked, "Facebook is blocked (68 of 68" + in},
        {blocked, on("block"), {}, 0, blocked, "Facebook is already blocked (68 of 68 entries"},
        {partly + test::allEntries(), on("unblock"), {}, 0, unblocked, "Facebook is unblocked: 69 entry lines removed from " + hosts + "\n"},
        {unblocked, on("block"), toFullDisk, 0, blocked, "cannot write the output: No space left"},
        {unblocked, on("block"), toClosedPipe, 0, blocked, "cannot write the output: Broken pipe"},
        {blocked, on("list"), toFullDisk, 3, blocked, "cannot write the output"},
        {unblocked, on("block"), sizeLimit, 3, unblocked, "File too large"},
        // One line, its control characters escaped.
        {"", {"--hosts", hosts + ".\n", "--", "list"}, {}, 3, "", hosts + ".\\n: No such file or directory"},
        {"", {"--help"}, {}, 0, "", "Usage: hushgate-cli"},
        {"", {"--version"}, {}, 0, "", "hushgate-cli " HUSHGATE_VERSION "\n"},
        {"", {}, {}, 2, "", "Usage: hushgate-cli"},
        {"", on("frobnicate"), {}, 2, "", "Usage: hushgate-cli"},
        {"", {"--hosts", hosts, "status", "block"}, {}, 2, "", "Usage: hushgate-cli"},
        {"", {"--hosts"}, {}, 2, "", "Usage: hushgate-cli"},
        {"", {"--bogus", "status"}, {}, 2, "", "Usage: hushgate-cli"},
        {"", {"--hosts=", "status"}, {}, 2, "", "Usage: hushgate-cli"},
        {"", {"--hosts", "a", "--hosts", hosts, "status"}, {}, 2, "", "Usage: hushgate-cli"},
    };
    // clang-format on
    for (const auto& c : cases) {
        test::writeFile(hosts, c.before);
        const test::ProgramRun run = test::runProgram(HUSHGATE_CLI, c.arguments, dir, c.output);
        SCOPED_TRACE(testing::PrintToString(c.arguments) + " " + c.message);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(test::readFile(hosts), c.after);
        EXPECT_NE((run.out + run.err).find(c.message), std::string::npos) << run.out << run.err;
        EXPECT_LE(std::count(run.err.begin(), run.err.end(), '\n'), c.exitCode == 2 ? 3 : 1)
            << run.err;
    }
}

// On a scratch file mounted over the system's hosts file, in a mount
// namespace of its own, as an ordinary user.
TEST(CliTest, PermissionProblemOnTheSystemFileSaysToRunAsRoot) {
    if (!test::canUseMountNamespaces()) {
        GTEST_SKIP() << "needs root to mount a scratch file over " << SystemHostsPath();
    }
    const test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, "127.0.0.1 localhost\n");
    const test::ProgramRun run =
        test::runProgram(test::copyForAll(HUSHGATE_CLI, dir), {"block"}, dir, [&] {
            test::enterPrivateMountNamespace();
            test::mountOrThrow(hosts, SystemHostsPath(), nullptr, MS_BIND);
            test::becomeNobody();
        });
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find(SystemHostsPath() + ": Permission denied (run it as root)"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(test::readFile(hosts), "127.0.0.1 localhost\n");
}

}  // namespace
}  // namespace hushgate
