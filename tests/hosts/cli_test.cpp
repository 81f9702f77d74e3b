#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "block_list.h"
#include "test_support.h"

namespace hushgate {
namespace {

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string hosts = dir.file("hosts");

    CliRun cli(const std::string& arguments) {
        const std::string command = std::string("'") + HUSHGATE_CLI + "' " + arguments + " >'" +
                                    dir.file("out") + "' 2>'" + dir.file("err") + "' </dev/null";
        const int status = std::system(command.c_str());
        CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readFile(dir.file("out")),
                test::readFile(dir.file("err"))};
        std::filesystem::remove(dir.file("out"));
        std::filesystem::remove(dir.file("err"));
        return run;
    }
    CliRun onHosts(const std::string& command) { return cli("--hosts '" + hosts + "' " + command); }
};

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(CliTest, StatusBlockUnblockAndList) {
    const std::string original = "127.0.0.1 localhost\n127.0.0.1 m.facebook.com\n";
    test::writeFile(hosts, original);

    CliRun status = onHosts("status");
    EXPECT_EQ(status.exitCode, 1);
    EXPECT_EQ(status.out, "Facebook is not blocked (1 of 68 entries present in " + hosts + ")\n");

    CliRun block = onHosts("block");
    EXPECT_EQ(block.exitCode, 0);
    EXPECT_EQ(lineCount(block.out), 1u);
    EXPECT_EQ(test::readFile(hosts), original + test::allEntries("\n"));

    status = onHosts("status");
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_EQ(status.out, "Facebook is blocked (68 of 68 entries present in " + hosts + ")\n");

    CliRun list = onHosts("list");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(lineCount(list.out), 68u);
    EXPECT_TRUE(list.out.starts_with("127.0.0.1 www.facebook.com "));
    EXPECT_EQ(static_cast<std::size_t>(std::count(list.out.begin(), list.out.end(), 'F')), 68u);

    CliRun unblock = onHosts("unblock");
    EXPECT_EQ(unblock.exitCode, 0);
    EXPECT_EQ(unblock.out, "Facebook is unblocked: 69 entry lines removed from " + hosts + "\n");
    EXPECT_EQ(test::readFile(hosts), "127.0.0.1 localhost\n");
    EXPECT_TRUE(unblock.err.empty());
}

TEST_F(CliTest, ListMarksOnlyTheEntriesPresent) {
    test::writeFile(hosts, "127.0.0.1 zh-tw.facebook.com\n");
    const CliRun list = onHosts("list");
    std::istringstream lines(list.out);
    std::string line;
    std::size_t index = 0;
    while (std::getline(lines, line)) {
        ASSERT_LT(index, 68u);
        EXPECT_TRUE(line.starts_with(BlockEntries()[index])) << line;
        EXPECT_EQ(line.ends_with("Found"), index == 67) << line;
        ++index;
    }
    EXPECT_EQ(index, 68u);
}

TEST_F(CliTest, ErrorsAreOneLineOnStandardErrorWithExitCodeThree) {
    for (const char* command : {"status", "block", "unblock", "list"}) {
        const CliRun run = onHosts(command);
        EXPECT_EQ(run.exitCode, 3) << command;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(lineCount(run.err), 1u) << run.err;
        EXPECT_NE(run.err.find(hosts), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(hosts));
}

// The exit code tells what happened to the file; trouble with the output
// after a change is reported, but does not turn the change into a failure.
TEST_F(CliTest, ExitCodeFollowsTheFileOperation) {
    const std::string unblocked = "127.0.0.1 localhost\n";
    const std::string blocked = unblocked + test::allEntries("\n");
    enum class Out { File, Full, ClosedPipe };
    const struct {
        const char* what;
        std::string before;
        std::string command;  // run by sh; $CLI and $HOSTS are set
        Out out;
        int exitCode;
        std::string after;
        std::string message;  // on standard error, or (with the file's output) on standard output
    } cases[] = {
        {"block twice", blocked, "$CLI --hosts \"$HOSTS\" block", Out::File, 0, blocked, "already blocked"},
        {"block to a full disk", unblocked, "$CLI --hosts \"$HOSTS\" block", Out::Full, 0, blocked,
         "cannot write the output: No space left"},
        {"block to a closed pipe", unblocked, "$CLI --hosts \"$HOSTS\" block", Out::ClosedPipe, 0, blocked,
         "cannot write the output: Broken pipe"},
        {"list to a full disk", blocked, "$CLI --hosts \"$HOSTS\" list", Out::Full, 3, blocked,
         "cannot write the output"},
        {"file-size limit", unblocked, "ulimit -f 1 && exec $CLI --hosts \"$HOSTS\" block", Out::File, 3,
         unblocked, "File too large"},
        {"a line end in the name", "", "$CLI --hosts \"$HOSTS.\n\" status", Out::File, 3, "",
         "No such file"},
    };
    for (const auto& c : cases) {
        test::writeFile(hosts, c.before);
        int out = -1;
        if (c.out == Out::ClosedPipe) {
            int fds[2];
            ASSERT_EQ(::pipe(fds), 0);
            ::close(fds[0]);
            out = fds[1];
        } else {
            out = ::open(c.out == Out::Full ? "/dev/full" : dir.file("out").c_str(),
                         O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        }
        const int err = ::open(dir.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int status = test::waitStatusOfChild([&] {
            ::dup2(out, 1);
            ::dup2(err, 2);
            ::setenv("CLI", HUSHGATE_CLI, 1);
            ::setenv("HOSTS", hosts.c_str(), 1);
            ::execl("/bin/sh", "sh", "-c", c.command.c_str(), static_cast<char*>(nullptr));
        });
        ::close(out);
        ::close(err);
        ASSERT_TRUE(WIFEXITED(status)) << c.what;
        EXPECT_EQ(WEXITSTATUS(status), c.exitCode) << c.what;
        EXPECT_EQ(test::readFile(hosts), c.after) << c.what;
        const std::string errText = test::readFile(dir.file("err"));
        const std::string outText = c.out == Out::File ? test::readFile(dir.file("out")) : "";
        EXPECT_NE((errText + outText).find(c.message), std::string::npos) << c.what << ": " << errText;
        EXPECT_LE(lineCount(errText), 1u) << c.what << ": " << errText;
    }
    EXPECT_EQ(lineCount(test::readFile(dir.file("err"))), 1u);
    EXPECT_NE(test::readFile(dir.file("err")).find(hosts + ".\\n"), std::string::npos);
}

TEST_F(CliTest, BadUsageGivesExitCodeTwo) {
    for (const char* arguments : {"", "frobnicate", "status block", "--hosts", "--bogus status",
                                  "--hosts= status", "--hosts a --hosts b status"}) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_NE(run.err.find("Usage: hushgate-cli"), std::string::npos) << arguments;
    }
    EXPECT_EQ(cli("--help").exitCode, 0);
    const CliRun version = cli("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "hushgate-cli 1.1\n");
}

TEST_F(CliTest, PermissionProblemOnTheSystemFileSaysToRunAsRoot) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "as root the system hosts file is writable; not touched by tests";
    }
    const CliRun run = cli("block");
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("run it as root"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace hushgate
