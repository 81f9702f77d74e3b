#include "icon_file_builder.h"

namespace hushgate::test {

namespace {

void appendLe16(ByteVector& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void appendLe32(ByteVector& out, std::uint32_t v) {
    appendLe16(out, v & 0xFFFF);
    appendLe16(out, v >> 16);
}

std::size_t stride(int width, int bits) {
    return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
}

}  // namespace

void PutLe32(ByteVector& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

ByteVector BitmapFrame(int width, int height, int bits, const std::vector<std::uint32_t>& pixels,
                       const std::vector<std::uint32_t>& palette,
                       const std::vector<bool>& transparent) {
    ByteVector out;
    appendLe32(out, 40);
    appendLe32(out, static_cast<std::uint32_t>(width));
    appendLe32(out, static_cast<std::uint32_t>(height * 2));
    appendLe16(out, 1);  // planes
    appendLe16(out, static_cast<std::uint32_t>(bits));
    for (int i = 0; i < 4; ++i) {  // uncompressed, image size 0 (allowed so), no resolution
        appendLe32(out, 0);
    }
    appendLe32(out, bits <= 8 ? static_cast<std::uint32_t>(palette.size()) : 0);
    appendLe32(out, 0);
    for (const std::uint32_t colour : palette) {
        appendLe32(out, colour & 0x00FFFFFF);  // blue, green, red, 0
    }
    for (int y = height - 1; y >= 0; --y) {
        ByteVector row(stride(width, bits), 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            const std::size_t i = static_cast<std::size_t>(x);
            switch (bits) {
                case 32:
                case 24:
                    for (std::size_t k = 0; k < std::size_t(bits / 8); ++k) {
                        row[i * (bits / 8) + k] = static_cast<std::uint8_t>(p >> (8 * k));
                    }
                    break;
                case 16: {
                    const std::uint32_t v =
                        (((p >> 19) & 31) << 10) | (((p >> 11) & 31) << 5) | ((p >> 3) & 31);
                    row[i * 2] = static_cast<std::uint8_t>(v);
                    row[i * 2 + 1] = static_cast<std::uint8_t>(v >> 8);
                    break;
                }
                default: {
                    const int perByte = 8 / bits;
                    const int shift = 8 - bits * (x % perByte + 1);
                    row[i / perByte] |= static_cast<std::uint8_t>(p << shift);
                }
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = height - 1; y >= 0; --y) {
        ByteVector row(stride(width, 1), 0);
        for (int x = 0; x < width && !transparent.empty(); ++x) {
            if (transparent[static_cast<std::size_t>(y) * width + x]) {
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

ByteVector SolidFrame(int width, int height, int bits, std::uint32_t argb) {
    return BitmapFrame(width, height, bits,
                       std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, argb));
}

ByteVector IconFile(const std::vector<IconFileEntry>& entries, std::uint16_t type) {
    ByteVector out;
    appendLe16(out, 0);
    appendLe16(out, type);
    appendLe16(out, static_cast<std::uint32_t>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const IconFileEntry& e : entries) {
        out.push_back(static_cast<std::uint8_t>(e.width));
        out.push_back(static_cast<std::uint8_t>(e.height));
        out.push_back(0);    // colour count
        out.push_back(0);    // reserved
        appendLe16(out, 1);  // planes
        appendLe16(out, e.bitCount);
        appendLe32(out, static_cast<std::uint32_t>(e.data.size()));
        appendLe32(out, offset);
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const IconFileEntry& e : entries) {
        out.insert(out.end(), e.data.begin(), e.data.end());
    }
    return out;
}

}  // namespace hushgate::test
