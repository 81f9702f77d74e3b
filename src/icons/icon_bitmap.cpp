#include "icon_bitmap.h"

#include <algorithm>
#include <array>

#include "byte_reader.h"

namespace hushgate::menuimage {

namespace {

constexpr std::size_t kInfoHeaderSize = 40;  // the smallest header an icon frame may carry
constexpr std::uint32_t kUncompressed = 0;

// Rows of a bitmap are padded to whole 32-bit words.
std::uint64_t rowStride(std::uint64_t width, std::uint64_t bits) {
    return (width * bits + 31) / 32 * 4;
}

std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r << 16) | (g << 8) | b;
}

// The colour (no alpha) of pixel x of one colour row.
std::uint32_t colourAt(Bytes row, int x, int bits, std::span<const std::uint32_t> palette) {
    switch (bits) {
        case 1:
        case 4:
        case 8: {
            const int perByte = 8 / bits;
            const int shift = 8 - bits * (x % perByte + 1);
            const std::size_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
            // An index past a short palette shows black rather than reading on.
            return index < palette.size() ? palette[index] : 0;
        }
        case 16: {  // 5 bits each of red, green and blue
            const std::uint16_t v = ReadLittleEndian16(row, static_cast<std::size_t>(x) * 2);
            const auto five = [](std::uint32_t c) { return (c << 3) | (c >> 2); };
            return rgb(five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
        }
        case 24: {
            const std::size_t at = static_cast<std::size_t>(x) * 3;
            return rgb(row[at + 2], row[at + 1], row[at]);
        }
        default: {  // 32
            const std::size_t at = static_cast<std::size_t>(x) * 4;
            return rgb(row[at + 2], row[at + 1], row[at]);
        }
    }
}

}  // namespace

bool IsPngData(Bytes data) {
    return StartsWithPngSignature(data);
}

std::optional<IconFrame> DecodeIconFrame(Bytes data) {
    if (IsPngData(data)) {
        IconFrame frame;
        frame.isPng = true;
        frame.png = data;
        return frame;
    }
    if (data.size() < kInfoHeaderSize) {
        return std::nullopt;
    }
    const std::uint32_t headerSize = ReadLittleEndian32(data, 0);
    const auto width = static_cast<std::int32_t>(ReadLittleEndian32(data, 4));
    // The stored height covers the colour rows and the mask rows below them.
    const auto doubledHeight = static_cast<std::int32_t>(ReadLittleEndian32(data, 8));
    const int bits = ReadLittleEndian16(data, 14);
    const std::uint32_t compression = ReadLittleEndian32(data, 16);
    const std::uint32_t coloursUsed = ReadLittleEndian32(data, 32);
    if (headerSize < kInfoHeaderSize || headerSize > data.size() || compression != kUncompressed) {
        return std::nullopt;
    }
    if (width < 1 || width > kMaxIconFrameSide || doubledHeight < 2 ||
        doubledHeight > 2 * kMaxIconFrameSide) {
        return std::nullopt;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return std::nullopt;
    }
    const int height = doubledHeight / 2;

    // A palette is required up to 8 bits a pixel; above that an optional
    // one may still sit between header and pixels and must be skipped.
    std::uint64_t paletteCount = coloursUsed;
    if (bits <= 8) {
        const std::uint32_t maxColours = 1u << bits;
        if (coloursUsed > maxColours) {
            return std::nullopt;
        }
        paletteCount = coloursUsed == 0 ? maxColours : coloursUsed;
    }
    const std::uint64_t colourStride = rowStride(static_cast<std::uint64_t>(width), bits);
    const std::uint64_t maskStride = rowStride(static_cast<std::uint64_t>(width), 1);
    const std::uint64_t colourOffset = headerSize + paletteCount * 4;
    const std::uint64_t maskOffset = colourOffset + colourStride * height;
    const std::uint64_t end = maskOffset + maskStride * height;
    if (end > data.size()) {
        return std::nullopt;
    }

    std::vector<std::uint32_t> palette;
    if (bits <= 8) {
        palette.reserve(paletteCount);
        for (std::uint64_t i = 0; i < paletteCount; ++i) {
            const std::size_t at = headerSize + i * 4;
            palette.push_back(rgb(data[at + 2], data[at + 1], data[at]));
        }
    }

    IconFrame frame;
    frame.width = width;
    frame.height = height;
    frame.argb.resize(static_cast<std::size_t>(width) * height);
    // Rows are stored bottom-up; the frame is kept top row first.
    const auto colourRow = [&](int y) {
        return data.subspan(colourOffset + colourStride * (height - 1 - y), colourStride);
    };
    const auto maskRow = [&](int y) {
        return data.subspan(maskOffset + maskStride * (height - 1 - y), maskStride);
    };

    // A 32-bit frame with partial transparency is shown with its own alpha;
    // every other frame takes its transparency from the mask.
    bool partialAlpha = false;
    for (int y = 0; y < height; ++y) {
        const Bytes row = colourRow(y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = colourAt(row, x, bits, palette);
            std::uint32_t alpha = 0;
            if (bits == 32) {
                alpha = row[static_cast<std::size_t>(x) * 4 + 3];
                partialAlpha = partialAlpha || (alpha != 0 && alpha != 255);
            }
            frame.argb[static_cast<std::size_t>(y) * width + x] = (alpha << 24) | colour;
        }
    }
    if (!partialAlpha) {
        for (int y = 0; y < height; ++y) {
            const Bytes mask = maskRow(y);
            for (int x = 0; x < width; ++x) {
                const bool transparent = (mask[x / 8] >> (7 - x % 8)) & 1;
                std::uint32_t& pixel = frame.argb[static_cast<std::size_t>(y) * width + x];
                pixel = (pixel & 0x00FFFFFFu) | (transparent ? 0u : 0xFF000000u);
            }
        }
    }
    return frame;
}

}  // namespace hushgate::menuimage
