// Decoding one icon frame: bitmaps of every depth, their masks and alpha,
// embedded PNGs, and frames that must be refused.

#include "icon_bitmap.h"

#include <gtest/gtest.h>

#include "icon_file_builder.h"

using namespace hushgate::menuimage;
using hushgate::test::BitmapFrame;
using hushgate::test::ByteVector;
using hushgate::test::PutLe16;
using hushgate::test::PutLe32;
using hushgate::test::SolidFrame;

namespace {

IconFrame decode(const ByteVector& data) {
    auto frame = DecodeIconFrame(data);
    EXPECT_TRUE(frame.has_value());
    return frame.value_or(IconFrame{});
}

}  // namespace

TEST(DecodeIconFrame, RowsComeOutTopRowFirst) {
    // 2 x 2 at 24 bits: top row red, green; bottom row blue, white.
    const auto frame =
        decode(BitmapFrame(2, 2, 24, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
    EXPECT_EQ(frame.width, 2);
    EXPECT_EQ(frame.height, 2);
    EXPECT_EQ(frame.argb,
              (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
}

TEST(DecodeIconFrame, MaskMakesPixelsTransparent) {
    const auto frame = decode(
        BitmapFrame(3, 1, 24, {0xFF102030, 0xFF405060, 0xFF708090}, {}, {false, true, false}));
    EXPECT_EQ(frame.argb[0], 0xFF102030u);
    EXPECT_EQ(frame.argb[1] >> 24, 0u);
    EXPECT_EQ(frame.argb[2], 0xFF708090u);
}

TEST(DecodeIconFrame, PartialAlphaIsKeptAndTheMaskIgnored) {
    const auto frame = decode(BitmapFrame(2, 1, 32, {0x80FF0000, 0x00000000}, {}, {true, true}));
    EXPECT_EQ(frame.argb[0], 0x80FF0000u);
    EXPECT_EQ(frame.argb[1], 0x00000000u);
}

TEST(DecodeIconFrame, WithoutPartialAlphaTheMaskDecides) {
    // Alpha only 0 or 255 (here all 0, as older 32-bit icons store it).
    const auto frame = decode(BitmapFrame(2, 1, 32, {0x00FF0000, 0x0000FF00}, {}, {false, true}));
    EXPECT_EQ(frame.argb[0], 0xFFFF0000u);
    EXPECT_EQ(frame.argb[1], 0x0000FF00u);
}

TEST(DecodeIconFrame, PaletteDepths) {
    const std::vector<std::uint32_t> two = {0x000000, 0xFFFFFF};
    auto frame = decode(BitmapFrame(9, 1, 1, {0, 1, 0, 1, 1, 0, 0, 0, 1}, two));
    EXPECT_EQ(frame.argb[1], 0xFFFFFFFFu);
    EXPECT_EQ(frame.argb[2], 0xFF000000u);
    EXPECT_EQ(frame.argb[8], 0xFFFFFFFFu);

    std::vector<std::uint32_t> sixteen;
    for (std::uint32_t i = 0; i < 16; ++i) {
        sixteen.push_back(i * 0x101010);
    }
    frame = decode(BitmapFrame(3, 1, 4, {15, 1, 7}, sixteen));
    EXPECT_EQ(frame.argb, (std::vector<std::uint32_t>{0xFFF0F0F0, 0xFF101010, 0xFF707070}));

    std::vector<std::uint32_t> many(256, 0);
    many[200] = 0x123456;
    frame = decode(BitmapFrame(1, 1, 8, {200}, many));
    EXPECT_EQ(frame.argb[0], 0xFF123456u);
}

TEST(DecodeIconFrame, IndexPastAShortPaletteIsBlack) {
    const auto frame = decode(BitmapFrame(2, 1, 8, {1, 5}, {0x000000, 0x00FF00}));
    EXPECT_EQ(frame.argb[0], 0xFF00FF00u);
    EXPECT_EQ(frame.argb[1], 0xFF000000u);
}

TEST(DecodeIconFrame, SixteenBitsSpreadFiveBitsToEight) {
    const auto frame = decode(BitmapFrame(2, 1, 16, {0xFFFF0000, 0xFF0000FF}));
    EXPECT_EQ(frame.argb[0], 0xFFFF0000u);
    EXPECT_EQ(frame.argb[1], 0xFF0000FFu);
}

TEST(DecodeIconFrame, EmbeddedPngIsHandedBack) {
    const ByteVector png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    const auto frame = decode(png);
    EXPECT_TRUE(frame.isPng);
    EXPECT_EQ(frame.png.size(), png.size());
    EXPECT_TRUE(frame.argb.empty());
}

TEST(DecodeIconFrame, RefusesWhatItCannotRead) {
    const ByteVector good = SolidFrame(4, 4, 32, 0xFF000000);
    ASSERT_TRUE(DecodeIconFrame(good).has_value());

    EXPECT_FALSE(DecodeIconFrame(ByteVector(good.begin(), good.end() - 1)).has_value());
    EXPECT_FALSE(DecodeIconFrame(ByteVector(good.begin(), good.begin() + 39)).has_value());

    const auto broken = [&](std::size_t at, std::uint32_t value, bool wide = true) {
        ByteVector data = good;
        if (wide) {
            PutLe32(data, at, value);
        } else {
            PutLe16(data, at, static_cast<std::uint16_t>(value));
        }
        return DecodeIconFrame(data).has_value();
    };
    EXPECT_FALSE(broken(0, 12));          // header too small
    EXPECT_FALSE(broken(0, 0x10000));     // header larger than the data
    EXPECT_FALSE(broken(4, 0));           // no width
    EXPECT_FALSE(broken(4, 0xFFFFFFFF));  // negative width
    EXPECT_FALSE(broken(4, 257));         // wider than any icon frame
    EXPECT_FALSE(broken(8, 1));           // no room for colour and mask
    EXPECT_FALSE(broken(8, 0xFFFFFFF8));  // top-down
    EXPECT_FALSE(broken(8, 514));         // higher than any icon frame
    EXPECT_FALSE(broken(8, 10));          // more rows than the data holds
    EXPECT_FALSE(broken(14, 2, false));   // no such depth
    EXPECT_FALSE(broken(14, 0, false));
    EXPECT_FALSE(broken(16, 3));           // compressed
    EXPECT_FALSE(broken(32, 0x40000000));  // a palette far past the end

    ByteVector eightBit = BitmapFrame(1, 1, 8, {0}, {0, 0});
    PutLe32(eightBit, 32, 257);  // more colours than 8 bits can index
    EXPECT_FALSE(DecodeIconFrame(eightBit).has_value());
}

TEST(DecodeIconFrame, LargestFrame) {
    const auto frame = decode(SolidFrame(256, 256, 32, 0xFF336699));
    EXPECT_EQ(frame.argb.size(), 256u * 256u);
    EXPECT_EQ(frame.argb.back(), 0xFF336699u);
}
