#pragma once

// Numbers and signatures inside file formats held in memory (icon files, PE
// libraries, PNG headers). Standard library only.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace hushgate {

// The first eight bytes of every PNG file.
inline constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                              '\r', '\n', 0x1A, '\n'};

inline bool StartsWithPngSignature(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin());
}

// Unchecked reads: the caller has made sure that the bytes are there.
inline std::uint16_t ReadLittleEndian16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline std::uint32_t ReadLittleEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

inline std::uint32_t ReadBigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 |
           static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 3]);
}

// Bounds-checked little-endian reads at any 64-bit offset, as a file's own
// fields give them: nothing when the number is not wholly inside.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    // True when [offset, offset + length) lies inside the data; never overflows.
    bool holds(std::uint64_t offset, std::uint64_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }
    std::optional<std::uint16_t> u16(std::uint64_t offset) const {
        if (!holds(offset, 2)) {
            return std::nullopt;
        }
        return ReadLittleEndian16(data_, static_cast<std::size_t>(offset));
    }
    std::optional<std::uint32_t> u32(std::uint64_t offset) const {
        if (!holds(offset, 4)) {
            return std::nullopt;
        }
        return ReadLittleEndian32(data_, static_cast<std::size_t>(offset));
    }

private:
    std::span<const std::uint8_t> data_;
};

}  // namespace hushgate
