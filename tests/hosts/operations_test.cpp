#include <gtest/gtest.h>

#include "block_list.h"
#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

// Block and unblock, run in both line-end forms.
class OperationsTest : public ::testing::TestWithParam<LineEnd> {
protected:
    test::TempFolder dir;
    std::string hosts = dir.file("hosts");
    std::string eol{TerminatorOf(GetParam())};
    HostsEngine engine{hosts, GetParam()};

    std::string lines(const std::vector<std::string>& items) { return test::joined(items, eol); }
};

// Lines of others keep their bytes, order and own line ends; empty lines go;
// Block adds the entries after them with our line end, Unblock removes every
// copy of them and nothing that only resembles one.
TEST_P(OperationsTest, RewriteKeepsEveryOtherLine) {
    const std::string entries = test::allEntries(eol);
    const std::string m = "127.0.0.1 m.facebook.com";
    const std::vector<std::string> resembling = {"0.0.0.0 m.facebook.com",
                                                 "127.0.0.1  m.facebook.com",
                                                 "127.0.0.1\tm.facebook.com",
                                                 "127.0.0.1 M.facebook.com",
                                                 m + " #",
                                                 m + " "};
    const std::vector<std::string> others = {"# h\xE9llo \xFF", "z 1", "  a\t",
                                             std::string("n\0ul", 4)};
    std::vector<std::string> resemblingMixed, othersMixed;
    for (std::size_t i = 0; i < resembling.size(); ++i) {
        resemblingMixed.insert(resemblingMixed.end(), {resembling[i], m});
        if (i < others.size()) {
            othersMixed.insert(othersMixed.end(), {others[i], std::string(BlockEntries()[i * 7])});
        }
    }
    std::string large;  // far beyond 16-bit line counts
    for (int i = 0; i < 70000; ++i) {
        large += "0.0.0.0 host" + std::to_string(i) + eol;
    }
    const std::string www(BlockEntries()[0]);
    const std::string lfEntries = test::allEntries("\n");
    const std::string crLfEntries = test::allEntries("\r\n");
    enum Operation { Block, BlockUnlessBlocked, Unblock };
    // clang-format off
    const struct {
        const char* what;
        std::string original;
        Operation operation;
        std::optional<std::string> expected;  // nothing: as it was, and not even rewritten
        std::size_t removed = 0;
    } cases[] = {
        {"unterminated last line", "127.0.0.1 localhost", Block, lines({"127.0.0.1 localhost"}) + entries},
        {"empty and blank lines", eol + "a" + eol + eol + " " + eol + "\t" + eol + eol, Block, lines({"a", " ", "\t"}) + entries},
        {"empty file", "", Block, entries},
        {"partly blocked", lines({"a", m}), Block, lines({"a", m}) + entries},
        {"partly blocked, unless blocked", lines({"a", m}), BlockUnlessBlocked, lines({"a", m}) + entries},
        {"every copy", lines({"a", m, "b"}) + entries, Unblock, lines({"a", "b"}), 69},
        {"resembling lines", lines(resemblingMixed), Unblock, lines(resembling), 6},
        {"others' bytes", lines(othersMixed), Unblock, lines(others), 4},
        {"only entries", eol + entries + eol + eol, Unblock, "", 68},
        {"unterminated last entry", "a" + eol + "127.0.0.1 zh-tw.facebook.com", Unblock, lines({"a"}), 1},
        {"a Windows file", "# w\r\n" + crLfEntries + "::1 x\r\n", Unblock, "# w\r\n::1 x\r\n", 68},
        {"either end", "a\r\n" + www + "\n" + www + "\r\nb\n", Unblock, "a\r\nb\n", 2},
        {"a mixed file", "a\r\nb\n\r\n\nc", Block, "a\r\nb\nc" + eol + entries},
        {"a lone CR", "a\rb\r\r\n", Block, "a\rb\r\r\n" + entries},
        {"a large file", large + eol, Block, large + entries},
        {"a large file blocked", large + entries, Unblock, large, 68},
        {"blocked, with LF", "a\n" + lfEntries, BlockUnlessBlocked, std::nullopt},
        {"blocked, with CR LF", crLfEntries + "b", BlockUnlessBlocked, std::nullopt},
        {"no entry and no empty line", "a" + eol + "b", Unblock, std::nullopt},
        {"no entry and a final line end", "a\r\nb\n", Unblock, std::nullopt},
        {"nothing", "", Unblock, std::nullopt},
    };
    // clang-format on
    for (const auto& c : cases) {
        test::writeFile(hosts, c.original);
        const std::uint64_t before = test::fileIdOf(hosts);
        if (c.operation == Unblock) {
            EXPECT_EQ(engine.Unblock(), c.removed) << c.what;
        } else {
            engine.Block(c.operation == Block ? HostsEngine::BlockMode::Always
                                              : HostsEngine::BlockMode::UnlessBlocked);
        }
        EXPECT_EQ(engine.FoundCount(), c.operation == Unblock ? 0u : 68u) << c.what;
        EXPECT_EQ(test::readFile(hosts), c.expected.value_or(c.original)) << c.what;
        if (!c.expected) {
            EXPECT_EQ(test::fileIdOf(hosts), before) << c.what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothLineEnds, OperationsTest,
                         ::testing::Values(LineEnd::CrLf, LineEnd::Lf), [](const auto& info) {
                             return info.param == LineEnd::CrLf ? "CrLf" : "Lf";
                         });

// What the owner set on the hosts file survives a write, and nothing is
// added to it: a new file takes its place only when it can be given all of
// it; otherwise (a hard link, an attribute we may not set) the file is
// rewritten in place.
TEST(Replacement, KeepsWhatTheOwnerSet) {
    const struct {
        const char* what;
        const char* setup;  // a shell command on $F (the file) and $D (its folder)
        std::size_t nameLength = 5;
    } cases[] = {
#ifndef _WIN32
        {"mode and owner", "chmod 640 \"$F\" && chown 1234:5678 \"$F\""},
        // Group may read, a named user may write: neither may change.
        {"an ACL", "setfacl -m u:nobody:rw,g::r,m::rw \"$F\""},
        {"a user attribute", "setfattr -n user.note -v kept \"$F\""},
        // The new file must not take an ACL from its folder.
        {"the folder's default ACL", "setfacl -d -m u:nobody:rwx \"$D\""},
        // Near the length a name may have (on Windows the whole path would
        // pass the 260 characters paths may have there).
        {"a name of 250 characters", nullptr, 250},
#endif
        {"a hard link", nullptr},
    };
    for (const auto& c : cases) {
        test::TempFolder dir;
        const std::string hosts = dir.file(std::string(c.nameLength, 'h'));
        test::writeFile(hosts, "a\n");
        if (!c.setup && c.nameLength == 5) {
            std::filesystem::create_hard_link(test::pathOf(hosts), test::pathOf(dir.file("link")));
        }
#ifndef _WIN32
        if (c.setup && !test::shell(c.setup, hosts, dir.path())) {
            std::cout << "skipped (needs root, the acl and attr tools, and ACLs and user "
                         "attributes in the temporary folder): "
                      << c.what << "\n";
            continue;
        }
#endif
        const test::Metadata before = test::metadataOf(hosts);
        const auto listing = test::listing(dir.path());
        HostsEngine engine(hosts, LineEnd::Lf);
        for (const bool block : {true, false}) {
            block ? (void)engine.Block() : (void)engine.Unblock();
            EXPECT_EQ(test::metadataOf(hosts), before) << c.what;
            EXPECT_EQ(test::listing(dir.path()), listing) << c.what;
            for (const std::string& name : listing) {
                EXPECT_EQ(test::readFile(dir.file(name)),
                          block ? "a\n" + test::allEntries() : "a\n");
            }
        }
    }
}

// MinGW's std::filesystem makes no symbolic links, nor does Wine's
// CreateSymbolicLinkW (it returns success and makes nothing).
#ifndef _WIN32
TEST(Replacement, WritesThroughASymbolicLinkAndKeepsTheLink) {
    test::TempFolder dir;
    std::filesystem::create_directory(dir.file("real"));
    test::writeFile(dir.file("real/hosts"), "a\n");
    std::filesystem::create_symlink("real/hosts", dir.file("hosts"));
    HostsEngine engine(dir.file("hosts"), LineEnd::Lf);
    engine.Block();
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("hosts")));
    EXPECT_EQ(test::readFile(dir.file("real/hosts")), "a\n" + test::allEntries());
    EXPECT_EQ(test::listing(dir.path()), (std::vector<std::string>{"hosts", "real"}));
}
#endif

}  // namespace
}  // namespace hushgate
