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

// The numbers of the icon images an icon group lists, in its order: the
// group's data is a directory like an .ico file's (reserved 0, type 1, a
// count), whose 14-byte entries end with an image number instead of an
// offset. Empty when the header is not an icon group's or an entry lies
// outside the data.
std::vector<std::uint16_t> ReadIconGroupMembers(std::span<const std::uint8_t> group);

// A numbered icon image of a library: its number and its width in pixels
// (DescribeIconImage), 0 when its header is not an icon image's.
struct LibraryImage {
    std::uint16_t number = 0;
    int side = 0;
};

// True when a frame `a` pixels wide suits a `wanted`-pixel picture better
// than one `b` wide: it is nearer in size, or as near and smaller (a smaller
// frame keeps a button its margin).
bool NearerSide(int a, int b, int wanted);

// The picture an icon gives a toolbar whose pictures are `side` pixels wide.
struct PickedIcon {
    std::size_t image = 0;            // index into the library's images
    std::vector<std::size_t> frames;  // every usable frame of its icon, `image` among them
};

// One picture per icon from `images` (ascending numbers) and the library's
// icon `groups`, in ascending number order. An icon group is one picture
// drawn at several sizes, so it gives one image: of the images it lists that
// have a size, the one nearest to `side` (NearerSide); its other images are
// left out. An image that no group
// lists stands for itself, whatever its size, so a library of single images
// gives every one of them. Numbers a group lists but the library lacks are
// passed over; an image picked by two groups is given once.
std::vector<PickedIcon> PickIconFrames(std::span<const LibraryImage> images,
                                       std::span<const std::vector<std::uint16_t>> groups,
                                       int side);

}  // namespace hushgate
