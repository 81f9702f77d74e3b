// 5 x 5 colour matrices over not-premultiplied pixels: a pixel is the row
// (red, green, blue, alpha, 1) with components from 0 to 1, and its new value
// is that row times the matrix. Used to ghost list images and to grey the
// images of disabled menu items.
#pragma once

#include <array>
#include <cstdint>

namespace hushgate {

using ColourMatrix = std::array<std::array<double, 5>, 5>;

// Keeps red, green and blue and takes 70 % of the alpha.
inline constexpr ColourMatrix kGhostMatrix = {{
    {1, 0, 0, 0, 0},
    {0, 1, 0, 0, 0},
    {0, 0, 1, 0, 0},
    {0, 0, 0, 0.7, 0},
    {0, 0, 0, 0, 1},
}};

// The luminance grey at half opacity: how a disabled item shows its image.
inline constexpr ColourMatrix kDisabledMatrix = {{
    {0.299, 0.299, 0.299, 0, 0},
    {0.587, 0.587, 0.587, 0, 0},
    {0.114, 0.114, 0.114, 0, 0},
    {0, 0, 0, 0.5, 0},
    {0, 0, 0, 0, 1},
}};

// One pixel (0xAARRGGBB, not premultiplied) through the matrix; each result
// is clamped to 0..255 and rounded to the nearest step, halves upwards.
std::uint32_t ApplyColourMatrix(std::uint32_t pixel, const ColourMatrix& matrix);

}  // namespace hushgate
