#include <gtest/gtest.h>
#include <unistd.h>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

// Block and unblock, run in both line-end forms.
class OperationsTest : public ::testing::TestWithParam<LineEnd> {
protected:
    test::TempDir dir;
    std::string hosts = dir.file("hosts");
    std::string eol{TerminatorOf(GetParam())};
    HostsEngine engine{hosts, GetParam()};

    std::string lines(const std::vector<std::string>& items) { return test::joined(items, eol); }
    std::string entries() { return test::allEntries(eol); }

    std::string blockedContents(const std::string& original) {
        test::writeFile(hosts, original);
        engine.Block();
        return test::readFile(hosts);
    }
    std::string unblockedContents(const std::string& original) {
        test::writeFile(hosts, original);
        engine.Unblock();
        return test::readFile(hosts);
    }
};

TEST_P(OperationsTest, BlockEndsAnUnterminatedLastLineThenAppendsTheEntries) {
    EXPECT_EQ(blockedContents("127.0.0.1 localhost"), lines({"127.0.0.1 localhost"}) + entries());
    EXPECT_TRUE(test::readFile(hosts).ends_with("127.0.0.1 zh-tw.facebook.com" + eol));
}

TEST_P(OperationsTest, BlockDropsEmptyLinesAndKeepsBlankOnes) {
    const std::string original = eol + "a" + eol + eol + eol + " " + eol + "\t" + eol + "b" + eol + eol;
    EXPECT_EQ(blockedContents(original), lines({"a", " ", "\t", "b"}) + entries());
}

TEST_P(OperationsTest, BlockLeavesTheListAsReadBackAndTheStatusBlocked) {
    bool shownBlocked = false;
    engine.setStatusHandlers([&] { shownBlocked = true; }, [] {});
    test::writeFile(hosts, lines({"x"}));
    engine.Block();
    EXPECT_TRUE(shownBlocked);
    EXPECT_EQ(engine.FoundCount(), 68u);

    HostsEngine reader(hosts, GetParam());
    reader.LoadHostsList();
    EXPECT_EQ(engine.lvHosts(), reader.lvHosts());
    EXPECT_EQ(engine.lvHosts().back(), "");
}

TEST_P(OperationsTest, BlockOfAnEmptyFileWritesOnlyTheEntries) {
    EXPECT_EQ(blockedContents(""), entries());
}

TEST_P(OperationsTest, PartialBlockDuplicatesAndUnblockRemovesEveryCopy) {
    const std::string original = lines({"a", "127.0.0.1 m.facebook.com", "b"});
    const std::string blocked = blockedContents(original);
    EXPECT_EQ(blocked, original + entries());
    EXPECT_EQ(engine.Unblock(), 69u);
    EXPECT_EQ(test::readFile(hosts), lines({"a", "b"}));
}

TEST_P(OperationsTest, UnblockKeepsLinesThatOnlyResembleEntries) {
    const std::vector<std::string> kept = {
        "0.0.0.0 m.facebook.com",  "127.0.0.1  m.facebook.com", "127.0.0.1\tm.facebook.com",
        "127.0.0.1 M.facebook.com", "127.0.0.1 m.facebook.com #", "127.0.0.1 m.facebook.com ",
    };
    std::vector<std::string> mixed;
    for (const std::string& line : kept) {
        mixed.push_back(line);
        mixed.emplace_back("127.0.0.1 m.facebook.com");
    }
    EXPECT_EQ(unblockedContents(lines(mixed)), lines(kept));
}

TEST_P(OperationsTest, UnblockOfNothingButEntriesAndBlankLinesLeavesZeroBytes) {
    EXPECT_EQ(unblockedContents(eol + entries() + eol + eol), "");
    bool shownUnblocked = false;
    engine.setStatusHandlers([] {}, [&] { shownUnblocked = true; });
    engine.Unblock();
    EXPECT_TRUE(shownUnblocked);
    EXPECT_TRUE(engine.lvHosts().empty());
}

TEST_P(OperationsTest, UnblockRemovesAnUnterminatedLastEntry) {
    EXPECT_EQ(unblockedContents("a" + eol + "127.0.0.1 zh-tw.facebook.com"), lines({"a"}));
}

TEST_P(OperationsTest, UnblockKeepsTheOrderOfOtherLinesAndEveryByte) {
    const std::vector<std::string> others = {"# h\xE9llo \xFF", "z 1", "  a\t", std::string("n\0ul", 4),
                                             "b"};
    std::vector<std::string> mixed;
    for (std::size_t i = 0; i < others.size(); ++i) {
        mixed.push_back(others[i]);
        mixed.emplace_back(BlockEntries()[i * 7]);
    }
    EXPECT_EQ(unblockedContents(lines(mixed)), lines(others));
}

TEST_P(OperationsTest, BlockThenUnblockRestoresATidyFile) {
    const std::string original = lines({"127.0.0.1 localhost", "::1 localhost", "# end"});
    blockedContents(original);
    EXPECT_EQ(engine.Unblock(), 68u);
    EXPECT_EQ(test::readFile(hosts), original);
}

TEST_P(OperationsTest, FilesFarBeyondSixteenBitLineCountsWork) {
    std::string original;
    for (int i = 0; i < 100000; ++i) {
        original += "0.0.0.0 host" + std::to_string(i) + ".example" + eol;
        if (i % 1000 == 0) {
            original += eol;
        }
    }
    EXPECT_EQ(blockedContents(original).size(),
              original.size() - 100 * eol.size() + entries().size());
    EXPECT_EQ(engine.Unblock(), 68u);
    EXPECT_EQ(test::readFile(hosts).size(), original.size() - 100 * eol.size());
}

INSTANTIATE_TEST_SUITE_P(BothLineEnds, OperationsTest,
                         ::testing::Values(LineEnd::CrLf, LineEnd::Lf),
                         [](const auto& info) { return info.param == LineEnd::CrLf ? "CrLf" : "Lf"; });

TEST(Replacement, KeepsPermissionsOwnerAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, "a\n");
    ASSERT_EQ(::chmod(hosts.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(hosts.c_str(), 1234, 5678), 0);
    }
    HostsEngine engine(hosts, LineEnd::Lf);
    engine.Block();
    const struct stat st = test::statOf(hosts);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
        EXPECT_EQ(st.st_gid, 5678u);
    }
    EXPECT_EQ(dir.listing(), std::vector<std::string>{"hosts"});
}

TEST(Replacement, WritesThroughASymbolicLinkAndKeepsTheLink) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    const std::string target = dir.file("real/hosts");
    const std::string link = dir.file("hosts");
    test::writeFile(target, "a\n");
    std::filesystem::create_symlink("real/hosts", link);

    HostsEngine engine(link, LineEnd::Lf);
    engine.Block();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::readFile(target), "a\n" + test::allEntries("\n"));
    engine.Unblock();
    EXPECT_EQ(test::readFile(target), "a\n");
    EXPECT_EQ(dir.listing(), (std::vector<std::string>{"hosts", "real"}));
}

}  // namespace
}  // namespace hushgate
