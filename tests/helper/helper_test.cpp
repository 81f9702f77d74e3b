// Runs a test build of hushgate-helper that works on a file fixed at build
// time (HUSHGATE_HELPER_TEST_HOSTS) in place of the system's hosts file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "test_support.h"

namespace hushgate {
namespace {

TEST(HelperTest, ChangesOnlyItsOwnFileAndOnlyAsRoot) {
    const std::string hosts = HUSHGATE_HELPER_TEST_HOSTS;
    const std::string original = "127.0.0.1 localhost\n\n::1 localhost\n";
    const std::string tidied = "127.0.0.1 localhost\n::1 localhost\n";
    const std::string blocked = tidied + test::allEntries();
    const struct {
        std::vector<std::string> args;
        bool asRoot;
        std::optional<std::string> before;  // nothing: no hosts file at all
        int exitCode;
        std::optional<std::string> after;
        const char* errorHas;
    } rows[] = {
        // clang-format off
        {{}, true, original, 2, original, "Usage: hushgate-helper block | unblock"},
        {{"status"}, true, original, 2, original, "Usage"},
        {{"Block"}, true, original, 2, original, "Usage"},
        {{"block", "unblock"}, true, original, 2, original, "Usage"},
        {{"--hosts=/tmp/elsewhere", "block"}, true, original, 2, original, "Usage"},
        {{"block"}, false, original, 4, original, "must be run as root"},
        {{"unblock"}, false, blocked, 4, blocked, "must be run as root"},
        {{"block"}, true, original, 0, blocked, ""},
        {{"block"}, true, blocked, 0, blocked, ""},
        {{"unblock"}, true, blocked + original, 0, tidied + tidied, ""},
        {{"block"}, true, std::nullopt, 3, std::nullopt, "cannot read " HUSHGATE_HELPER_TEST_HOSTS ": "},
    };
    // clang-format on
    // Nothing left by an earlier run.
    const std::filesystem::path folder = std::filesystem::path(hosts).parent_path();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    test::TempFolder dir;
    const std::string helper = test::copyForAll(HUSHGATE_HELPER, dir);
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args) + (row.asRoot ? " as root" : " as nobody"));
        if (row.asRoot && ::geteuid() != 0 && row.exitCode != 2) {
            continue;  // only root can see the helper work
        }
        std::filesystem::remove(hosts);
        if (row.before) {
            test::writeFile(hosts, *row.before);
        }
        const test::ProgramRun run = test::runProgram(helper, row.args, dir, [&] {
            if (!row.asRoot) {
                test::becomeNobody();
            }
        });
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_NE(run.err.find(row.errorHas), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), *row.errorHas ? 1 : 0)
            << run.err;
        EXPECT_EQ(
            std::filesystem::exists(hosts) ? std::optional(test::readFile(hosts)) : std::nullopt,
            row.after);
        EXPECT_LE(test::listing(folder.string()).size(), 1u) << "left behind beside the hosts file";
    }
    std::filesystem::remove(hosts);
}

}  // namespace
}  // namespace hushgate
