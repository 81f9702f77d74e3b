#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace hushgate {

// What an icon image's own header says about it. An icon image, as a PE file
// stores it (resource type 3), is either a device-independent bitmap whose
// height counts the colour rows and the mask rows, or a whole PNG file.
struct IconImageInfo {
    bool isPng = false;
    int width = 0;     // 1 to 256
    int height = 0;    // 1 to 256 (for a bitmap: half its stored height)
    int bitCount = 0;  // bits per pixel
};

// Reads the BITMAPINFOHEADER or the PNG IHDR chunk at the start of `image`;
// nothing when it is neither, or when the size or depth cannot be an icon's.
std::optional<IconImageInfo> DescribeIconImage(std::span<const std::uint8_t> image);

// An .ico file holding `image` alone: the icon directory and one entry whose
// width, height and depth come from DescribeIconImage, then the image bytes.
// Empty when DescribeIconImage finds nothing. An icon image on its own is not
// a file any image reader knows; with this header in front it is.
std::vector<std::uint8_t> MakeIconFile(std::span<const std::uint8_t> image);

}  // namespace hushgate
