#include "colour_matrix.h"

#include <algorithm>
#include <cmath>

namespace hushgate {

QRgb ApplyColourMatrix(QRgb pixel, const ColourMatrix& matrix) {
    // Worked on the 0..255 scale, so that 70 % of alpha 245 is exactly 171.5.
    const double in[5] = {static_cast<double>(qRed(pixel)), static_cast<double>(qGreen(pixel)),
                          static_cast<double>(qBlue(pixel)), static_cast<double>(qAlpha(pixel)),
                          255.0};
    int out[4];
    for (int column = 0; column < 4; ++column) {
        double sum = 0;
        for (int row = 0; row < 5; ++row) {
            sum += in[row] * matrix[row][column];
        }
        out[column] = static_cast<int>(std::lround(std::clamp(sum, 0.0, 255.0)));
    }
    return qRgba(out[0], out[1], out[2], out[3]);
}

QImage ApplyColourMatrix(const QImage& image, const ColourMatrix& matrix) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            line[x] = ApplyColourMatrix(line[x], matrix);
        }
    }
    return result;
}

}  // namespace hushgate
