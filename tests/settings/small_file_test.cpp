// config.ini and the language files are read only when they are regular
// files within the limit; anything else is said, never waited on.

#include "small_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "read_ini.h"
#include "test_files.h"

namespace hushgate {
namespace {

TEST(ReadSmallFile, ReadsOnlyRegularFilesWithinTheLimit) {
    using O = SmallFile::Outcome;
    const test::TempFolder dir;
    test::writeFile(dir.file("eight"), "[S]\nK=1\n");
    test::writeFile(dir.file("nine"), "[S]\nK=1\n ");
    test::writeFile(dir.file("empty"), "");
    std::filesystem::create_directories(test::pathOf(dir.file("folder")));
    const std::string other = "not a regular file";
    // The path, what comes of it, why not ("?": the system's words), what
    // ReadINI (limit 1 MiB) finds.
    std::vector<std::tuple<std::string, O, std::string, const char*>> rows = {
        {"eight", O::Read, "", "1"},
        {"empty", O::Read, "", ""},
        {"nine", O::TooLarge, "larger than 8 bytes", "1"},
        {"folder", O::NotRegular, other, ""},
        {"missing", O::Missing, "?", ""},
        {"missing/below", O::Missing, "?", ""}};
#ifndef _WIN32
    // Devices (one endless), a link to one, and a FIFO without a writer.
    std::filesystem::create_symlink("/dev/zero", test::pathOf(dir.file("zero")));
    for (const char* name : {"zero", "/dev/null", "fifo"}) {
        rows.emplace_back(name, O::NotRegular, other, "");
    }
#endif
    for (const auto& [name, outcome, reason, found] : rows) {
        const std::string path = name.starts_with('/') ? name : dir.file(name);
        const auto check = [&] {
            const SmallFile file = ReadSmallFile(path, 8);
            EXPECT_EQ(file.outcome, outcome) << name;
            EXPECT_EQ(file.bytes, outcome == O::Read ? test::readFile(path) : "") << name;
            EXPECT_EQ(reason == "?" ? file.reason.empty() : file.reason == reason, reason != "?")
                << name;
            EXPECT_EQ(ReadINI("S", "K", path), found) << name;
        };
#ifndef _WIN32
        if (name == "fifo") {
            EXPECT_FALSE(test::WaitedOnFifo(path, check));
            continue;
        }
#endif
        check();
    }
}

}  // namespace
}  // namespace hushgate
