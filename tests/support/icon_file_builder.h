// Builds icon images and icon and cursor files in memory for the tests
// (standard library only): as icon files and PE files store them.
#pragma once

#include <cstdint>
#include <vector>

namespace hushgate::test {

using ByteVector = std::vector<std::uint8_t>;

// A bitmap frame as an icon file stores it: a 40-byte header (height doubled),
// the palette, the colour rows bottom-up and the 1-bit mask rows.
// `pixels` is top row first: 0xAARRGGBB above 8 bits a pixel (the alpha
// byte is stored only at 32 bits; 16 bits keep 5 bits of each colour), a
// palette index up to 8. `transparent`, if given, is the mask, top row first.
ByteVector BitmapFrame(int width, int height, int bits, const std::vector<std::uint32_t>& pixels,
                       const std::vector<std::uint32_t>& palette = {},
                       const std::vector<bool>& transparent = {});

// A frame of one colour (bits 16, 24 or 32), mask clear.
ByteVector SolidFrame(int width, int height, int bits, std::uint32_t argb);

// One directory entry and the data it points at.
struct IconFileEntry {
    int width;  // 256 is stored as 0
    int height;
    std::uint16_t bitCount;  // hot-spot y in a cursor
    ByteVector data;
};

// A whole file: the head (type 1 icon, 2 cursor), the entries, then their
// data in the same order.
ByteVector IconFile(const std::vector<IconFileEntry>& entries, std::uint16_t type = 1);

// A little-endian write into an existing buffer, to break a file on purpose.
void PutLe32(ByteVector& bytes, std::size_t at, std::uint32_t value);

}  // namespace hushgate::test
