#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

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
    for (int i = 0; i < 100000; ++i) {
        large += "0.0.0.0 host" + std::to_string(i) + eol;
    }
    const std::string www(BlockEntries()[0]);
    const struct {
        const char* what;
        std::string original;
        bool block;
        std::string expected;
        std::size_t removed = 0;
    } cases[] = {
        {"unterminated last line", "127.0.0.1 localhost", true,
         lines({"127.0.0.1 localhost"}) + entries},
        {"empty and blank lines", eol + "a" + eol + eol + " " + eol + "\t" + eol + eol, true,
         lines({"a", " ", "\t"}) + entries},
        {"empty file", "", true, entries},
        {"partly blocked", lines({"a", m}), true, lines({"a", m}) + entries},
        {"every copy", lines({"a", m, "b"}) + entries, false, lines({"a", "b"}), 69},
        {"resembling lines", lines(resemblingMixed), false, lines(resembling), 6},
        {"others' bytes", lines(othersMixed), false, lines(others), 4},
        {"only entries", eol + entries + eol + eol, false, "", 68},
        {"unterminated last entry", "a" + eol + "127.0.0.1 zh-tw.facebook.com", false, lines({"a"}),
         1},
        {"a Windows file", "# w\r\n" + test::allEntries("\r\n") + "::1 x\r\n", false,
         "# w\r\n::1 x\r\n", 68},
        {"either end", "a\r\n" + www + "\n" + www + "\r\nb\n", false, "a\r\nb\n", 2},
        {"a mixed file", "a\r\nb\n\r\n\nc", true, "a\r\nb\nc" + eol + entries},
        {"a lone CR", "a\rb\r\r\n", true, "a\rb\r\r\n" + entries},
        {"a large file", large + eol, true, large + entries},
        {"a large file blocked", large + entries, false, large, 68},
    };
    for (const auto& c : cases) {
        test::writeFile(hosts, c.original);
        if (c.block) {
            engine.Block();
        } else {
            EXPECT_EQ(engine.Unblock(), c.removed) << c.what;
        }
        EXPECT_EQ(test::readFile(hosts), c.expected) << c.what;
    }
}

TEST_P(OperationsTest, ListsAndStatusFollowTheChange) {
    bool blocked = false;
    engine.setStatusHandlers([&] { blocked = true; }, [&] { blocked = false; });
    test::writeFile(hosts, lines({"x"}));
    engine.Block();
    EXPECT_TRUE(blocked);
    EXPECT_EQ(engine.FoundCount(), 68u);
    HostsEngine reader(hosts, GetParam());
    reader.LoadHostsList();
    EXPECT_EQ(engine.lvHosts(), reader.lvHosts());
    engine.Unblock();
    EXPECT_FALSE(blocked);
    EXPECT_EQ(engine.FoundCount(), 0u);
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
        const std::uint64_t before = test::fileIdOf(hosts);
        if (c.block) {
            EXPECT_FALSE(engine.Block(HostsEngine::BlockMode::UnlessBlocked)) << c.what;
            EXPECT_EQ(engine.FoundCount(), 68u) << c.what;
        } else {
            EXPECT_EQ(engine.Unblock(), 0u) << c.what;
        }
        EXPECT_EQ(test::fileIdOf(hosts), before) << c.what;
        EXPECT_EQ(test::readFile(hosts), c.original) << c.what;
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
struct OwnerSetting {
    const char* name;
    // A shell command on $F (the file) and $D (its folder); false when it
    // cannot be done here.
    std::function<bool(const std::string& file, const std::string& folder)> setup;
    std::size_t nameLength = 5;
    const char* wineDiffers = nullptr;  // how Wine fails what Windows does
    friend void PrintTo(const OwnerSetting& setting, std::ostream* out) { *out << setting.name; }
};

bool hardLink(const std::string& file, const std::string& folder) {
    std::filesystem::create_hard_link(test::pathOf(file), test::pathOf(folder) / "other-name");
    return true;
}

#ifdef _WIN32
bool hiddenSystemFile(const std::string& file, const std::string&) {
    return ::SetFileAttributesW(test::pathOf(file).c_str(),
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}
#else
auto sh(std::string command) {
    return [command](const std::string& file, const std::string& folder) {
        return test::shell(command, file, folder);
    };
}
#endif

class KeepsWhatTheOwnerSet : public ::testing::TestWithParam<OwnerSetting> {};

TEST_P(KeepsWhatTheOwnerSet, AfterBlockAndUnblock) {
    if (GetParam().wineDiffers && test::RunningUnderWine()) {
        GTEST_SKIP() << "Wine differs from Windows here: " << GetParam().wineDiffers;
    }
    test::TempFolder dir;
    const std::string hosts = dir.file(std::string(GetParam().nameLength, 'h'));
    test::writeFile(hosts, "a\n");
    if (GetParam().setup && !GetParam().setup(hosts, dir.path())) {
        GTEST_SKIP() << "cannot set up " << GetParam().name
                     << " (needs root, the acl and attr tools, and ACLs and user attributes "
                        "in the temporary folder's file system)";
    }
    const test::Metadata before = test::metadataOf(hosts);
    const auto listing = test::listing(dir.path());
    HostsEngine engine(hosts, LineEnd::Lf);
    for (int round = 0; round < 2; ++round) {
        round == 0 ? (void)engine.Block() : (void)engine.Unblock();
        EXPECT_TRUE(test::metadataOf(hosts) == before);
        EXPECT_EQ(test::listing(dir.path()), listing);
        for (const std::string& name : listing) {
            EXPECT_EQ(test::readFile(dir.file(name)),
                      round == 0 ? "a\n" + test::allEntries() : "a\n");
        }
    }
}

const OwnerSetting kOwnerSettings[] = {
#ifdef _WIN32
    {"HiddenSystemFile", hiddenSystemFile, 5,
     "its ReplaceFileW gives the new file none of the replaced file's attributes"},
#else
    {"ModeAndOwner", sh("chmod 640 \"$F\" && chown 1234:5678 \"$F\"")},
    // Group may read, a named user may write: neither may change.
    {"Acl", sh("setfacl -m u:nobody:rw,g::r,m::rw \"$F\"")},
    {"UserAttribute", sh("setfattr -n user.note -v kept \"$F\"")},
    // The new file must not take an ACL from its folder.
    {"FolderDefaultAcl", sh("setfacl -d -m u:nobody:rwx \"$D\"")},
    // Near the length a name may have (on Windows the whole path would pass
    // the 260 characters paths may have there).
    {"NameOf250Characters", nullptr, 250},
#endif
    {"HardLink", hardLink},
};

INSTANTIATE_TEST_SUITE_P(Replacement, KeepsWhatTheOwnerSet, ::testing::ValuesIn(kOwnerSettings),
                         [](const auto& info) { return std::string(info.param.name); });

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
