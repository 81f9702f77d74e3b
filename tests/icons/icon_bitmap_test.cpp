// Decoding one icon frame: bitmaps of every depth, their masks and alpha,
// embedded PNGs. Frames that must be refused are files of the fuzz corpus
// (see icon_directory_test.cpp).

#include "icon_bitmap.h"

#include <gtest/gtest.h>

#include "icon_file_builder.h"

using namespace hushgate::menuimage;
using hushgate::test::BitmapFrame;
using hushgate::test::ByteVector;
using hushgate::test::SolidFrame;
using Pixels = std::vector<std::uint32_t>;

TEST(DecodeIconFrame, EveryDepthTopRowFirstWithMaskOrAlpha) {
    Pixels sixteen, many(256, 0);
    for (std::uint32_t i = 0; i < 16; ++i) {
        sixteen.push_back(i * 0x101010);
    }
    many[200] = 0x123456;
    const struct {
        const char* what;
        ByteVector frame;
        Pixels argb;
    } rows[] = {
        {"24 bits, bottom row stored first",
         BitmapFrame(2, 2, 24, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}),
         {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}},
        {"the mask makes pixels transparent",
         BitmapFrame(3, 1, 24, {0xFF102030, 0xFF405060, 0xFF708090}, {}, {false, true, false}),
         {0xFF102030, 0x00405060, 0xFF708090}},
        {"partial alpha is kept, the mask ignored",
         BitmapFrame(2, 1, 32, {0x80FF0000, 0x00000000}, {}, {true, true}),
         {0x80FF0000, 0}},
        {"alpha only 0 or 255: the mask decides",
         BitmapFrame(2, 1, 32, {0x00FF0000, 0x0000FF00}, {}, {false, true}),
         {0xFFFF0000, 0x0000FF00}},
        {"1 bit",
         BitmapFrame(9, 1, 1, {0, 1, 0, 1, 1, 0, 0, 0, 1}, {0x000000, 0xFFFFFF}),
         {0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF000000,
          0xFF000000, 0xFFFFFFFF}},
        {"4 bits", BitmapFrame(3, 1, 4, {15, 1, 7}, sixteen), {0xFFF0F0F0, 0xFF101010, 0xFF707070}},
        {"8 bits", BitmapFrame(1, 1, 8, {200}, many), {0xFF123456}},
        {"an index past a short palette is black",
         BitmapFrame(2, 1, 8, {1, 5}, {0, 0x00FF00}),
         {0xFF00FF00, 0xFF000000}},
        {"16 bits spread five bits to eight",
         BitmapFrame(2, 1, 16, {0xFFFF0000, 0xFF0000FF}),
         {0xFFFF0000, 0xFF0000FF}},
    };
    for (const auto& row : rows) {
        const auto frame = DecodeIconFrame(row.frame);
        ASSERT_TRUE(frame.has_value()) << row.what;
        EXPECT_EQ(frame->argb, row.argb) << row.what;
    }
    const auto largest = DecodeIconFrame(SolidFrame(256, 256, 32, 0xFF336699));
    ASSERT_TRUE(largest && largest->width == 256 && largest->height == 256);
    EXPECT_EQ(largest->argb.back(), 0xFF336699u);
    // An embedded PNG is handed back as it is.
    const ByteVector png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    const auto embedded = DecodeIconFrame(png);
    ASSERT_TRUE(embedded && embedded->isPng);
    EXPECT_EQ(embedded->png.size(), png.size());
}
