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

// Blocked means every entry is there as a whole line, exactly, in any order,
// with either line end; the handler of the state found is called once.
TEST(CheckStatus, CountsWholeExactLinesOnce) {
    std::string reversed = "# my hosts\n127.0.0.1 localhost\n";
    std::string mixed;
    for (std::size_t i = 0; i < BlockEntries().size(); ++i) {
        (reversed += BlockEntries()[67 - i]) += "\n0.0.0.0 ads.example\n";
        (mixed += BlockEntries()[i]) += i % 2 ? "\r\n" : "\n";
    }
    std::string missingOne = test::allEntries();
    missingOne.erase(missingOne.find("127.0.0.1 zh-hk"), 29);
    const std::string m = "127.0.0.1 m.facebook.com";
    // clang-format off
    const std::vector<std::string> nearMisses = {"127.0.0.1 M.facebook.com", "127.0.0.1  m.facebook.com",
        "127.0.0.1\tm.facebook.com", " " + m, m + " ", m + " # blocked", "0.0.0.0 m.facebook.com",
        m + "\r\r", "#" + m, "127.0.0.1 m.facebook.co"};
    const struct {
        std::string text;
        std::size_t found;
    } cases[] = {{reversed, 68}, {mixed, 68}, {test::allEntries("\r\n"), 68}, {missingOne, 67},
                 {m + "\n" + m + "\n", 1}, {test::joined(nearMisses, "\n"), 0}, {"", 0}};
    // clang-format on
    for (const auto& c : cases) {
        for (LineEnd ours : {LineEnd::Lf, LineEnd::CrLf}) {
            test::TempFolder dir;
            test::writeFile(dir.file("hosts"), c.text);
            HostsEngine engine(dir.file("hosts"), ours);
            int blockedCalls = 0, unblockedCalls = 0;
            engine.setStatusHandlers([&] { ++blockedCalls; }, [&] { ++unblockedCalls; });
            engine.LoadHostsList();
            EXPECT_EQ(engine.CheckStatus(), c.found == 68) << c.text.substr(0, 40);
            EXPECT_EQ(engine.FoundCount(), c.found) << c.text.substr(0, 40);
            EXPECT_EQ(blockedCalls, c.found == 68 ? 1 : 0);
            EXPECT_EQ(unblockedCalls, c.found == 68 ? 0 : 1);
        }
    }
}

}  // namespace
}  // namespace hushgate
