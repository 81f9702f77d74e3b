// Reading icon and cursor directories and choosing the frame for a list size.

#include "icon_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "icon_file_builder.h"

using namespace hushgate::menuimage;
using hushgate::test::ByteVector;
using hushgate::test::IconFile;
using hushgate::test::PutLe32;
using hushgate::test::SolidFrame;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

IconDirEntry entry(int width, int height, std::uint16_t bits) {
    IconDirEntry e;
    e.width = static_cast<std::uint8_t>(width);
    e.height = static_cast<std::uint8_t>(height);
    e.bitCount = bits;
    return e;
}

// 16 x 16 and 32 x 32 at 32 bits, 48 x 48 at 8 bits (drawn here at 24 bits
// so that only the directory's bit count tells them apart).
ByteVector threeFrameIcon() {
    return IconFile({{16, 16, 32, SolidFrame(16, 16, 32, kRed)},
                     {32, 32, 32, SolidFrame(32, 32, 32, kGreen)},
                     {48, 48, 8, SolidFrame(48, 48, 24, kBlue)}});
}

}  // namespace

TEST(IconDirectory, IsKnownByItsTypeAndReadWhole) {
    EXPECT_TRUE(LooksLikeIconDirectory(ByteVector{0, 0, 1}));
    EXPECT_TRUE(LooksLikeIconDirectory(ByteVector{0, 0, 2, 0, 1, 0}));
    // "BM" then the file size, whose low byte may be 1 or 2.
    for (const ByteVector& no :
         {ByteVector{0, 0, 3}, ByteVector{0, 0}, ByteVector{}, ByteVector{'B', 'M', 1, 2, 0, 0},
          ByteVector{'B', 'M', 2, 1, 0, 0}}) {
        EXPECT_FALSE(LooksLikeIconDirectory(no));
    }
    const ByteVector file = threeFrameIcon();
    const auto entries = ReadIconDirectory(file);
    ASSERT_TRUE(entries && entries->size() == 3u);
    EXPECT_TRUE((*entries)[1].width == 32 && (*entries)[1].height == 32 &&
                (*entries)[1].bitCount == 32);
    EXPECT_EQ((*entries)[2].bitCount, 8);
    EXPECT_EQ((*entries)[0].imageOffset, 6u + 3 * 16);
    EXPECT_EQ((*entries)[0].bytesInRes, SolidFrame(16, 16, 32, kRed).size());
}

// The greatest bit count first, then the largest width + height not above
// the list's; ties keep the earlier entry; a sum of 0 (a stored 256) never.
TEST(ChooseIconEntry, DepthFirstThenTheLargestThatFits) {
    const std::vector<IconDirEntry> mixed = {entry(16, 16, 8), entry(48, 48, 8), entry(32, 32, 32)};
    const std::vector<IconDirEntry> sizes = {entry(16, 16, 32), entry(32, 32, 32),
                                             entry(24, 24, 32), entry(48, 48, 32)};
    const std::vector<IconDirEntry> ties = {entry(16, 32, 32), entry(32, 16, 32),
                                            entry(24, 24, 32)};
    const std::vector<IconDirEntry> zero = {entry(0, 0, 32)};
    const struct {
        const std::vector<IconDirEntry>& entries;
        int width, height;
        std::optional<std::size_t> chosen;
    } rows[] = {
        {mixed, 48, 48, 2},
        {mixed, 256, 256, 2},
        {mixed, 16, 16, std::nullopt},
        {sizes, 16, 16, 0},
        {sizes, 24, 24, 2},
        {sizes, 40, 40, 1},
        {sizes, 20, 12, 0},
        {sizes, 15, 16, std::nullopt},
        {ties, 24, 24, 0},
        {zero, 16, 16, std::nullopt},
        {zero, 0, 0, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ChooseIconEntry(row.entries, row.width, row.height), row.chosen)
            << row.width << " x " << row.height;
    }
}

TEST(IconFromBytes, DecodesTheChosenFrame) {
    const ByteVector file = threeFrameIcon();
    // A 48 list gets 32 x 32: the 48 x 48 frame has fewer bits per pixel.
    const struct {
        ByteVector bytes;
        int list, width;
        std::uint32_t colour;
    } rows[] = {
        {file, 16, 16, kRed},
        {file, 48, 32, kGreen},
        {IconFile({{16, 16, 0, SolidFrame(16, 16, 32, kBlue)}}, 2), 16, 16, kBlue},  // a cursor
        {ByteVector(file.begin(), file.end() - 1), 48, 32, kGreen},  // the cut frame is not chosen
    };
    for (const auto& row : rows) {
        const auto frame = IconFromBytes(row.bytes, row.list, row.list);
        ASSERT_TRUE(frame.has_value()) << row.list;
        EXPECT_EQ(frame->width, row.width);
        EXPECT_EQ(frame->argb.back(), row.colour);
    }
}

// Damaged files (frames the decoder refuses, chosen frames outside the
// bytes, cut directories) are seeds of the fuzz target, listed in
// corpus-expected.txt with "-": none gives an image; files at a limit are
// listed with the width of the frame they give. Every seed keeps the
// decoder's promises for the main window's list size and a larger one.
TEST(IconFromBytes, TakesTheCorpusAsListed) {
    const std::filesystem::path corpus = HUSHGATE_ICON_CORPUS;
    std::ifstream listed(corpus.parent_path() / "corpus-expected.txt");
    std::map<std::string, std::string> expected;
    for (std::string name, rest; listed >> name && std::getline(listed, rest);) {
        expected[name] = rest;
    }
    ASSERT_GE(expected.size(), 31u);
    for (const auto& file : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(file.path(), std::ios::binary);
        const ByteVector bytes{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        const std::string name = file.path().filename().string();
        for (const int side : {16, 48}) {
            const auto frame = IconFromBytes(bytes, side, side);
            EXPECT_TRUE(!frame || frame->isPng ||
                        frame->argb.size() ==
                            std::size_t(frame->width) * std::size_t(frame->height))
                << name;
        }
        const auto frame = IconFromBytes(bytes, 16, 16);
        const std::string found = frame ? " " + std::to_string(frame->width) : " -";
        EXPECT_TRUE(!expected.count(name) || expected[name] == found) << name << found;
        expected.erase(name);
    }
    EXPECT_TRUE(expected.empty()) << expected.begin()->first << " is missing";
    // Only the chosen frame's data matters: frame 2 (48 x 48) points far past the end.
    ByteVector file = threeFrameIcon();
    PutLe32(file, 6 + 2 * 16 + 12, 0x7FFFFFFFu);
    EXPECT_TRUE(IconFromBytes(file, 16, 16).has_value());
}
