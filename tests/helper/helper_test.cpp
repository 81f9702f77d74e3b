// Runs a test build of hushgate-helper that works on a file fixed at build
// time (HUSHGATE_HELPER_TEST_HOSTS) in place of the system's hosts file.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <regex>

#include "hosts_recovery.h"
#include "test_support.h"

namespace hushgate {
namespace {

// Its exit code tells what happened to the file, whatever became of its
// output; output and errors are exact.
TEST(HelperTest, ChangesOnlyItsOwnFileAndOnlyAsRoot) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the helper as root and as another user";
    }
    const std::string hosts = HUSHGATE_HELPER_TEST_HOSTS;
    const std::string original = "127.0.0.1 localhost\n\n::1 localhost\n";
    const std::string tidied = "127.0.0.1 localhost\n::1 localhost\n";
    const std::string blocked = tidied + test::allEntries();
    const std::string usage = "Usage: hushgate-helper block | unblock\n";
    const std::string written = "Facebook is blocked: 68 entries written to " + hosts + "\n";
    // clang-format off
    const struct {
        std::vector<std::string> args;
        std::function<void()> inChild;
        std::optional<std::string> before;  // nothing: no hosts file at all
        int exitCode;
        std::optional<std::string> after;
        std::optional<std::string> out, err;  // nothing: not looked at
    } rows[] = {
        {{}, {}, original, 2, original, "", usage},
        {{"Block"}, {}, original, 2, original, "", usage},
        {{"block", "unblock"}, {}, original, 2, original, "", usage},
        {{"status"}, test::becomeNobody, original, 2, original, "", usage},
        {{"block"}, test::becomeNobody, original, 4, original, "", "hushgate-helper: must be run as root (through pkexec); nothing was changed\n"},
        {{"block"}, {}, original, 0, blocked, written, ""},
        {{"block"}, {}, blocked, 0, blocked, "Facebook is already blocked in " + hosts + "\n", ""},
        {{"unblock"}, {}, blocked + original, 0, tidied + tidied, "Facebook is unblocked: 68 entry lines removed from " + hosts + "\n", ""},
        {{"unblock"}, {}, original + std::string(BlockEntries()[0]) + "\n", 0, tidied, "Facebook is unblocked: 1 entry line removed from " + hosts + "\n", ""},
        {{"block"}, {}, std::nullopt, 3, std::nullopt, "", "hushgate-helper: cannot read " + hosts + ": No such file or directory\n"},
        // Output lost: the change stands, and so does its exit code.
        {{"block"}, test::toClosedPipe, original, 0, blocked, "", "hushgate-helper: cannot write the output\n"},
        {{"block"}, [] { ::close(1); }, original, 0, blocked, std::nullopt, std::nullopt},
        {{"block"}, [] { ::close(2); }, original, 0, blocked, written, std::nullopt},
    };
    // clang-format on
    // Nothing left by an earlier run.
    const std::filesystem::path folder = std::filesystem::path(hosts).parent_path();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    test::TempFolder dir;
    const std::string helper = test::copyForAll(HUSHGATE_HELPER, dir);
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args) + " row " + std::to_string(&row - rows));
        std::filesystem::remove(hosts);
        if (row.before) {
            test::writeFile(hosts, *row.before);
        }
        const test::ProgramRun run = test::runProgram(helper, row.args, dir, row.inChild);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_EQ(row.out.value_or(run.out), run.out);
        EXPECT_EQ(row.err.value_or(run.err), run.err);
        EXPECT_EQ(
            std::filesystem::exists(hosts) ? std::optional(test::readFile(hosts)) : std::nullopt,
            row.after);
        EXPECT_LE(test::listing(folder.string()).size(), 1u) << "left behind beside the hosts file";
    }
    std::filesystem::remove(hosts);
}

// The system log keeps who changed the file and every interrupted change the
// helper undid. A socket of the test's own takes the place of /dev/log in a
// private mount namespace; each line is read without its time and process id.
TEST(HelperTest, LogsEachChangeItsCallerAndEachUndoing) {
    if (!test::canUseMountNamespaces()) {
        GTEST_SKIP() << "needs root to put a socket of its own at /dev/log (unshare)";
    }
    const std::string hosts = HUSHGATE_HELPER_TEST_HOSTS;
    const std::string blocked = test::allEntries() + "127.0.0.1 localhost\n";
    test::TempFolder dir;
    const std::string helper = test::copyForAll(HUSHGATE_HELPER, dir);
    sockaddr_un at{};
    at.sun_family = AF_UNIX;
    dir.file("log").copy(at.sun_path, sizeof at.sun_path - 1);
    const int log = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::bind(log, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    const struct {
        std::string verb;
        const char* uid;   // nothing: PKEXEC_UID unset
        bool interrupted;  // an unblocking in place killed half way before it
        std::string logged;
    } rows[] = {
        {"block", "1000", false, "1000"},
        {"unblock", "1234567890", false, "1234567890"},
        {"unblock", "12345678901", false, "unknown"},
        {"block", "10x0", false, "unknown"},
        {"block", nullptr, false, "unknown"},
        {"unblock", "0", true, "0"},
    };
    const std::filesystem::path folder = std::filesystem::path(hosts).parent_path();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(&row - rows));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        test::writeFile(hosts, blocked);
        if (row.interrupted) {
            std::filesystem::create_hard_link(hosts, hosts + "-link");
            test::waitStatusOfChild([&] {
                HostsEngine engine(hosts, LineEnd::Lf);
                test::raiseAt(engine, WriteStep::InPlaceWritten, SIGKILL);
                engine.Unblock();
            });
            // Its damaged copy takes the next free name.
            for (std::int64_t now = std::time(nullptr), s = now - 1; s < now + 60; ++s) {
                test::writeFile(folder.string() + "/" + detail::TornCopyName("hosts", s, 1), "");
            }
        }
        const test::ProgramRun run = test::runProgram(helper, {row.verb}, dir, [&] {
            row.uid ? ::setenv("PKEXEC_UID", row.uid, 1) : ::unsetenv("PKEXEC_UID");
            test::enterPrivateMountNamespace();
            test::mountOrThrow("tmpfs", "/dev", "tmpfs", 0);
            test::writeFile("/dev/log", "");
            test::mountOrThrow(at.sun_path, "/dev/log", nullptr, MS_BIND);
        });
        EXPECT_EQ(run.exitCode, 0);
        std::vector<std::string> logged, expected;
        char line[4096];
        for (ssize_t n; (n = ::recv(log, line, sizeof line, MSG_DONTWAIT)) > 0;) {
            logged.push_back(std::regex_replace(
                std::string(line, static_cast<std::size_t>(n)),
                std::regex(R"(^(<\d+>)\w{3} [ \d]\d \d\d:\d\d:\d\d ([^ \[]+)\[\d+\]:)"), "$1$2:"));
        }
        if (row.interrupted) {  // as on standard error, at the warning level
            const std::string told = "hushgate-helper: An interrupted change of " + hosts;
            EXPECT_EQ(run.err.rfind(told, 0), 0u) << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
            expected.push_back("<84>" + run.err.substr(0, run.err.size() - 1));
        } else {
            EXPECT_EQ(run.err, "");
        }
        expected.push_back("<85>hushgate-helper: " + row.verb + " of " + hosts + " done for uid " +
                           row.logged);
        EXPECT_EQ(logged, expected);
    }
    ::close(log);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
}

}  // namespace
}  // namespace hushgate
