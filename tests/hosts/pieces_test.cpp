// The small pieces the engine's messages and its files beside the hosts file
// are made of: sizes and reasons for people, the record's digest, the names
// of our files.

#include <gtest/gtest.h>

#include <cstdint>

#include "hosts_error.h"
#include "hosts_recovery.h"

namespace hushgate {
namespace {

TEST(Pieces, SizesAndReasonsReadAsOneLineForPeople) {
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
}

// The command that clears a read-only mark pastes into a shell as it is.
TEST(Pieces, ClearReadOnlyCommandQuotesWhatTheShellNeeds) {
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

// The digest is stored in recovery records and in the names of long files'
// copies: it must not change between versions.
TEST(Pieces, DigestIsFixed) {
    const std::string text = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    const std::pair<std::size_t, std::uint64_t> known[] = {
        {0, 0x3FDF455F9DCF1E62ULL},  {1, 0x46E881285104471DULL},  {7, 0xB98525B86FDAEACDULL},
        {8, 0xBC0E564998A53C70ULL},  {16, 0x2022C491A309B7E2ULL}, {31, 0xFA3892EEB225F63AULL},
        {32, 0xBF7C9DBE16B5C6E2ULL}, {33, 0x0F269F9AD8FC69B4ULL}, {40, 0x1B3CE041C106B50BULL}};
    for (const auto& [length, digest] : known) {
        const std::string_view bytes = std::string_view(text).substr(0, length);
        EXPECT_EQ(detail::DigestOf(bytes), digest) << length;
    }
}

// A name too long for our additions keeps its first 198 bytes, cut at the
// start of a character, then "~" and 16 hex digits of the whole name's digest.
TEST(Pieces, LongNamesGetAShortStemOfWholeCharacters) {
    std::string accented = "a";
    for (int i = 0; i < 150; ++i) {
        accented += "\xC3\xA9";
    }
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
