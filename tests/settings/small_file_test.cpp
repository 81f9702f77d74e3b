// config.ini and the language files are read only when they are regular
// files within the limit; anything else is said, never waited on.

#include "small_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "read_ini.h"
#include "test_files.h"

namespace hushgate {
namespace {

using Outcome = SmallFile::Outcome;

TEST(ReadSmallFile, ReadsOnlyRegularFilesWithinTheLimit) {
    const test::TempFolder dir;
    test::writeFile(dir.file("eight"), "[S]\nK=1\n");
    test::writeFile(dir.file("nine"), "[S]\nK=1\n ");
    test::writeFile(dir.file("empty"), "");
    std::filesystem::create_directories(test::pathOf(dir.file("folder")));
    struct Row {
        std::string path;
        Outcome outcome;
        const char* bytes;
        const char* reason;  // nullptr: the system's own words, not empty
        const char* found;   // by ReadINI, whose limit is 1 MiB
    };
    std::vector<Row> rows = {
        {dir.file("eight"), Outcome::Read, "[S]\nK=1\n", "", "1"},
        {dir.file("empty"), Outcome::Read, "", "", ""},
        {dir.file("nine"), Outcome::TooLarge, "", "larger than 8 bytes", "1"},
        {dir.file("folder"), Outcome::NotRegular, "", "not a regular file", ""},
        {dir.file("missing"), Outcome::Missing, "", nullptr, ""},
        {dir.file("missing/below"), Outcome::Missing, "", nullptr, ""},
    };
#ifndef _WIN32
    // Devices (one endless), a link to one, and a FIFO without a writer.
    std::filesystem::create_symlink("/dev/zero", test::pathOf(dir.file("zero")));
    for (const std::string& other :
         {dir.file("zero"), std::string("/dev/null"), dir.file("fifo")}) {
        rows.push_back({other, Outcome::NotRegular, "", "not a regular file", ""});
    }
#endif
    const auto check = [](const Row& row) {
        const SmallFile file = ReadSmallFile(row.path, 8);
        EXPECT_EQ(file.outcome, row.outcome) << row.path;
        EXPECT_EQ(file.read(), row.outcome == Outcome::Read);
        EXPECT_EQ(file.bytes, row.bytes) << row.path;
        if (row.reason != nullptr) {
            EXPECT_EQ(file.reason, row.reason) << row.path;
        } else {
            EXPECT_FALSE(file.reason.empty()) << row.path;
        }
        // A lookup finds nothing in what is not read.
        EXPECT_EQ(ReadINI("S", "K", row.path), row.found) << row.path;
    };
    for (const Row& row : rows) {
#ifndef _WIN32
        if (row.path == dir.file("fifo")) {
            EXPECT_FALSE(test::WaitedOnFifo(row.path, [&] { check(row); }));
            continue;
        }
#endif
        check(row);
    }
    EXPECT_EQ(kMaxSmallFileSize, 1024u * 1024u);
}

}  // namespace
}  // namespace hushgate
