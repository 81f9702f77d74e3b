#include "icon_file.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "byte_reader.h"

namespace hushgate {

namespace {

constexpr std::size_t kBitmapInfoHeaderSize = 40;
constexpr std::size_t kIconDirectorySize = 6;
constexpr std::size_t kIconEntrySize = 16;
constexpr int kMaxIconSide = 256;  // an icon directory entry cannot say more

bool isIconSide(std::int64_t pixels) {
    return pixels >= 1 && pixels <= kMaxIconSide;
}

std::optional<IconImageInfo> describePng(std::span<const std::uint8_t> image) {
    // Signature, then the IHDR chunk: length 13, type, width, height, depth, colour type.
    if (image.size() < 26 || ReadBigEndian32(image, 8) != 13 ||
        std::memcmp(image.data() + 12, "IHDR", 4) != 0) {
        return std::nullopt;
    }
    const std::int64_t width = ReadBigEndian32(image, 16);
    const std::int64_t height = ReadBigEndian32(image, 20);
    const int depth = image[24];
    // Channels per colour type: grey, -, RGB, palette, grey and alpha, -, RGBA.
    constexpr std::array<int, 7> kChannels = {1, 0, 3, 1, 2, 0, 4};
    const int channels = image[25] < kChannels.size() ? kChannels[image[25]] : 0;
    if (channels == 0) {
        return std::nullopt;
    }
    if (!isIconSide(width) || !isIconSide(height) ||
        (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)) {
        return std::nullopt;
    }
    return IconImageInfo{true, static_cast<int>(width), static_cast<int>(height), depth * channels};
}

std::optional<IconImageInfo> describeBitmap(std::span<const std::uint8_t> image) {
    if (image.size() < kBitmapInfoHeaderSize) {
        return std::nullopt;
    }
    // Later, longer versions of the header start the same way.
    const std::uint32_t headerSize = ReadLittleEndian32(image, 0);
    if (headerSize < kBitmapInfoHeaderSize || headerSize > image.size()) {
        return std::nullopt;
    }
    const std::int64_t width = static_cast<std::int32_t>(ReadLittleEndian32(image, 4));
    // The colour rows and the transparency mask rows, one above the other;
    // bottom-up, so never negative.
    const std::int64_t storedHeight = static_cast<std::int32_t>(ReadLittleEndian32(image, 8));
    const int bitCount = ReadLittleEndian16(image, 14);
    if (!isIconSide(width) || !isIconSide(storedHeight / 2)) {
        return std::nullopt;
    }
    constexpr std::array<int, 6> kDepths = {1, 4, 8, 16, 24, 32};
    if (std::find(kDepths.begin(), kDepths.end(), bitCount) == kDepths.end()) {
        return std::nullopt;
    }
    return IconImageInfo{false, static_cast<int>(width), static_cast<int>(storedHeight / 2),
                         bitCount};
}

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

std::optional<IconImageInfo> DescribeIconImage(std::span<const std::uint8_t> image) {
    if (StartsWithPngSignature(image)) {
        return describePng(image);
    }
    return describeBitmap(image);
}

std::vector<std::uint8_t> MakeIconFile(std::span<const std::uint8_t> image) {
    const auto info = DescribeIconImage(image);
    // The entry's size field is 32 bits wide.
    if (!info || image.size() > UINT32_MAX - kIconDirectorySize - kIconEntrySize) {
        return {};
    }
    std::vector<std::uint8_t> file;
    file.reserve(kIconDirectorySize + kIconEntrySize + image.size());
    putLittleEndian(file, 0, 2);  // reserved
    putLittleEndian(file, 1, 2);  // an icon, not a cursor
    putLittleEndian(file, 1, 2);  // one image
    // 256 pixels is written as 0: the field is one byte.
    file.push_back(static_cast<std::uint8_t>(info->width % kMaxIconSide));
    file.push_back(static_cast<std::uint8_t>(info->height % kMaxIconSide));
    file.push_back(info->bitCount < 8 ? static_cast<std::uint8_t>(1u << info->bitCount) : 0);
    file.push_back(0);            // reserved
    putLittleEndian(file, 1, 2);  // colour planes
    putLittleEndian(file, static_cast<std::uint32_t>(info->bitCount), 2);
    putLittleEndian(file, static_cast<std::uint32_t>(image.size()), 4);
    putLittleEndian(file, kIconDirectorySize + kIconEntrySize, 4);  // where the image starts
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

std::vector<std::uint16_t> ReadIconGroupMembers(std::span<const std::uint8_t> group) {
    constexpr std::size_t kGroupEntrySize = 14;
    if (group.size() < kIconDirectorySize || ReadLittleEndian16(group, 0) != 0 ||
        ReadLittleEndian16(group, 2) != 1) {
        return {};
    }
    const std::size_t count = ReadLittleEndian16(group, 4);
    if ((group.size() - kIconDirectorySize) / kGroupEntrySize < count) {
        return {};
    }
    std::vector<std::uint16_t> members;
    for (std::size_t i = 0; i < count; ++i) {
        members.push_back(ReadLittleEndian16(group, kIconDirectorySize + i * kGroupEntrySize + 12));
    }
    return members;
}

bool NearerSide(int a, int b, int wanted) {
    const auto distance = [wanted](int side) {
        return std::pair(std::abs(std::int64_t{side} - wanted), side);
    };
    return distance(a) < distance(b);
}

std::vector<PickedIcon> PickIconFrames(std::span<const LibraryImage> images,
                                       std::span<const std::vector<std::uint16_t>> groups,
                                       int side) {
    std::vector<bool> grouped(images.size());
    std::vector<std::optional<std::vector<std::size_t>>> picked(images.size());
    for (const std::vector<std::uint16_t>& group : groups) {
        std::vector<std::size_t> frames;
        for (const std::uint16_t number : group) {
            // Images are in ascending numbers: a group of thousands of
            // entries in a hostile file costs no more than a search each.
            const auto found = std::lower_bound(
                images.begin(), images.end(), number,
                [](const LibraryImage& image, std::uint16_t n) { return image.number < n; });
            if (found == images.end() || found->number != number) {
                continue;
            }
            const auto index = static_cast<std::size_t>(found - images.begin());
            grouped[index] = true;
            if (found->side > 0) {
                frames.push_back(index);
            }
        }
        if (frames.empty()) {
            continue;
        }
        // A group may list an image more than once; it is one frame.
        std::sort(frames.begin(), frames.end());
        frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
        const std::size_t best =
            *std::min_element(frames.begin(), frames.end(), [&](std::size_t a, std::size_t b) {
                return NearerSide(images[a].side, images[b].side, side);
            });
        if (!picked[best]) {
            picked[best] = std::move(frames);
        }
    }
    std::vector<PickedIcon> result;
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (picked[i]) {
            result.push_back({i, *picked[i]});
        } else if (!grouped[i]) {
            result.push_back({i, {i}});
        }
    }
    return result;
}

}  // namespace hushgate
