// The .ico header put in front of an icon image taken from a PE file.

#include "icon_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "pe_builder.h"

namespace hushgate {
namespace {

using test::DibIcon;

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(IconFile, DescribesA32BitBitmap) {
    const auto image = DibIcon(24, 24, 0xFF3B5998);
    const auto info = DescribeIconImage(image);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->isPng);
    EXPECT_EQ(info->width, 24);
    EXPECT_EQ(info->height, 24);  // not the stored 48, which counts the mask rows
    EXPECT_EQ(info->bitCount, 32);
}

TEST(IconFile, PutsOneIconDirectoryEntryInFront) {
    const auto image = DibIcon(16, 32, 0xFF000000);
    const auto file = MakeIconFile(image);
    ASSERT_EQ(file.size(), 6 + 16 + image.size());
    const std::vector<std::uint8_t> directory(file.begin(), file.begin() + 6);
    EXPECT_EQ(directory, (std::vector<std::uint8_t>{0, 0, 1, 0, 1, 0}));
    // Width, height, palette colours (none at 32 bits), reserved, planes,
    // bits per pixel.
    EXPECT_EQ(file[6], 16);
    EXPECT_EQ(file[7], 32);
    EXPECT_EQ(file[8], 0);
    EXPECT_EQ(file[10] | file[11] << 8, 1);
    EXPECT_EQ(file[12] | file[13] << 8, 32);
    EXPECT_EQ(le32(file, 14), image.size());
    EXPECT_EQ(le32(file, 18), 22u);  // the image follows at once
    EXPECT_TRUE(std::equal(image.begin(), image.end(), file.begin() + 22));
}

TEST(IconFile, Writes256PixelsAsZeroAndCountsPaletteColours) {
    auto image = DibIcon(256, 256, 0);
    auto file = MakeIconFile(image);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file[6], 0);
    EXPECT_EQ(file[7], 0);

    image = DibIcon(16, 16, 0);
    image[14] = 4;  // a 4-bit image has 16 palette colours
    file = MakeIconFile(image);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file[8], 16);
    EXPECT_EQ(file[12], 4);
}

TEST(IconFile, DescribesAPngImage) {
    std::ifstream in(HUSHGATE_UI_RESOURCES "/PNG_0.png", std::ios::binary);
    const std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
    ASSERT_FALSE(png.empty());
    const auto info = DescribeIconImage(png);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->isPng);
    EXPECT_EQ(info->width, 16);
    EXPECT_EQ(info->height, 16);
    EXPECT_EQ(info->bitCount, 32);  // 8 bits, red, green, blue and alpha
    const auto file = MakeIconFile(png);
    EXPECT_EQ(file.size(), 22 + png.size());
}

TEST(IconFile, RefusesWhatCannotBeAnIconImage) {
    const auto good = DibIcon(16, 16, 0);
    auto with = [&](std::size_t at, std::uint32_t value, int bytes) {
        auto image = good;
        for (int i = 0; i < bytes; ++i) {
            image[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return image;
    };
    const struct {
        const char* what;
        std::vector<std::uint8_t> image;
    } bad[] = {
        {"nothing", {}},
        {"header cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + 39)},
        {"an old core header", with(0, 12, 4)},
        {"header longer than the image", with(0, 0xFFFF, 4)},
        {"no width", with(4, 0, 4)},
        {"wider than an icon can be", with(4, 257, 4)},
        {"negative width", with(4, 0xFFFFFFF0u, 4)},
        {"half a row", with(8, 1, 4)},
        {"top-down (icons are stored bottom-up)", with(8, 0xFFFFFFE0u, 4)},
        {"taller than an icon can be", with(8, 2 * 257, 4)},
        {"no such depth", with(14, 7, 2)},
        {"PNG without its IHDR chunk",
         std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}},
    };
    for (const auto& c : bad) {
        EXPECT_FALSE(DescribeIconImage(c.image)) << c.what;
        EXPECT_TRUE(MakeIconFile(c.image).empty()) << c.what;
    }
}

}  // namespace
}  // namespace hushgate
