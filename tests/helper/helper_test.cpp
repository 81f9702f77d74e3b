// Runs a test build of hushgate-helper that works on a file fixed at build
// time (HUSHGATE_HELPER_TEST_HOSTS) in place of the system's hosts file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <regex>

#include "hosts_recovery.h"
#include "test_support.h"

namespace hushgate {
namespace {

// Its exit code tells what happened to the file, whatever became of its
// output; output, errors and the lines of the system log are exact. The log
// is a socket of the test's own at /dev/log in a private mount namespace,
// its lines read without their time and process id: who changed the file
// (the caller's uid only when it is a plain number) and every interrupted
// change the helper undid.
TEST(HelperTest, ChangesOnlyItsOwnFileAndOnlyAsRoot) {
    if (!test::canUseMountNamespaces()) {
        GTEST_SKIP() << "needs root to run the helper as root and as another user, and to put "
                        "a socket of its own at /dev/log (unshare)";
    }
    const std::string hosts = HUSHGATE_HELPER_TEST_HOSTS;
    const std::string original = "127.0.0.1 localhost\n\n::1 localhost\n";
    const std::string tidied = "127.0.0.1 localhost\n::1 localhost\n";
    const std::string blocked = tidied + test::allEntries();
    const std::string usage = "Usage: hushgate-helper block | unblock\n";
    const std::string written = "Facebook is blocked: 68 entries written to " + hosts + "\n";
    const std::string unblocked =
        "Facebook is unblocked: 68 entry lines removed from " + hosts + "\n";
    const auto done = [&](const std::string& verb, const std::string& uid) {
        return std::vector{"<85>hushgate-helper: " + verb + " of " + hosts + " done for uid " +
                           uid};
    };
    using Lines = std::vector<std::string>;
    // clang-format off
    const struct {
        std::vector<std::string> args;
        std::function<void()> inChild;
        std::optional<std::string> before;  // nothing: no hosts file at all
        int exitCode;
        std::optional<std::string> after;
        std::optional<std::string> out, err;  // nothing: not looked at
        const char* uid;                      // PKEXEC_UID; nothing: unset
        std::optional<Lines> logged;  // nothing: not looked at
        bool interrupted = false;  // an unblocking in place killed half way before
    } rows[] = {
        {{}, {}, original, 2, original, "", usage, "0", Lines{}},
        {{"Block"}, {}, original, 2, original, "", usage, "0", Lines{}},
        {{"block", "unblock"}, {}, original, 2, original, "", usage, "0", Lines{}},
        {{"status"}, test::becomeNobody, original, 2, original, "", usage, "0", Lines{}},
        {{"block"}, test::becomeNobody, original, 4, original, "", "hushgate-helper: must be run as root (through pkexec); nothing was changed\n", "0", Lines{}},
        {{"block"}, {}, original, 0, blocked, written, "", "1000", done("block", "1000")},
        {{"block"}, {}, blocked, 0, blocked, "Facebook is already blocked in " + hosts + "\n", "", "10x0", done("block", "unknown")},
        {{"unblock"}, {}, blocked + original, 0, tidied + tidied, unblocked, "", "1234567890", done("unblock", "1234567890")},
        {{"unblock"}, {}, original + std::string(BlockEntries()[0]) + "\n", 0, tidied, "Facebook is unblocked: 1 entry line removed from " + hosts + "\n", "", "12345678901", done("unblock", "unknown")},
        {{"block"}, {}, std::nullopt, 3, std::nullopt, "", "hushgate-helper: cannot read " + hosts + ": No such file or directory\n", nullptr,
         Lines{"<84>hushgate-helper: block failed for uid unknown: cannot read " + hosts + ": No such file or directory"}},
        // Output lost: the change stands, and so does its exit code.
        {{"block"}, test::toClosedPipe, original, 0, blocked, "", "hushgate-helper: cannot write the output\n", "", done("block", "unknown")},
        {{"block"}, [] { ::close(1); }, original, 0, blocked, std::nullopt, "", "0", done("block", "0")},
        {{"block"}, [] { ::close(2); }, original, 0, blocked, written, std::nullopt, "0", done("block", "0")},
        {{"unblock"}, {}, test::allEntries() + tidied, 0, tidied, unblocked, std::nullopt, "0", done("unblock", "0"), true},
    };
    // clang-format on
    test::TempFolder dir;
    const std::string helper = test::copyForAll(HUSHGATE_HELPER, dir);
    sockaddr_un at{};
    at.sun_family = AF_UNIX;
    dir.file("log").copy(at.sun_path, sizeof at.sun_path - 1);
    const int log = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::bind(log, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    const std::string folder = std::filesystem::path(hosts).parent_path().string();
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args) + " row " + std::to_string(&row - rows));
        std::filesystem::remove_all(folder);  // and whatever an earlier run left
        std::filesystem::create_directory(folder);
        if (row.before) {
            test::writeFile(hosts, *row.before);
        }
        Lines logged, expected = row.logged.value_or(Lines{});
        if (row.interrupted) {
            test::killedInPlace(hosts);
            // Its damaged copy takes the next free name.
            for (std::int64_t now = std::time(nullptr), s = now - 1; s < now + 60; ++s) {
                test::writeFile(folder + "/" + detail::TornCopyName("hosts", s, 1), "");
            }
        }
        auto left = test::listing(folder);
        const test::ProgramRun run = test::runProgram(helper, row.args, dir, [&] {
            row.uid ? ::setenv("PKEXEC_UID", row.uid, 1) : ::unsetenv("PKEXEC_UID");
            test::enterPrivateMountNamespace();
            const int null = ::open("/dev/null", O_RDWR);  // hidden by the tmpfs below
            test::mountOrThrow("tmpfs", "/dev", "tmpfs", 0);
            test::writeFile("/dev/null", "");
            test::mountOrThrow(("/proc/self/fd/" + std::to_string(null)).c_str(), "/dev/null",
                               nullptr, MS_BIND);
            test::writeFile("/dev/log", "");
            test::mountOrThrow(at.sun_path, "/dev/log", nullptr, MS_BIND);
            if (row.inChild) {
                row.inChild();
            }
        });
        char line[4096];
        for (ssize_t n; (n = ::recv(log, line, sizeof line, MSG_DONTWAIT)) > 0;) {
            logged.push_back(std::regex_replace(
                std::string(line, static_cast<std::size_t>(n)),
                std::regex(R"(^(<\d+>)\w{3} [ \d]\d \d\d:\d\d:\d\d ([^ \[]+)\[\d+\]:)"), "$1$2:"));
        }
        auto now = test::listing(folder);
        if (row.interrupted) {  // told on standard error and, as a warning, in the log
            Lines added;
            std::set_difference(now.begin(), now.end(), left.begin(), left.end(),
                                std::back_inserter(added));
            const std::string torn = added.empty() ? "" : added[0];
            const std::string told = "An interrupted change of " + hosts +
                                     " was undone; the damaged copy was kept as " + folder + "/" +
                                     torn + ".";
            EXPECT_EQ(run.err, "hushgate-helper: " + told + "\n");
            expected.insert(expected.begin(), "<84>hushgate-helper: " + told);
            std::erase(now, torn);
            // The killed change's record and lock file: both gone after the undo.
            const auto ours = [](const std::string& name) {
                return name.starts_with(".hosts.hushgate-");
            };
            EXPECT_EQ(std::erase_if(left, ours), 2u);
        }
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_EQ(row.out.value_or(run.out), run.out);
        EXPECT_EQ(row.err.value_or(run.err), run.err);
        EXPECT_EQ(row.logged ? expected : logged, logged);
        EXPECT_EQ(
            std::filesystem::exists(hosts) ? std::optional(test::readFile(hosts)) : std::nullopt,
            row.after);
        EXPECT_EQ(now, left) << "left behind beside the hosts file";
    }
    ::close(log);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
}

}  // namespace
}  // namespace hushgate
