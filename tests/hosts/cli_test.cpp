#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "block_list.h"
#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

std::string cliPath() {
#ifdef _WIN32
    // Beside this test program: a cross build names the build machine's path.
    wchar_t self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return test::utf8Of(std::filesystem::path(std::wstring(self, n)).replace_filename(
        test::pathOf(HUSHGATE_CLI).filename()));
#else
    return HUSHGATE_CLI;
#endif
}

class CliTest : public ::testing::Test {
protected:
    test::TempFolder dir;
    // Beyond ASCII and with a space: on Windows such a path reaches the
    // program only through its UTF-16 command line, and its output shows
    // it in UTF-8.
    std::string hosts = dir.file("Ordner ü/hösts");

    void SetUp() override { std::filesystem::create_directory(test::pathOf(dir.file("Ordner ü"))); }

    test::ProgramRun cli(const std::vector<std::string>& arguments) {
        test::ProgramRun run = test::runProgram(cliPath(), arguments, dir);
#ifdef _WIN32
        // Lines end in CR LF, as Windows programs' do; compared here as LF.
        for (std::string* text : {&run.out, &run.err}) {
            std::string lf;
            for (char c : *text) {
                if (c == '\n') {
                    EXPECT_TRUE(lf.ends_with('\r')) << "a line end without CR in " << *text;
                    lf.resize(lf.size() - lf.ends_with('\r'));
                }
                lf += c;
            }
            *text = lf;
        }
#endif
        return run;
    }
    test::ProgramRun onHosts(const std::string& command) { return cli({"--hosts", hosts, command}); }
};

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(CliTest, StatusBlockUnblockAndList) {
    const std::string original = "127.0.0.1 localhost\n127.0.0.1 m.facebook.com\n";
    test::writeFile(hosts, original);

    test::ProgramRun status = onHosts("status");
    EXPECT_EQ(status.exitCode, 1);
    EXPECT_EQ(status.out, "Facebook is not blocked (1 of 68 entries present in " + hosts + ")\n");

    test::ProgramRun block = onHosts("block");
    EXPECT_EQ(block.exitCode, 0);
    EXPECT_EQ(lineCount(block.out), 1u);
    // Lines added end as the system's own do: CR LF on Windows.
    EXPECT_EQ(test::readFile(hosts), original + test::allEntries(TerminatorOf(NativeLineEnd())));

    status = onHosts("status");
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_EQ(status.out, "Facebook is blocked (68 of 68 entries present in " + hosts + ")\n");

    test::ProgramRun list = onHosts("list");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(lineCount(list.out), 68u);
    EXPECT_TRUE(list.out.starts_with("127.0.0.1 www.facebook.com "));
    EXPECT_EQ(static_cast<std::size_t>(std::count(list.out.begin(), list.out.end(), 'F')), 68u);

    test::ProgramRun unblock = onHosts("unblock");
    EXPECT_EQ(unblock.exitCode, 0);
    EXPECT_EQ(unblock.out, "Facebook is unblocked: 69 entry lines removed from " + hosts + "\n");
    EXPECT_EQ(test::readFile(hosts), "127.0.0.1 localhost\n");
    EXPECT_TRUE(unblock.err.empty());
}

TEST_F(CliTest, ListMarksOnlyTheEntriesPresent) {
    test::writeFile(hosts, "127.0.0.1 zh-tw.facebook.com\n");
    const test::ProgramRun list = onHosts("list");
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
        const test::ProgramRun run = onHosts(command);
        EXPECT_EQ(run.exitCode, 3) << command;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(lineCount(run.err), 1u) << run.err;
        EXPECT_NE(run.err.find(hosts), std::string::npos) << run.err;
#ifndef _WIN32  // Windows says it in the user's language
        EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
#endif
    }
    EXPECT_FALSE(std::filesystem::exists(test::pathOf(hosts)));
}

#ifndef _WIN32  // full disks, closed pipes and file-size limits through sh
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
#endif

TEST_F(CliTest, BadUsageGivesExitCodeTwo) {
    const std::vector<std::vector<std::string>> wrong = {
        {}, {"frobnicate"}, {"status", "block"}, {"--hosts"}, {"--bogus", "status"},
        {"--hosts=", "status"}, {"--hosts", "a", "--hosts", "b", "status"}};
    for (const auto& arguments : wrong) {
        const test::ProgramRun run = cli(arguments);
        EXPECT_EQ(run.exitCode, 2) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("Usage: hushgate-cli"), std::string::npos) << testing::PrintToString(arguments);
    }
    EXPECT_EQ(cli({"--help"}).exitCode, 0);
    const test::ProgramRun version = cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "hushgate-cli 1.1\n");
}

#ifndef _WIN32  // Wine's system hosts file is writable: never tried there
TEST_F(CliTest, PermissionProblemOnTheSystemFileSaysToRunAsRoot) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "as root the system hosts file is writable; not touched by tests";
    }
    const test::ProgramRun run = cli({"block"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("run it as root"), std::string::npos) << run.err;
}
#endif

}  // namespace
}  // namespace hushgate
