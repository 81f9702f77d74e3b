#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

// The exit code tells the state (status), what happened to the file, or a
// wrong use (2); an output lost after a change is reported, but does not undo
// its success. Output and errors are exact, a failure told in one line.
TEST(CliTest, ExitCodeAndOutputFollowTheFileOperation) {
    const test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    const std::string unblocked = "127.0.0.1 localhost\n";
    const std::string m = "127.0.0.1 m.facebook.com",
                      connect = "127.0.0.1 static.ak.connect.facebook.com";
    const std::string partly = unblocked + m + "\n";
    const std::string blocked = unblocked + test::allEntries();
    // Every entry in a line of its own, "Found" in the 46th column after those present.
    std::string listed = test::allEntries();
    listed.replace(listed.find(m + "\n"), m.size(), m + std::string(21, ' ') + "Found");
    listed.replace(listed.find(connect), connect.size(), connect + std::string(5, ' ') + "Found");
    const auto toFullDisk = [] { ::dup2(::open("/dev/full", O_WRONLY), 1); };
    const std::string in = " entries present in " + hosts + ")";
    const auto on = [&](const char* command) {
        return std::vector<std::string>{"--hosts", hosts, command};
    };
    const auto wrongUse = [](const std::string& problem) {
        return "hushgate-cli: " + problem +
               "\nUsage: hushgate-cli [--hosts PATH] status | block | unblock | list\n"
               "Try 'hushgate-cli --help' for more.\n";
    };
    const std::string lost = "hushgate-cli: cannot write the output: ";
    const auto inDir = [&] { (void)!::chdir(dir.path().c_str()); };
    // clang-format off
    const struct {
        std::string before;
        std::vector<std::string> arguments;
        std::function<void()> output;
        int exitCode;
        std::string after;
        std::string out;  // for --help its start
        std::string err;
    } cases[] = {
        {partly, on("status"), {}, 1, partly, "Facebook is not blocked (1 of 68" + in + "\n", ""},
        {partly, on("block"), {}, 0, partly + test::allEntries(), "Facebook is blocked: 68 entries written to " + hosts + "\n", ""},
        {blocked, on("status"), {}, 0, blocked, "Facebook is blocked (68 of 68" + in + "\n", ""},
        {blocked, on("block"), {}, 0, blocked, "Facebook is already blocked (68 of 68" + in + "; nothing written\n", ""},
        {partly + test::allEntries(), on("unblock"), {}, 0, unblocked, "Facebook is unblocked: 69 entry lines removed from " + hosts + "\n", ""},
        {partly, on("unblock"), {}, 0, unblocked, "Facebook is unblocked: 1 entry line removed from " + hosts + "\n", ""},
        {unblocked, on("unblock"), {}, 0, unblocked, "Facebook is unblocked: 0 entry lines removed from " + hosts + "\n", ""},
        {partly + connect, on("list"), {}, 0, partly + connect, listed, ""},
        {unblocked, on("block"), toFullDisk, 0, blocked, "", lost + "No space left on device\n"},
        // A bare name: the file in the current folder.
        {unblocked, {"--hosts", "hosts", "block"}, inDir, 0, blocked, "Facebook is blocked: 68 entries written to hosts\n", ""},
        {"", {"--hosts", dir.path(), "status"}, {}, 3, "", "", "hushgate-cli: cannot read " + dir.path() + ": Is a directory\n"},
        {unblocked, on("block"), test::toClosedPipe, 0, blocked, "", lost + "Broken pipe\n"},
        {blocked, on("list"), toFullDisk, 3, blocked, "", lost + "No space left on device\n"},
        // Control characters escaped.
        {"", {"--hosts", hosts + ".\n", "--", "list"}, {}, 3, "", "", "hushgate-cli: cannot read " + hosts + ".\\n: No such file or directory\n"},
        {"", {"--help"}, {}, 0, "", "Usage: hushgate-cli [--hosts PATH] status | block | unblock | list\n       hushgate-cli --help | --version\n", ""},
        {"", {"--help"}, toFullDisk, 3, "", "", ""},
        {"", {"--version"}, {}, 0, "", "hushgate-cli " HUSHGATE_VERSION "\n", ""},
        {"", {}, {}, 2, "", "", wrongUse("no command given")},
        {"", {"--hosts", hosts, "status", "block"}, {}, 2, "", "", wrongUse("give one command only")},
        {"", {"--hosts"}, {}, 2, "", "", wrongUse("--hosts needs a path")},
        {"", {"--bogus\t", "status"}, {}, 2, "", "", wrongUse("unknown argument '--bogus\\t'")},
        {"", {"--hosts=", "status"}, {}, 2, "", "", wrongUse("--hosts needs a path")},
        {"", {"--hosts", "a", "--hosts", hosts, "status"}, {}, 2, "", "", wrongUse("give --hosts once")},
        {"", {"--", "--help"}, {}, 2, "", "", wrongUse("unknown argument '--help'")},
    };
    // clang-format on
    for (const auto& c : cases) {
        test::writeFile(hosts, c.before);
        const test::ProgramRun run = test::runProgram(HUSHGATE_CLI, c.arguments, dir, c.output);
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(test::readFile(hosts), c.after);
        const bool help = c.arguments == std::vector<std::string>{"--help"};
        EXPECT_EQ(help ? run.out.substr(0, c.out.size()) : run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
}

// On a scratch file mounted over the system's hosts file, in a mount
// namespace of its own: only for the system's file, and only to a process
// that is not root already, does the CLI say to run it as root; a file
// marked read-only is named so, with the command that clears the mark. A
// command that finds nothing to change is refused nothing.
TEST(CliTest, RefusalOfTheSystemFileSaysWhatHelps) {
    if (!test::canUseMountNamespaces()) {
        GTEST_SKIP() << "needs root to mount a scratch file over " << SystemHostsPath();
    }
    const test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    const std::string cli = test::copyForAll(HUSHGATE_CLI, dir);
    const std::string denied = ": Permission denied";
    const std::string marked = ": " + MarkedReadOnlyReason(SystemHostsPath()) + "\n";
    const struct {
        const char* what;
        const char* setup;  // on $F, the scratch file
        bool given;         // named with --hosts rather than mounted over the system's
        void (*as)();
        std::string says;
    } cases[] = {
        {"an ordinary user", "true", false, test::becomeNobody, denied + " (run it as root)\n"},
        {"an ordinary user, the file named", "true", true, test::becomeNobody, denied + "\n"},
        {"root without its rights over permissions", "chown 1234 \"$F\"", false,
         [] {  // in the program it starts too: none outside the bounding set
             for (int capability = 0; capability <= CAP_LAST_CAP; ++capability) {
                 ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
             }
         },
         denied + "\n"},
        {"an immutable file", "chattr +i \"$F\"", false, [] {}, marked},
    };
    std::string unrunnable;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::writeFile(hosts, "127.0.0.1 localhost\n");
        if (!test::shell(c.setup, hosts)) {
            unrunnable += std::string(" ") + c.what + ";";
            continue;
        }
        // Unblock finds nothing to change, so there is nothing to refuse.
        for (const std::string verb : {"block", "unblock"}) {
            const auto arguments = c.given ? std::vector<std::string>{"--hosts", hosts, verb}
                                           : std::vector<std::string>{verb};
            const test::ProgramRun run = test::runProgram(cli, arguments, dir, [&] {
                test::enterPrivateMountNamespace();
                test::mountOrThrow(hosts, SystemHostsPath(), nullptr, MS_BIND);
                c.as();
            });
            const bool refused = verb == "block";
            EXPECT_EQ(run.exitCode, refused ? 3 : 0);
            EXPECT_EQ(run.err, refused ? "hushgate-cli: cannot write " +
                                             (c.given ? hosts : SystemHostsPath()) + c.says
                                       : "");
        }
        test::shell("chattr -ia \"$F\"", hosts);
        EXPECT_EQ(test::readFile(hosts), "127.0.0.1 localhost\n");
    }
    if (!unrunnable.empty()) {
        GTEST_SKIP() << "the file system of the scratch folder cannot mark a file; not run:"
                     << unrunnable;
    }
}

}  // namespace
}  // namespace hushgate
