#include <gtest/gtest.h>
#include <sys/wait.h>

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
