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

}  // namespace
}  // namespace hushgate
