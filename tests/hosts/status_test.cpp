#include <gtest/gtest.h>

#include <set>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

TEST(BlockList, HoldsSixtyEightDistinctLoopbackLinesInOrder) {
    const auto& entries = BlockEntries();
    EXPECT_EQ(std::set<std::string_view>(entries.begin(), entries.end()).size(), 68u);
    EXPECT_EQ(entries.front(), "127.0.0.1 www.facebook.com");
    EXPECT_EQ(entries.back(), "127.0.0.1 zh-tw.facebook.com");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_TRUE(entries[i].starts_with("127.0.0.1 ")) << entries[i];
        EXPECT_EQ(entries[i].find_first_of("\t\r\nABCDEFGHIJKLMNOPQRSTUVWXYZ"),
                  std::string_view::npos);
        EXPECT_EQ(FindBlockEntry(entries[i]), i);
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
    const std::vector<std::string> nearMisses = {"127.0.0.1 M.facebook.com",
                                                 "127.0.0.1  m.facebook.com",
                                                 "127.0.0.1\tm.facebook.com",
                                                 " " + m,
                                                 m + " ",
                                                 m + " # blocked",
                                                 "0.0.0.0 m.facebook.com",
                                                 m + "\r\r",
                                                 "#" + m,
                                                 "127.0.0.1 m.facebook.co"};
    const struct {
        std::string text;
        std::size_t found;
    } cases[] = {
        {reversed, 68},
        {mixed, 68},
        {test::allEntries("\r\n"), 68},
        {missingOne, 67},
        {m + "\n" + m + "\n", 1},
        {test::joined(nearMisses, "\n"), 0},
        {"", 0},
    };
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
