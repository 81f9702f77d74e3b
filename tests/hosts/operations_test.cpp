#include <gtest/gtest.h>
#include <unistd.h>

#include "block_list.h"
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

TEST_P(OperationsTest, LinesKeepTheirOwnLineEndsAndAddedLinesGetOurs) {
    const std::string www(BlockEntries()[0]);
    const struct {
        const char* what;
        std::string original;
        bool block;
        std::string expected;
    } cases[] = {
        {"a Windows file unblocked", "# win\r\n" + test::allEntries("\r\n") + "127.0.0.1 localhost\r\n",
         false, "# win\r\n127.0.0.1 localhost\r\n"},
        {"entries with either end unblocked", "a\r\n" + www + "\n" + www + "\r\nb\n", false, "a\r\nb\n"},
        {"a mixed file blocked", "a\r\nb\n\r\n\nc", true, "a\r\nb\nc" + eol + entries()},
        {"a lone CR kept", "a\rb\r\r\n", true, "a\rb\r\r\n" + entries()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.block ? blockedContents(c.original) : unblockedContents(c.original), c.expected)
            << c.what;
    }
}

TEST_P(OperationsTest, NothingIsWrittenWhenNothingWouldChange) {
    const struct {
        const char* what;
        std::string original;
        bool block;
    } cases[] = {
        {"blocked, with LF", "a\n" + test::allEntries("\n"), true},
        {"blocked, with CR LF", test::allEntries("\r\n") + "b", true},
        {"no entry and no empty line", "a" + eol + "b", false},
        {"no entry and a final line end", "a\r\nb\n", false},
        {"empty", "", false},
    };
    for (const auto& c : cases) {
        test::writeFile(hosts, c.original);
        const struct stat before = test::statOf(hosts);
        if (c.block) {
            EXPECT_FALSE(engine.Block(HostsEngine::BlockMode::UnlessBlocked)) << c.what;
            EXPECT_EQ(engine.FoundCount(), 68u) << c.what;
        } else {
            EXPECT_EQ(engine.Unblock(), 0u) << c.what;
        }
        EXPECT_EQ(test::statOf(hosts).st_ino, before.st_ino) << c.what;
        EXPECT_EQ(test::readFile(hosts), c.original) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(BothLineEnds, OperationsTest,
                         ::testing::Values(LineEnd::CrLf, LineEnd::Lf),
                         [](const auto& info) { return info.param == LineEnd::CrLf ? "CrLf" : "Lf"; });

// What the owner set on the hosts file survives a write, and nothing is
// added to it: a new file takes its place only when it can be given all of
// it; otherwise (a hard link, an attribute we may not set) the file is
// rewritten in place. POSIX only: set up by shell commands.
struct OwnerSetting {
    const char* name;
    const char* setup;  // a shell command on $F (the file) and $D (its folder)
    std::size_t nameLength = 5;
    friend void PrintTo(const OwnerSetting& setting, std::ostream* out) { *out << setting.name; }
};

class KeepsWhatTheOwnerSet : public ::testing::TestWithParam<OwnerSetting> {};

TEST_P(KeepsWhatTheOwnerSet, AfterBlockAndUnblock) {
    test::TempDir dir;
    const std::string hosts = dir.file(std::string(GetParam().nameLength, 'h'));
    test::writeFile(hosts, "a\n");
    if (GetParam().setup != nullptr &&
        !test::shell("F=" + test::quoted(hosts) + " D=" + test::quoted(dir.path()) + "; " +
                     GetParam().setup)) {
        GTEST_SKIP() << "cannot set up: " << GetParam().setup
                     << " (needs root, the acl and attr tools, and ACLs and user attributes "
                        "in the temporary folder's file system)";
    }
    const struct stat before = test::statOf(hosts);
    const auto attributes = test::attributesOf(hosts);
    const auto listing = dir.listing();
    HostsEngine engine(hosts, LineEnd::Lf);
    for (int round = 0; round < 2; ++round) {
        round == 0 ? (void)engine.Block() : (void)engine.Unblock();
        const struct stat after = test::statOf(hosts);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(test::attributesOf(hosts), attributes);
        EXPECT_EQ(dir.listing(), listing);
        for (const std::string& name : listing) {
            EXPECT_EQ(test::readFile(dir.file(name)), round == 0 ? "a\n" + test::allEntries("\n") : "a\n")
                << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replacement, KeepsWhatTheOwnerSet,
    ::testing::Values(
        OwnerSetting{"ModeAndOwner", "chmod 640 \"$F\" && chown 1234:5678 \"$F\""},
        // Group may read, a named user may write: neither may change.
        OwnerSetting{"Acl", "setfacl -m u:nobody:rw,g::r,m::rw \"$F\""},
        OwnerSetting{"UserAttribute", "setfattr -n user.note -v kept \"$F\""},
        // The new file must not take an ACL from its folder.
        OwnerSetting{"FolderDefaultAcl", "setfacl -d -m u:nobody:rwx \"$D\""},
        OwnerSetting{"HardLink", "ln \"$F\" \"$D/other-name\""},
        OwnerSetting{"NameOf250Characters", nullptr, 250}),
    [](const auto& info) { return std::string(info.param.name); });

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
