#include <gtest/gtest.h>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

using Lines = LineList;

// A line is its bytes up to LF with one CR just before the LF removed, in
// every platform's build: files from either side read alike.
TEST(SplitLines, CutsAtEveryLfAndDropsOneCrBeforeIt) {
    const struct {
        std::string_view text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"abc", {"abc"}},
        {"\n", {"", ""}},
        // A final line end gives one more, empty, line.
        {"a\nb\n", {"a", "b", ""}},
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"\r\n\r\n", {"", "", ""}},
        {"a\n\n\nb", {"a", "", "", "b"}},
        {"a\r\nb\nc\r\n", {"a", "b", "c", ""}},
        // Only one CR, and only right before the LF.
        {"a\r\r\n", {"a\r", ""}},
        {"a\rb\r\nc", {"a\rb", "c"}},
        {"a\r", {"a\r"}},
        {"\r", {"\r"}},
        {"\n\r\n", {"", "", ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.lines) << testing::PrintToString(std::string(c.text));
    }
}

TEST(SplitLines, KeepsEveryByteOfEveryLine) {
    const std::string text("  lead\ttab  \n# comment \xE9\xFF\n\0nul\n", 31);
    const Lines lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "  lead\ttab  ");
    EXPECT_EQ(lines[1], "# comment \xE9\xFF");
    EXPECT_EQ(lines[2], std::string_view("\0nul", 4));
    EXPECT_EQ(lines[3], "");
}

TEST(LoadHostsList, ReadsTheFileIntoLines) {
    test::TempDir dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, "a\r\n\nb\n");
    HostsEngine engine(hosts, LineEnd::Lf);
    engine.LoadHostsList();
    EXPECT_EQ(engine.lvHosts(), (Lines{"a", "", "b", ""}));

    test::writeFile(hosts, "");
    engine.LoadHostsList();
    EXPECT_TRUE(engine.lvHosts().empty());
}

TEST(LoadHostsList, MissingFileLeavesTheListAsItWas) {
    test::TempDir dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, "kept\n");
    HostsEngine engine(hosts, LineEnd::Lf);
    engine.LoadHostsList();
    std::filesystem::remove(hosts);
    try {
        engine.LoadHostsList();
        FAIL() << "a missing file must be reported";
    } catch (const HostsError& error) {
        EXPECT_EQ(error.kind(), HostsError::Kind::NotFound);
        EXPECT_EQ(error.path(), hosts);
        EXPECT_NE(std::string(error.what()).find(hosts), std::string::npos);
    }
    EXPECT_EQ(engine.lvHosts(), (Lines{"kept", ""}));
}

TEST(FileHelpers, FileExistsOnlyForOrdinaryFiles) {
    test::TempDir dir;
    test::writeFile(dir.file("f"), "x");
    std::filesystem::create_symlink(dir.file("f"), dir.file("link"));
    EXPECT_TRUE(FileExists(dir.file("f")));
    EXPECT_TRUE(FileExists(dir.file("link")));
    EXPECT_FALSE(FileExists(dir.path().string()));
    EXPECT_FALSE(FileExists(dir.file("none")));
    EXPECT_FALSE(FileExists(""));
}

TEST(FileHelpers, ReadFileTextReturnsBytesAndReportsMissingFiles) {
    test::TempDir dir;
    const std::string bytes("\r\n\0\xFF", 4);
    test::writeFile(dir.file("f"), bytes);
    EXPECT_EQ(ReadFileText(dir.file("f")), bytes);
    try {
        ReadFileText(dir.file("none"));
        FAIL();
    } catch (const HostsError& error) {
        EXPECT_EQ(error.kind(), HostsError::Kind::NotFound);
        EXPECT_EQ(error.action(), HostsError::Action::Read);
    }
    EXPECT_THROW(ReadFileText(dir.path().string()), HostsError);
}

TEST(FileHelpers, SystemHostsPathIsTheSystemsOwn) {
#ifdef __APPLE__
    EXPECT_EQ(SystemHostsPath(), "/private/etc/hosts");
#else
    EXPECT_EQ(SystemHostsPath(), "/etc/hosts");
#endif
    EXPECT_EQ(GetSysDir(), "");
}

}  // namespace
}  // namespace hushgate
