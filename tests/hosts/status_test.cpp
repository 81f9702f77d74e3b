#include <gtest/gtest.h>

#include <set>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

TEST(BlockList, HoldsTheSixtyEightDistinctEntriesInOrder) {
    const auto& entries = BlockEntries();
    ASSERT_EQ(entries.size(), 68u);
    EXPECT_EQ(std::set<std::string_view>(entries.begin(), entries.end()).size(), 68u);
    EXPECT_EQ(entries[0], "127.0.0.1 www.facebook.com");
    EXPECT_EQ(entries[1], "127.0.0.1 facebook.com");
    EXPECT_EQ(entries[13], "127.0.0.1 fbstatic-a.akamaihd.net");
    EXPECT_EQ(entries[20], "127.0.0.1 touch.facebook.com");
    EXPECT_EQ(entries[21], "127.0.0.1 ar-ar.facebook.com");
    EXPECT_EQ(entries[51], "127.0.0.1 pt-pt.facebook.com");
    EXPECT_EQ(entries[52], "127.0.0.1 pt-br.facebook.com");
    EXPECT_EQ(entries[67], "127.0.0.1 zh-tw.facebook.com");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view host = entries[i].substr(kLoopbackPrefix.size());
        EXPECT_TRUE(entries[i].starts_with("127.0.0.1 ")) << entries[i];
        EXPECT_EQ(host.find_first_of(" \t\r\nABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string_view::npos);
        EXPECT_EQ(FindBlockEntry(entries[i]), i);
    }
}

// Runs status detection on `text` and records which handler was called.
struct Checked {
    bool blocked;
    int blockedCalls = 0;
    int unblockedCalls = 0;
    std::size_t found;
};

Checked check(const std::string& text, LineEnd lineEnd = LineEnd::Lf) {
    test::TempDir dir;
    test::writeFile(dir.file("hosts"), text);
    HostsEngine engine(dir.file("hosts"), lineEnd);
    Checked result{};
    engine.setStatusHandlers([&] { ++result.blockedCalls; }, [&] { ++result.unblockedCalls; });
    engine.LoadHostsList();
    result.blocked = engine.CheckStatus();
    result.found = engine.FoundCount();
    return result;
}

TEST(CheckStatus, AllEntriesInAnyOrderAmongOtherLinesAreBlocked) {
    std::vector<std::string> lines{"# my hosts", "127.0.0.1 localhost"};
    const auto& entries = BlockEntries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        lines.emplace_back(*it);
        lines.emplace_back("0.0.0.0 ads.example");
    }
    const Checked result = check(test::joined(lines, "\n"));
    EXPECT_TRUE(result.blocked);
    EXPECT_EQ(result.found, 68u);
    EXPECT_EQ(result.blockedCalls, 1);
    EXPECT_EQ(result.unblockedCalls, 0);
}

TEST(CheckStatus, SixtySevenEntriesAreNotBlocked) {
    std::string text = test::allEntries("\n");
    text.erase(text.find("127.0.0.1 zh-hk"), std::string("127.0.0.1 zh-hk.facebook.com\n").size());
    const Checked result = check(text);
    EXPECT_FALSE(result.blocked);
    EXPECT_EQ(result.found, 67u);
    EXPECT_EQ(result.unblockedCalls, 1);
    EXPECT_EQ(result.blockedCalls, 0);
}

TEST(CheckStatus, DuplicatesAreCountedOnce) {
    const Checked result = check("127.0.0.1 m.facebook.com\n127.0.0.1 m.facebook.com\n");
    EXPECT_EQ(result.found, 1u);
    EXPECT_FALSE(result.blocked);
}

TEST(CheckStatus, OnlyWholeExactLinesMatch) {
    const std::vector<std::string> nearMisses = {
        "127.0.0.1 M.facebook.com",        "127.0.0.1  m.facebook.com",
        "127.0.0.1\tm.facebook.com",       " 127.0.0.1 m.facebook.com",
        "127.0.0.1 m.facebook.com ",       "127.0.0.1 m.facebook.com # blocked",
        "0.0.0.0 m.facebook.com",          "127.0.0.1 m.facebook.com\r\r",
        "#127.0.0.1 m.facebook.com",       "127.0.0.1 m.facebook.co",
    };
    const Checked result = check(test::joined(nearMisses, "\n"));
    EXPECT_EQ(result.found, 0u);
    EXPECT_FALSE(result.blocked);
}

TEST(CheckStatus, EmptyFileIsUnblockedWithNoMarks) {
    const Checked result = check("");
    EXPECT_FALSE(result.blocked);
    EXPECT_EQ(result.found, 0u);
    EXPECT_EQ(result.unblockedCalls, 1);
}

TEST(CheckStatus, FilesFromEitherPlatformReadAlike) {
    // A hosts file written on Windows holds CR LF; one written elsewhere LF
    // alone; an edited one may hold both. The resolver reads all three.
    std::string mixed;
    for (std::size_t i = 0; i < BlockEntries().size(); ++i) {
        (mixed += BlockEntries()[i]) += i % 2 ? "\r\n" : "\n";
    }
    for (const std::string& text : {test::allEntries("\n"), test::allEntries("\r\n"), mixed}) {
        for (LineEnd ours : {LineEnd::Lf, LineEnd::CrLf}) {
            EXPECT_EQ(check(text, ours).found, 68u) << testing::PrintToString(text.substr(0, 30));
        }
    }
}

TEST(FillBlockList, ClearsEveryMark) {
    test::TempDir dir;
    test::writeFile(dir.file("hosts"), test::allEntries("\n"));
    HostsEngine engine(dir.file("hosts"), LineEnd::Lf);
    engine.LoadHostsList();
    ASSERT_TRUE(engine.CheckStatus());
    engine.FillBlockList();
    ASSERT_EQ(engine.lvEntries().size(), 68u);
    EXPECT_EQ(engine.FoundCount(), 0u);
    EXPECT_EQ(engine.lvEntries().front().entry, "127.0.0.1 www.facebook.com");
    EXPECT_EQ(engine.lvEntries().back().entry, "127.0.0.1 zh-tw.facebook.com");
}

}  // namespace
}  // namespace hushgate
