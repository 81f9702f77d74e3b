// Reading, block and unblock, and what every write keeps: the bytes of
// others' lines, every name of the file, and, when it fails, the file byte
// for byte with its metadata and no stray file beside it. What
// only one kind of system has is in failure_posix_test.cpp and
// failure_windows_test.cpp. Last, the small pieces the engine's messages
// and its files beside the hosts file are made of: sizes and reasons for
// people, the record's digest, the names of our files.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "block_list.h"
#include "hosts_engine.h"
#include "hosts_lines.h"
#include "hosts_recovery.h"
#include "test_support.h"

namespace hushgate {
namespace {

const std::string kM = "127.0.0.1 m.facebook.com";
// Lines that only resemble a block entry, and bytes of others' lines: no
// entry, and kept as they are.
// clang-format off
const std::vector<std::string> kNoEntries = {"127.0.0.1 M.facebook.com", "127.0.0.1  m.facebook.com",
    "127.0.0.1\tm.facebook.com", " " + kM, kM + " ", kM + " # blocked", "0.0.0.0 m.facebook.com",
    kM + "\r\r", "#" + kM, "127.0.0.1 m.facebook.co", "# h\xE9llo \xFF", "  a\t", std::string("n\0ul", 4)};
// clang-format on

// Status, block and unblock, run in both line-end forms. Blocked means
// every entry is there as a whole line, exactly, in any order, with either
// line end; the handler of the state found is called once. Lines of others
// keep their bytes, order and own line ends; empty lines go; Block adds the
// entries after them with our line end, Unblock removes every copy of them
// and nothing that only resembles one.
class OperationsTest : public ::testing::TestWithParam<LineEnd> {};
TEST_P(OperationsTest, StatusAndRewriteKeepingEveryOtherLine) {
    test::TempFolder dir;
    const std::string hosts = dir.file("hosts"), eol{TerminatorOf(GetParam())};
    HostsEngine engine{hosts, GetParam()};
    bool written = false;
    int blockedCalls = 0, unblockedCalls = 0;
    engine.setWriteHook([&](WriteStep) { written = true; });
    engine.setStatusHandlers([&] { ++blockedCalls; }, [&] { ++unblockedCalls; });
    const auto lines = [&](const std::vector<std::string>& items) {
        return test::joined(items, eol);
    };
    const std::string entries = test::allEntries(eol);
    std::string large;  // beyond 16-bit line counts, and 2 MiB: read into mapped memory
    for (int i = 0; i < 70000; ++i) {
        large += "0.0.0.0 host" + std::to_string(i) + ".example.invalid" + eol;
    }
    const std::string www(BlockEntries()[0]);
    const std::string lfEntries = test::allEntries("\n");
    const std::string crLfEntries = test::allEntries("\r\n");
    std::string reversed = "# my hosts\n127.0.0.1 localhost\n", mixedEnds;
    std::vector<std::string> mixed;  // others' lines, each followed by an entry
    for (std::size_t i = 0; i < BlockEntries().size(); ++i) {
        (reversed += BlockEntries()[67 - i]) += "\n0.0.0.0 ads.example\n";
        (mixedEnds += BlockEntries()[i]) += i % 2 ? "\r\n" : "\n";
        if (i < kNoEntries.size()) {
            mixed.insert(mixed.end(), {kNoEntries[i], std::string(BlockEntries()[i * 5])});
        }
    }
    // Lines that reach across the end of the buffer a read passes through:
    // a comment filling it up to `end` bytes before its end, then the line.
    // The first, small buffer; then the full one it moves on to, which
    // starts where the first ended (the comment is longer than it).
    const auto atBufferEnd = [](std::size_t end, const std::string& line, bool first = false) {
        const std::size_t fill = kFirstLineBufferSize + (first ? 0 : kLineBufferSize);
        return "#" + std::string(fill - end - 2, 'x') + "\n" + line;
    };
    const std::string longLine = "0.0.0.0 " + std::string(kLineBufferSize * 3 / 2, 'y');
    std::string missingOne = lfEntries;
    missingOne.erase(missingOne.find("127.0.0.1 zh-hk"), 29);
    enum Operation { Status, Block, BlockUnlessBlocked, Unblock };
    // clang-format off
    const struct {
        const char* what;
        std::string original;
        Operation operation;
        std::optional<std::string> expected;  // nothing: as it was, and not even rewritten
        std::size_t removed = 0;
        std::optional<std::size_t> found = {};  // nothing: 0 after Unblock, 68 otherwise
    } cases[] = {
        {"entries reversed, among others", reversed, Status, std::nullopt, 0, 68},
        {"entries with either line end", mixedEnds, Status, std::nullopt, 0, 68},
        {"one entry missing", missingOne, Status, std::nullopt, 0, 67},
        {"one entry twice", kM + "\n" + kM + "\n", Status, std::nullopt, 0, 1},
        {"only resembling entries", test::joined(kNoEntries, "\n"), Status, std::nullopt, 0, 0},
        {"unterminated last line", "127.0.0.1 localhost", Block, lines({"127.0.0.1 localhost"}) + entries},
        {"empty and blank lines", eol + "a" + eol + eol + " " + eol + "\t" + eol + eol, Block, lines({"a", " ", "\t"}) + entries},
        {"empty file", "", Block, entries},
        {"partly blocked", lines({"a", kM}), Block, lines({"a", kM}) + entries},
        {"partly blocked, unless blocked", lines({"a", kM}), BlockUnlessBlocked, lines({"a", kM}) + entries},
        {"every copy", lines({"a", kM, "b"}) + entries, Unblock, lines({"a", "b"}), 69},
        {"others' and resembling lines", lines(mixed), Unblock, lines(kNoEntries), 13},
        {"only entries", eol + entries + eol + eol, Unblock, "", 68},
        {"unterminated last entry", "a" + eol + "127.0.0.1 zh-tw.facebook.com", Unblock, lines({"a"}), 1},
        {"a Windows file", "# w\r\n" + crLfEntries + "::1 x\r\n", Unblock, "# w\r\n::1 x\r\n", 68},
        {"either end", "a\r\n" + www + "\n" + www + "\r\nb\n", Unblock, "a\r\nb\n", 2},
        {"a mixed file", "a\r\nb\n\r\n\nc", Block, "a\r\nb\nc" + eol + entries},
        {"a lone CR", "a\rb\r\r\n", Block, "a\rb\r\r\n" + entries},
        {"a large file", large + eol, Block, large + entries},
        {"a large file blocked", large + entries, Unblock, large, 68},
        {"entries across the first buffer's end", atBufferEnd(9, crLfEntries, true), Status, std::nullopt, 0, 68},
        {"an entry across the first buffer's end", atBufferEnd(20, "\r\n" + www + "\r\nb\n", true), Unblock, atBufferEnd(20, "b\n", true), 1},
        {"an empty line at the first buffer's end", atBufferEnd(1, "\r\nb\n", true), Block, atBufferEnd(1, "b\n", true) + entries},
        {"entries across the buffer's end", atBufferEnd(9, crLfEntries), Status, std::nullopt, 0, 68},
        {"an entry across the buffer's end", atBufferEnd(9, www + "\r\nb\n"), Unblock, atBufferEnd(9, "b\n"), 1},
        {"CR LF across the buffer's end", atBufferEnd(1, "\r\nb\n"), Block, atBufferEnd(1, "b\n") + entries},
        {"a line longer than the buffer", atBufferEnd(70, longLine + "\n" + www), Unblock, atBufferEnd(70, longLine + "\n"), 1},
        {"a line longer than the buffer, last", "\n" + longLine, Block, longLine + eol + entries},
        {"blocked, with LF", "a\n" + lfEntries, BlockUnlessBlocked, std::nullopt},
        {"blocked, with CR LF", crLfEntries + "b", BlockUnlessBlocked, std::nullopt},
        {"entries after a line without its end", "x" + lfEntries, BlockUnlessBlocked, "x" + lfEntries + entries, 0, 68},
        {"no entry and no empty line", "a" + eol + "b", Unblock, std::nullopt},
        {"no entry and a final line end", "a\r\nb\n", Unblock, std::nullopt},
        {"nothing", "", Unblock, std::nullopt},
    };
    // clang-format on
    // Every case twice: the file replaced, then, with a second name, rewritten in place.
    for (const bool inPlace : {false, true}) {
        if (inPlace) {
            std::filesystem::create_hard_link(hosts, dir.file("link"));
        }
        for (const auto& c : cases) {
            test::writeFile(hosts, c.original);
            written = false;
            blockedCalls = unblockedCalls = 0;
            const std::size_t found = c.found.value_or(c.operation == Unblock ? 0 : 68);
            if (c.operation == Status) {
                engine.LoadHostsList();
                engine.FillBlockList();  // as a window does on every read
                EXPECT_EQ(engine.CheckStatus(), found == 68) << c.what;
            } else if (c.operation == Unblock) {
                EXPECT_EQ(engine.Unblock(), c.removed) << c.what;
            } else {
                EXPECT_EQ(
                    engine.Block(c.operation == Block ? HostsEngine::BlockMode::Always
                                                      : HostsEngine::BlockMode::UnlessBlocked),
                    c.expected.has_value())
                    << c.what;
            }
            EXPECT_EQ(engine.FoundCount(), found) << c.what;
            EXPECT_EQ(std::pair(blockedCalls, unblockedCalls),
                      std::pair(found == 68 ? 1 : 0, found == 68 ? 0 : 1))
                << c.what;
            EXPECT_EQ(test::readFile(hosts), c.expected.value_or(c.original)) << c.what;
            EXPECT_EQ(written, c.expected.has_value()) << c.what;
            // No file of ours is left; the second name saw the change made in place.
            EXPECT_EQ(test::listing(dir.path()).size(), inPlace ? 2u : 1u) << c.what;
            if (inPlace) {
                EXPECT_EQ(test::readFile(dir.file("link")), test::readFile(hosts)) << c.what;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothLineEnds, OperationsTest,
                         ::testing::Values(LineEnd::CrLf, LineEnd::Lf), [](const auto& info) {
                             return info.param == LineEnd::CrLf ? "CrLf" : "Lf";
                         });

TEST(Failures, FailedOperationLeavesTheFileAndTheListsAsTheyWere) {
    test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, "a\n\n" + test::allEntries());
    HostsEngine engine(hosts, LineEnd::Lf);
    engine.setBeforeReplaceHook([] { throw std::runtime_error("interrupted"); });
    for (auto operation :
         {+[](HostsEngine& e) { e.Unblock(); }, +[](HostsEngine& e) { e.Block(); }}) {
        EXPECT_THROW(operation(engine), std::runtime_error);
        EXPECT_EQ(engine.FoundCount(), 68u);
    }
    EXPECT_EQ(test::readFile(hosts), "a\n\n" + test::allEntries());
    EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"hosts"});
}

// Another program's edit made while we write is never lost: made before our
// final check, the operation starts again; made after it, our new file
// displaces it, and the lines it added are added to our file (block entries
// and empty lines aside: the operation decides those). A program that
// changes the file on every attempt wins: after three the operation gives
// up, and has written nothing.
TEST(Failures, EditsOfOtherProgramsDuringTheWriteSurvive) {
    const std::string added = "added by another program\n";
    const std::string www = std::string(BlockEntries()[0]) + "\n";
    const auto appendLines = [&](const std::string& hosts) {
        std::ofstream(test::pathOf(hosts), std::ios::app | std::ios::binary) << added;
    };
    const auto renameIn = [](const std::string& text) {  // as sed -i does
        return [text](const std::string& hosts) {
            test::writeFile(hosts + ".sed", text);
            std::filesystem::rename(test::pathOf(hosts + ".sed"), test::pathOf(hosts));
        };
    };
    const auto rewriteInPlace = [](const std::string& hosts) {  // same size, its own time
        std::ofstream(test::pathOf(hosts), std::ios::in | std::ios::binary) << "b";
        std::filesystem::last_write_time(test::pathOf(hosts), {});
    };
    const std::string entries = test::allEntries();
    const struct {
        const char* what;
        WriteStep step;
        std::function<void(const std::string&)> edit;
        bool block;
        std::string expected;
        bool hardLink = false;
        bool everyTime = false;  // else only the first time
    } cases[] = {
        {"append before the check", WriteStep::BeforeFinalCheck, appendLines, true,
         "a\n" + added + entries},
        {"append after the check", WriteStep::AfterFinalCheck, appendLines, true,
         "a\n" + entries + added},
        {"new file after the check, block", WriteStep::AfterFinalCheck,
         renameIn("a\n" + added + www + "\n"), true, "a\n" + entries + added},
        {"new file after the check, unblock", WriteStep::AfterFinalCheck,
         renameIn("a\n" + entries + added + www + "\n"), false, "a\n" + added},
        // Lines it kept come not back twice; its line ends are kept, ours
        // follow its unterminated last line.
        {"new file with a line of ours, CR LF and an unterminated line", WriteStep::AfterFinalCheck,
         renameIn("x\r\na\ny"), true, "a\n" + entries + "x\r\ny\n"},
        {"append before the check, in place", WriteStep::BeforeFinalCheck, appendLines, true,
         "a\n" + added + entries, true},
        {"rewritten in place after the check", WriteStep::AfterFinalCheck, rewriteInPlace, true,
         "a\n" + entries + "b\n"},
        {"append before every check", WriteStep::BeforeFinalCheck, appendLines, true,
         "a\n" + added + added + added, false, true},
    };
    for (const auto& c : cases) {
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        test::writeFile(hosts, c.block ? "a\n" : "a\n" + entries);
        if (c.hardLink) {
            std::filesystem::create_hard_link(test::pathOf(hosts), test::pathOf(dir.file("link")));
        }
        HostsEngine engine(hosts, LineEnd::Lf);
        int calls = 0;
        engine.setWriteHook([&](WriteStep step) {
            if (step == c.step && (++calls == 1 || c.everyTime)) {
                c.edit(hosts);
            }
        });
        const auto error =
            test::errorOf([&] { c.block ? (void)engine.Block() : (void)engine.Unblock(); });
        const std::string told = error ? error->what() : "no error";
        EXPECT_NE(told.find(c.everyTime ? "kept changing the file" : "no error"), std::string::npos)
            << c.what;
        EXPECT_EQ(test::readFile(hosts), c.expected) << c.what;
        EXPECT_EQ(engine.FoundCount(), c.block && !c.everyTime ? 68u : 0u) << c.what;
        // Both names of a hard-linked file see the change.
        EXPECT_EQ(test::listing(dir.path()).size(), c.hardLink ? 2u : 1u) << c.what;
        EXPECT_EQ(test::readFile(dir.file(c.hardLink ? "link" : "hosts")), c.expected);
    }
}

TEST(Pieces, SizesReasonsAndCommandsReadAsOneLineForPeople) {
    const std::pair<std::uint64_t, const char*> sizes[] = {
        {0, "0 bytes"},          {1, "1 byte"},
        {1023, "1023 bytes"},    {1024, "1.0 KiB"},
        {1536, "1.5 KiB"},       {1048576, "1.0 MiB"},
        {5ULL << 40, "5.0 TiB"}, {1ULL << 50, "1024.0 TiB"}};
    for (const auto& [bytes, text] : sizes) {
        EXPECT_EQ(DescribeSize(bytes), text);
    }
    const HostsError error(HostsError::Action::Write, HostsError::Kind::Other, "f", 0,
                           "a\r\nb\tc\x7F\x01\xC3\xA9~");
    EXPECT_STREQ(error.what(), "cannot write f: a  b c  \xC3\xA9~");
    // The command that clears a read-only mark pastes into a shell as it is.
    const std::pair<const char*, const char*> commands[] = {
#ifdef _WIN32
        {"C:\\a b\\hosts", "attrib -r \"C:\\a b\\hosts\""},
#else
        // clang-format off
        {"/etc/h-1_2.3+,:@%", "chattr -i -a /etc/h-1_2.3+,:@%"}, {"/a b", "chattr -i -a '/a b'"},
        {"/it's", "chattr -i -a '/it'\\''s'"}, {"/$x;`y`*", "chattr -i -a '/$x;`y`*'"}, {"", "chattr -i -a ''"},
    // clang-format on
#endif
    };
    for (const auto& [path, command] : commands) {
        EXPECT_EQ(ClearReadOnlyCommand(path), command);
    }
}

// Each entry is found as itself; a line that differs from one in any single
// byte (none of them can turn it into another), is a byte longer or shorter,
// or has another address, is none.
TEST(Pieces, EveryEntryIsFoundAndNoLineThatOnlyResemblesOne) {
    std::string lf, crLf, mixed;
    for (std::size_t i = 0; i < BlockEntries().size(); ++i) {
        const std::string entry(BlockEntries()[i]);
        (lf += entry) += "\n";
        (crLf += entry) += "\r\n";
        (mixed += entry) += i < 34 ? "\n" : "\r\n";
        EXPECT_EQ(FindBlockEntry(entry), i) << entry;
        for (std::size_t at = 0; at < entry.size(); ++at) {
            std::string changed = entry;
            changed[at] ^= 0x20;
            EXPECT_EQ(FindBlockEntry(changed), std::nullopt) << changed;
        }
        for (const std::string& other :
             {entry + " ", entry + "\r", entry.substr(0, entry.size() - 1), entry.substr(1),
              "0.0.0.0" + entry.substr(9)}) {
            EXPECT_EQ(FindBlockEntry(other), std::nullopt) << other;
        }
    }
    // Lines too short to be one are not read past their end (the sanitizers
    // would tell): each is alone in memory of its own size.
    const std::string_view fbcdn = "127.0.0.1 fbcdn.com";
    for (std::size_t size = 0; size <= fbcdn.size(); ++size) {
        const auto alone = std::make_unique<char[]>(size);
        std::copy_n(fbcdn.begin(), size, alone.get());
        EXPECT_EQ(FindBlockEntry({alone.get(), size}).value_or(99), size == 19 ? 14u : 99u);
    }
    // A file ends with the entries when its last bytes are all of them, each
    // with the same line end, the first at a line's start.
    std::string nearLf = lf, nearCrLf = crLf;
    nearLf[lf.size() / 2] = '_';
    nearCrLf[crLf.size() - 3] = 'M';
    // clang-format off
    const std::pair<std::string, bool> ends[] = {{lf, true}, {crLf, true}, {"a\n" + lf, true},
        {"a\r\n" + crLf, true}, {"a\r\n" + lf, true}, {"\n\n" + crLf, true}, {"a" + lf, false},
        {"a\r" + crLf, false}, {lf + "\n", false}, {"\n" + lf.substr(1), false}, {"", false},
        {lf.substr(0, lf.size() - 1), false}, {mixed, false}, {"a\n" + nearLf, false}, {"a\n" + nearCrLf, false}};
    // clang-format on
    // Read back a few bytes at a time, as a reader may; a file read back
    // shorter than it was is not taken for one that ends with them.
    const auto inPieces = [](std::string_view text) -> ReadAt {
        return [read = MemoryReader(text)](std::uint64_t at, char* data, std::size_t room) {
            return read(at, data, std::min<std::size_t>(room, 3));
        };
    };
    for (const auto& [text, expected] : ends) {
        EXPECT_EQ(EndsWithBlockEntries(inPieces(text), text.size()), expected) << text.size();
    }
    EXPECT_FALSE(EndsWithBlockEntries(MemoryReader(lf), lf.size() + 1));
}

// The digest is stored in recovery records and in the names of long files'
// copies: it must not change between versions.
TEST(Pieces, DigestIsFixedAndLongNamesGetAShortStemOfWholeCharacters) {
    const std::string text = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    const std::pair<std::size_t, std::uint64_t> known[] = {
        {0, 0x3FDF455F9DCF1E62ULL},  {1, 0x46E881285104471DULL},  {7, 0xB98525B86FDAEACDULL},
        {8, 0xBC0E564998A53C70ULL},  {16, 0x2022C491A309B7E2ULL}, {31, 0xFA3892EEB225F63AULL},
        {32, 0xBF7C9DBE16B5C6E2ULL}, {33, 0x0F269F9AD8FC69B4ULL}, {40, 0x1B3CE041C106B50BULL}};
    for (const auto& [length, digest] : known) {
        const std::string_view bytes = std::string_view(text).substr(0, length);
        EXPECT_EQ(detail::DigestOf(bytes), digest) << length;
    }
    // A name too long for our additions keeps its first 198 bytes, cut at the
    // start of a character, then "~" and 16 hex digits of the whole name's
    // digest.
    const std::string accented = "a" + test::joined(std::vector<std::string>(150, "\xC3\xA9"), "");
    const std::string ascii(300, 'n'), fits(215, 'n');
    EXPECT_EQ(detail::StemOf(fits), fits);
    for (const auto& [name, kept] : {std::pair(ascii, 198), std::pair(accented, 197)}) {
        const std::string stem = detail::StemOf(name);
        EXPECT_EQ(stem.substr(0, kept + 1), name.substr(0, kept) + "~");
        EXPECT_EQ(stem.size(), kept + 17u);
    }
}

}  // namespace
}  // namespace hushgate
