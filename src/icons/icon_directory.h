// Icon and cursor directories (.ico / .cur files held in memory): reading the
// directory, choosing the frame the menu image list uses, and handing that
// frame out as pixels or as an embedded PNG. Standard library only, so the
// parsing can be fuzzed and tested without Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace hushgate::menuimage {

using Bytes = std::span<const std::uint8_t>;

// One 16-byte directory entry, as stored (little-endian in the file).
struct IconDirEntry {
    std::uint8_t width = 0;  // 0 stands for 256 in the file, but counts as 0 here
    std::uint8_t height = 0;
    std::uint8_t colorCount = 0;
    std::uint8_t reserved = 0;
    std::uint16_t planes = 0;    // hot-spot x in a cursor directory
    std::uint16_t bitCount = 0;  // hot-spot y in a cursor directory
    std::uint32_t bytesInRes = 0;
    std::uint32_t imageOffset = 0;
};

// The size of the directory head and of each entry that follows it.
inline constexpr std::size_t kIconDirHeadSize = 6;
inline constexpr std::size_t kIconDirEntrySize = 16;

// True when the bytes start like an icon (type 1) or cursor (type 2)
// directory: the type's low byte (the third byte) is 1 or 2 and the reserved
// field before it is 0. The reserved field keeps a bitmap file, whose third
// byte is the low byte of its size, from being taken for a directory.
bool LooksLikeIconDirectory(Bytes bytes);

// The directory's entries. Nothing when the head or any entry lies outside
// the bytes, or the count (a signed 16-bit number) is below 1.
std::optional<std::vector<IconDirEntry>> ReadIconDirectory(Bytes bytes);

// The entry used for a list of width x height images: among the entries with
// the greatest bit count, the one with the largest width + height that does
// not exceed width + height. Ties keep the earlier entry; an entry whose sum
// is 0 is never chosen. Nothing when no entry qualifies.
std::optional<std::size_t> ChooseIconEntry(std::span<const IconDirEntry> entries, int width,
                                           int height);

// A decoded frame: either pixels or the bytes of a PNG file to be decoded by
// an image library.
struct IconFrame {
    bool isPng = false;
    Bytes png;  // isPng: the embedded PNG file, a view into the input bytes
    int width = 0;
    int height = 0;
    // !isPng: width x height pixels, top row first, 0xAARRGGBB, not premultiplied.
    std::vector<std::uint32_t> argb;
};

// Reads the directory, chooses an entry for a width x height list and returns
// its frame. Nothing when the bytes are not an icon or cursor directory
// (LooksLikeIconDirectory), the directory is malformed, no entry qualifies, the
// chosen entry's data does not lie wholly inside the bytes, or that data is
// not a usable frame. Cursors are read as icons; never reads outside `bytes`.
std::optional<IconFrame> IconFromBytes(Bytes bytes, int width, int height);

}  // namespace hushgate::menuimage
