// Reading icon and cursor directories and choosing the frame for a list size.

#include "icon_directory.h"

#include <gtest/gtest.h>

#include "icon_file_builder.h"

using namespace hushgate::menuimage;
using hushgate::test::ByteVector;
using hushgate::test::IconFile;
using hushgate::test::PutLe16;
using hushgate::test::PutLe32;
using hushgate::test::SolidFrame;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;

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

TEST(LooksLikeIconDirectory, IconsAndCursorsByTheirTypeByte) {
    EXPECT_TRUE(LooksLikeIconDirectory(ByteVector{0, 0, 1}));
    EXPECT_TRUE(LooksLikeIconDirectory(ByteVector{0, 0, 2, 0, 1, 0}));
    EXPECT_FALSE(LooksLikeIconDirectory(ByteVector{0, 0, 3}));
    EXPECT_FALSE(LooksLikeIconDirectory(ByteVector{0, 0}));
    EXPECT_FALSE(LooksLikeIconDirectory(ByteVector{}));
}

TEST(LooksLikeIconDirectory, BitmapFileWhoseSizeEndsInOneOrTwoIsNoDirectory) {
    // "BM" then the file size, 0x0201 and 0x0102 bytes: the third byte is 1 or 2.
    EXPECT_FALSE(LooksLikeIconDirectory(ByteVector{'B', 'M', 1, 2, 0, 0}));
    EXPECT_FALSE(LooksLikeIconDirectory(ByteVector{'B', 'M', 2, 1, 0, 0}));
}

TEST(ReadIconDirectory, ReadsEveryEntry) {
    const ByteVector file = threeFrameIcon();
    const auto entries = ReadIconDirectory(file);
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ((*entries)[1].width, 32);
    EXPECT_EQ((*entries)[1].height, 32);
    EXPECT_EQ((*entries)[1].bitCount, 32);
    EXPECT_EQ((*entries)[2].bitCount, 8);
    EXPECT_EQ((*entries)[0].imageOffset, 6u + 3 * 16);
    EXPECT_EQ((*entries)[0].bytesInRes, SolidFrame(16, 16, 32, kRed).size());
}

TEST(ReadIconDirectory, CountBelowOneIsRejected) {
    ByteVector file = threeFrameIcon();
    PutLe16(file, 4, 0);
    EXPECT_FALSE(ReadIconDirectory(file).has_value());
    PutLe16(file, 4, 0x8000);  // negative as a signed 16-bit number
    EXPECT_FALSE(ReadIconDirectory(file).has_value());
}

TEST(ReadIconDirectory, DirectoryPointingPastItsEndIsRejected) {
    // The head promises three entries; the bytes hold one and a half.
    ByteVector file = threeFrameIcon();
    file.resize(6 + 16 + 8);
    EXPECT_FALSE(ReadIconDirectory(file).has_value());
    EXPECT_FALSE(IconFromBytes(file, 16, 16).has_value());
    // A count far beyond the bytes.
    ByteVector head{0, 0, 1, 0, 0xFF, 0x7F};
    EXPECT_FALSE(ReadIconDirectory(head).has_value());
    EXPECT_FALSE(ReadIconDirectory(ByteVector{0, 0, 1, 0, 1}).has_value());
}

TEST(ChooseIconEntry, GreatestBitCountFirst) {
    const std::vector<IconDirEntry> entries = {entry(16, 16, 8), entry(48, 48, 8),
                                               entry(32, 32, 32)};
    EXPECT_EQ(ChooseIconEntry(entries, 48, 48), 2u);
    EXPECT_EQ(ChooseIconEntry(entries, 256, 256), 2u);
    // The only 32-bit entry is too large for a 16 x 16 list: nothing, even
    // though a 16 x 16 entry with fewer bits exists.
    EXPECT_FALSE(ChooseIconEntry(entries, 16, 16).has_value());
}

TEST(ChooseIconEntry, LargestSumNotAboveTheListsSum) {
    const std::vector<IconDirEntry> entries = {entry(16, 16, 32), entry(32, 32, 32),
                                               entry(24, 24, 32), entry(48, 48, 32)};
    EXPECT_EQ(ChooseIconEntry(entries, 16, 16), 0u);
    EXPECT_EQ(ChooseIconEntry(entries, 24, 24), 2u);
    EXPECT_EQ(ChooseIconEntry(entries, 40, 40), 1u);
    // Only the sum counts: 20 x 12 has the sum of 16 x 16.
    EXPECT_EQ(ChooseIconEntry(entries, 20, 12), 0u);
    EXPECT_FALSE(ChooseIconEntry(entries, 15, 16).has_value());
}

TEST(ChooseIconEntry, TiesKeepTheEarlierEntry) {
    const std::vector<IconDirEntry> entries = {entry(16, 32, 32), entry(32, 16, 32),
                                               entry(24, 24, 32)};
    EXPECT_EQ(ChooseIconEntry(entries, 24, 24), 0u);
}

TEST(ChooseIconEntry, SumOfZeroIsNeverChosen) {
    // A stored 0 stands for 256 in the file but counts as 0 here.
    const std::vector<IconDirEntry> entries = {entry(0, 0, 32)};
    EXPECT_FALSE(ChooseIconEntry(entries, 16, 16).has_value());
    EXPECT_FALSE(ChooseIconEntry(entries, 0, 0).has_value());
    EXPECT_FALSE(ChooseIconEntry(std::vector<IconDirEntry>{}, 16, 16).has_value());
}

TEST(IconFromBytes, SixteenListGetsTheSixteenBy32BitFrame) {
    const auto frame = IconFromBytes(threeFrameIcon(), 16, 16);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->width, 16);
    EXPECT_EQ(frame->height, 16);
    EXPECT_EQ(frame->argb.front(), kRed);
}

TEST(IconFromBytes, FortyEightListGetsTheThirtyTwoBy32BitFrame) {
    // The 48 x 48 frame has fewer bits per pixel.
    const auto frame = IconFromBytes(threeFrameIcon(), 48, 48);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->width, 32);
    EXPECT_EQ(frame->argb.front(), kGreen);
}

TEST(IconFromBytes, CursorsAreReadAsIcons) {
    const ByteVector cursor = IconFile({{16, 16, 0, SolidFrame(16, 16, 32, kBlue)}}, 2);
    const auto frame = IconFromBytes(cursor, 16, 16);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->argb.back(), kBlue);
}

TEST(IconFromBytes, ChosenDataOutsideTheBytesIsRejected) {
    const ByteVector file = threeFrameIcon();
    ByteVector pastEnd = file;
    PutLe32(pastEnd, 6 + 12, static_cast<std::uint32_t>(file.size()));  // frame 0's offset
    EXPECT_FALSE(IconFromBytes(pastEnd, 16, 16).has_value());

    ByteVector tooLong = file;
    PutLe32(tooLong, 6 + 8, static_cast<std::uint32_t>(file.size()));  // frame 0's size
    EXPECT_FALSE(IconFromBytes(tooLong, 16, 16).has_value());

    // Offset plus size wraps round in 32 bits.
    ByteVector wraps = file;
    PutLe32(wraps, 6 + 12, 0xFFFFFFF0u);
    PutLe32(wraps, 6 + 8, 0x20u);
    EXPECT_FALSE(IconFromBytes(wraps, 16, 16).has_value());

    ByteVector empty = file;
    PutLe32(empty, 6 + 8, 0);
    EXPECT_FALSE(IconFromBytes(empty, 16, 16).has_value());
}

TEST(IconFromBytes, OnlyTheChosenFramesDataMatters) {
    // Frame 2 (not chosen for a 16 x 16 list) points far past the end.
    ByteVector file = threeFrameIcon();
    PutLe32(file, 6 + 2 * 16 + 12, 0x7FFFFFFFu);
    EXPECT_TRUE(IconFromBytes(file, 16, 16).has_value());
}

TEST(IconFromBytes, LastFrameCutShortIsRejected) {
    ByteVector file = threeFrameIcon();
    file.pop_back();
    // 48 x 48 at 8 bits is the last frame, but a 48 list chooses 32 x 32.
    EXPECT_TRUE(IconFromBytes(file, 48, 48).has_value());
    const ByteVector single = IconFile({{16, 16, 32, SolidFrame(16, 16, 32, kRed)}});
    const ByteVector cut(single.begin(), single.end() - 1);
    EXPECT_FALSE(IconFromBytes(cut, 16, 16).has_value());
}

TEST(IconFromBytes, NotADirectory) {
    EXPECT_FALSE(IconFromBytes(ByteVector{}, 16, 16).has_value());
    ByteVector file = threeFrameIcon();
    file[0] = 'B';
    EXPECT_FALSE(IconFromBytes(file, 16, 16).has_value());
}
