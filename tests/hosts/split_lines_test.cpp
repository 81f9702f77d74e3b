#include <gtest/gtest.h>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

// A line is its bytes up to LF with one CR just before the LF removed, in
// every platform's build: files from either side read alike.
TEST(SplitLines, CutsAtEveryLfAndDropsOneCrBeforeIt) {
    const struct {
        std::string_view text;
        LineList lines;
    } cases[] = {
        {"", {}},
        {"abc", {"abc"}},
        {"\n", {"", ""}},
        // A final line end gives one more, empty, line.
        {"a\nb\n", {"a", "b", ""}},
        {"\r\n\r\n", {"", "", ""}},
        {"a\n\n\nb", {"a", "", "", "b"}},
        {"a\r\nb\nc\r\n", {"a", "b", "c", ""}},
        // Only one CR, and only right before the LF.
        {"a\r\r\n", {"a\r", ""}},
        {"a\rb\r\nc", {"a\rb", "c"}},
        {"\r", {"\r"}},
        // Every other byte is kept as it is.
        {std::string_view("  t\t \n# \xE9\xFF\n\0n", 13),
         {"  t\t ", "# \xE9\xFF", std::string_view("\0n", 2)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.lines) << testing::PrintToString(std::string(c.text));
    }
}

TEST(LoadHostsList, MissingFileIsReportedAndLeavesTheListAsItWas) {
    test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, "kept\r\n");
    HostsEngine engine(hosts, LineEnd::Lf);
    engine.LoadHostsList();
    std::filesystem::remove(test::pathOf(hosts));
    const auto error = test::errorOf([&] { engine.LoadHostsList(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), HostsError::Kind::NotFound);
    EXPECT_EQ(error->path(), hosts);
    EXPECT_NE(std::string(error->what()).find(hosts), std::string::npos);
    EXPECT_EQ(engine.lvHosts(), (LineList{"kept", ""}));
    // A folder in the file's place is no file either.
    EXPECT_TRUE(test::errorOf([&] { HostsEngine(dir.path(), LineEnd::Lf).LoadHostsList(); }));
}

}  // namespace
}  // namespace hushgate
