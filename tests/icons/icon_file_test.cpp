// The .ico header put in front of an icon image taken from a PE file.

#include "icon_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "icon_file_builder.h"

namespace hushgate {
namespace {

using test::SolidFrame;
using Bytes = std::vector<std::uint8_t>;

TEST(IconFile, PutsOneDirectoryEntryInFrontOfTheImage) {
    std::ifstream in(HUSHGATE_UI_RESOURCES "/PNG_0.png", std::ios::binary);
    const Bytes png{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Bytes fourBits = SolidFrame(16, 16, 32, 0);
    fourBits[14] = 4;  // a 4-bit image has 16 palette colours
    const struct {
        Bytes image;
        Bytes entry;  // width, height, colours, reserved, planes, bits per pixel
    } rows[] = {
        {SolidFrame(16, 32, 32, 0xFF3B5998),
         {16, 32, 0, 0, 1, 0, 32, 0}},  // height without the mask rows
        {SolidFrame(256, 256, 32, 0), {0, 0, 0, 0, 1, 0, 32, 0}},
        {fourBits, {16, 16, 16, 0, 1, 0, 4, 0}},
        {png, {16, 16, 0, 0, 1, 0, 32, 0}},  // 8 bits of red, green, blue and alpha
    };
    for (const auto& row : rows) {
        const Bytes file = MakeIconFile(row.image);
        ASSERT_EQ(file.size(), 22 + row.image.size());
        EXPECT_EQ(Bytes(file.begin(), file.begin() + 6), (Bytes{0, 0, 1, 0, 1, 0}));
        EXPECT_EQ(Bytes(file.begin() + 6, file.begin() + 14), row.entry);
        const auto size = static_cast<std::uint32_t>(row.image.size());
        EXPECT_EQ(Bytes(file.begin() + 14, file.begin() + 22),
                  (Bytes{std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16), 0,
                         22, 0, 0, 0}));  // the image follows at once
        EXPECT_TRUE(std::equal(row.image.begin(), row.image.end(), file.begin() + 22));
    }
}

TEST(IconFile, RefusesWhatCannotBeAnIconImage) {
    const auto good = SolidFrame(16, 16, 32, 0);
    auto with = [&](std::size_t at, std::uint32_t value, int bytes) {
        auto image = good;
        for (int i = 0; i < bytes; ++i) {
            image[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return image;
    };
    const struct {
        const char* what;
        Bytes image;
    } bad[] = {
        {"nothing", {}},
        {"header cut short", Bytes(good.begin(), good.begin() + 39)},
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
         Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}},
    };
    for (const auto& c : bad) {
        EXPECT_FALSE(DescribeIconImage(c.image)) << c.what;
        EXPECT_TRUE(MakeIconFile(c.image).empty()) << c.what;
    }
}

}  // namespace
}  // namespace hushgate
