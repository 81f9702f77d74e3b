#include <gtest/gtest.h>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

using Lines = LineList;

TEST(SplitLines, CrLfFormCutsOnlyAtCrLf) {
    EXPECT_EQ(SplitLines("", LineEnd::CrLf), Lines{});
    EXPECT_EQ(SplitLines("abc", LineEnd::CrLf), Lines{"abc"});
    // A final line end gives one more, empty, line.
    EXPECT_EQ(SplitLines("a\r\nb\r\n", LineEnd::CrLf), (Lines{"a", "b", ""}));
    EXPECT_EQ(SplitLines("\r\n\r\n", LineEnd::CrLf), (Lines{"", "", ""}));
    // LF alone and CR alone stay inside their line.
    EXPECT_EQ(SplitLines("a\nb\nc", LineEnd::CrLf), Lines{"a\nb\nc"});
    EXPECT_EQ(SplitLines("a\rb\r\nc", LineEnd::CrLf), (Lines{"a\rb", "c"}));
    EXPECT_EQ(SplitLines("a\r\r\n", LineEnd::CrLf), (Lines{"a\r", ""}));
    EXPECT_EQ(SplitLines("\n\r\n", LineEnd::CrLf), (Lines{"\n", ""}));
    EXPECT_EQ(SplitLines("a\n\r\nb", LineEnd::CrLf), (Lines{"a\n", "b"}));
}

TEST(SplitLines, LfFormCutsAtEveryLfAndKeepsCr) {
    EXPECT_EQ(SplitLines("", LineEnd::Lf), Lines{});
    EXPECT_EQ(SplitLines("\n", LineEnd::Lf), (Lines{"", ""}));
    EXPECT_EQ(SplitLines("a\nb\n", LineEnd::Lf), (Lines{"a", "b", ""}));
    EXPECT_EQ(SplitLines("a\n\n\nb", LineEnd::Lf), (Lines{"a", "", "", "b"}));
    EXPECT_EQ(SplitLines("a\r\nb\r", LineEnd::Lf), (Lines{"a\r", "b\r"}));
}

TEST(SplitLines, KeepsEveryByteOfEveryLine) {
    const std::string text("  lead\ttab  \n# comment \xE9\xFF\n\0nul\n", 31);
    const Lines lines = SplitLines(text, LineEnd::Lf);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "  lead\ttab  ");
    EXPECT_EQ(lines[1], "# comment \xE9\xFF");
    EXPECT_EQ(lines[2], std::string_view("\0nul", 4));
    EXPECT_EQ(lines[3], "");
}

class LoadHostsListTest : public ::testing::TestWithParam<LineEnd> {
protected:
    test::TempDir dir;
    std::string hosts = dir.file("hosts");
    std::string_view eol = TerminatorOf(GetParam());
};

TEST_P(LoadHostsListTest, ReadsTheFileIntoLines) {
    test::writeFile(hosts, "a" + std::string(eol) + std::string(eol) + "b" + std::string(eol));
    HostsEngine engine(hosts, GetParam());
    engine.LoadHostsList();
    EXPECT_EQ(engine.lvHosts(), (Lines{"a", "", "b", ""}));

    test::writeFile(hosts, "");
    engine.LoadHostsList();
    EXPECT_TRUE(engine.lvHosts().empty());
}

TEST_P(LoadHostsListTest, MissingFileLeavesTheListAsItWas) {
    test::writeFile(hosts, "kept" + std::string(eol));
    HostsEngine engine(hosts, GetParam());
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

INSTANTIATE_TEST_SUITE_P(BothLineEnds, LoadHostsListTest,
                         ::testing::Values(LineEnd::CrLf, LineEnd::Lf),
                         [](const auto& info) { return info.param == LineEnd::CrLf ? "CrLf" : "Lf"; });

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
