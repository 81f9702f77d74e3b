// Runs a test build of hushgate-helper that works on a file fixed at build
// time (HUSHGATE_HELPER_TEST_HOSTS) in place of the system's hosts file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "test_support.h"

namespace hushgate {
namespace {

struct HelperRun {
    int exitCode = -1;
    std::string err;
};

// Runs the helper, as an ordinary user (nobody) when `dropRoot` is set. It
// runs from a copy in `dir`, which nobody can reach wherever the build is.
HelperRun runHelper(const std::vector<std::string>& args, bool dropRoot, const test::TempFolder& dir) {
    const std::string errPath = dir.file("err");
    const std::string helper = dir.file("hushgate-helper");
    std::filesystem::copy_file(HUSHGATE_HELPER, helper,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = ::open("/dev/null", O_RDWR);
        if (err < 0 || null < 0 || ::dup2(null, 0) < 0 || ::dup2(null, 1) < 0 || ::dup2(err, 2) < 0) {
            ::_exit(100);
        }
        if (dropRoot && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(101);
        }
        std::vector<char*> argv{const_cast<char*>(helper.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(helper.c_str(), argv.data());
        ::_exit(102);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    HelperRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readFile(errPath)};
    std::filesystem::remove(errPath);
    return run;
}

TEST(HelperTest, ChangesOnlyItsOwnFileAndOnlyAsRoot) {
    const std::string hosts = HUSHGATE_HELPER_TEST_HOSTS;
    const std::string original = "127.0.0.1 localhost\n\n::1 localhost\n";
    const std::string tidied = "127.0.0.1 localhost\n::1 localhost\n";
    const std::string blocked = tidied + test::allEntries("\n");
    const bool root = ::geteuid() == 0;

    const struct {
        std::vector<std::string> args;
        bool asRoot;
        std::optional<std::string> before;  // nothing: no hosts file at all
        int exitCode;
        std::optional<std::string> after;
        const char* errorHas;
    } rows[] = {
        {{}, true, original, 2, original, "Usage: hushgate-helper block | unblock"},
        {{"status"}, true, original, 2, original, "Usage"},
        {{"Block"}, true, original, 2, original, "Usage"},
        {{"block", "unblock"}, true, original, 2, original, "Usage"},
        {{"--hosts=/tmp/elsewhere", "block"}, true, original, 2, original, "Usage"},
        {{"block"}, false, original, 4, original, "must be run as root"},
        {{"unblock"}, false, blocked, 4, blocked, "must be run as root"},
        {{"block"}, true, original, 0, blocked, ""},
        {{"unblock"}, true, blocked + original, 0, tidied + tidied, ""},
        {{"block"}, true, std::nullopt, 3, std::nullopt, "cannot read " HUSHGATE_HELPER_TEST_HOSTS ": "},
    };
    test::TempFolder dir;
    for (const auto& row : rows) {
        std::string args;
        for (const std::string& arg : row.args) {
            args += " " + arg;
        }
        SCOPED_TRACE("hushgate-helper" + args + (row.asRoot ? " as root" : " as nobody"));
        if (row.asRoot && !root && row.exitCode != 2) {
            continue;  // only root can see the helper work
        }
        std::filesystem::remove(hosts);
        if (row.before) {
            test::writeFile(hosts, *row.before);
        }
        const HelperRun run = runHelper(row.args, !row.asRoot, dir);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_NE(run.err.find(row.errorHas), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), *row.errorHas ? 1 : 0) << run.err;
        EXPECT_EQ(std::filesystem::exists(hosts), row.after.has_value());
        if (row.after) {
            EXPECT_EQ(test::readFile(hosts), *row.after);
        }
        const std::vector<std::string> left =
            test::listing(std::filesystem::path(hosts).parent_path().string());
        EXPECT_LE(left.size(), 1u) << "left behind beside the hosts file";
    }
    std::filesystem::remove(hosts);
}

}  // namespace
}  // namespace hushgate
