#include "colour_matrix.h"

#include <algorithm>
#include <cmath>

namespace hushgate {

std::uint32_t ApplyColourMatrix(std::uint32_t pixel, const ColourMatrix& matrix) {
    const auto component = [pixel](int shift) {
        return static_cast<double>((pixel >> shift) & 0xFF);
    };
    // Worked on the 0..255 scale, so that 70 % of alpha 245 is exactly 171.5.
    const double in[5] = {component(16), component(8), component(0), component(24), 255.0};
    int out[4];
    for (int column = 0; column < 4; ++column) {
        double sum = 0;
        for (int row = 0; row < 5; ++row) {
            sum += in[row] * matrix[row][column];
        }
        out[column] = static_cast<int>(std::lround(std::clamp(sum, 0.0, 255.0)));
    }
    return static_cast<std::uint32_t>(out[3]) << 24 | static_cast<std::uint32_t>(out[0]) << 16 |
           static_cast<std::uint32_t>(out[1]) << 8 | static_cast<std::uint32_t>(out[2]);
}

}  // namespace hushgate
