#include "icon_directory.h"

#include "byte_reader.h"
#include "icon_bitmap.h"

namespace hushgate::menuimage {

bool LooksLikeIconDirectory(Bytes bytes) {
    return bytes.size() >= 3 && bytes[0] == 0 && bytes[1] == 0 && (bytes[2] == 1 || bytes[2] == 2);
}

std::optional<std::vector<IconDirEntry>> ReadIconDirectory(Bytes bytes) {
    if (bytes.size() < kIconDirHeadSize) {
        return std::nullopt;
    }
    const auto count = static_cast<std::int16_t>(ReadLittleEndian16(bytes, 4));
    if (count < 1) {
        return std::nullopt;
    }
    // Every entry must be there, not only the first: a short directory is
    // rejected rather than read past its end.
    const std::size_t n = static_cast<std::size_t>(count);
    if (bytes.size() - kIconDirHeadSize < n * kIconDirEntrySize) {
        return std::nullopt;
    }
    std::vector<IconDirEntry> entries(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = kIconDirHeadSize + i * kIconDirEntrySize;
        IconDirEntry& e = entries[i];
        e.width = bytes[at];
        e.height = bytes[at + 1];
        e.colorCount = bytes[at + 2];
        e.reserved = bytes[at + 3];
        e.planes = ReadLittleEndian16(bytes, at + 4);
        e.bitCount = ReadLittleEndian16(bytes, at + 6);
        e.bytesInRes = ReadLittleEndian32(bytes, at + 8);
        e.imageOffset = ReadLittleEndian32(bytes, at + 12);
    }
    return entries;
}

std::optional<std::size_t> ChooseIconEntry(std::span<const IconDirEntry> entries, int width,
                                           int height) {
    std::uint16_t maxBits = 0;
    for (const IconDirEntry& e : entries) {
        if (e.bitCount > maxBits) {
            maxBits = e.bitCount;
        }
    }
    // 64-bit so that no list size can overflow the sum.
    const long long limit = static_cast<long long>(width) + height;
    std::optional<std::size_t> chosen;
    long long bestSum = 0;  // a sum of 0 is never chosen
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IconDirEntry& e = entries[i];
        const long long sum = static_cast<long long>(e.width) + e.height;
        if (e.bitCount == maxBits && sum > bestSum && sum <= limit) {
            bestSum = sum;
            chosen = i;
        }
    }
    return chosen;
}

std::optional<IconFrame> IconFromBytes(Bytes bytes, int width, int height) {
    if (!LooksLikeIconDirectory(bytes)) {
        return std::nullopt;
    }
    const auto entries = ReadIconDirectory(bytes);
    if (!entries) {
        return std::nullopt;
    }
    const auto chosen = ChooseIconEntry(*entries, width, height);
    if (!chosen) {
        return std::nullopt;
    }
    const IconDirEntry& e = (*entries)[*chosen];
    // The whole of the chosen frame must lie inside the bytes; the sum is
    // formed in 64 bits so that a huge offset cannot wrap round.
    const std::uint64_t end = static_cast<std::uint64_t>(e.imageOffset) + e.bytesInRes;
    if (e.bytesInRes == 0 || end > bytes.size()) {
        return std::nullopt;
    }
    return DecodeIconFrame(bytes.subspan(e.imageOffset, e.bytesInRes));
}

}  // namespace hushgate::menuimage
