#pragma once

// Comparing pictures that went through a QPixmap. Qt keeps a pixmap with
// premultiplied alpha and converts with code chosen for the CPU it runs on
// (SSE4.1, AVX2, AVX-512), so a semi-transparent pixel may come back one step
// off in a channel on one machine and exact on the next.

#include <QImage>
#include <QString>
#include <cstdlib>

namespace hushgate::test {

// Empty when `actual` has the size of `expected` and every channel of every
// pixel is at most one step from it; otherwise the first difference.
inline QString pictureDifference(const QImage& actual, const QImage& expected) {
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage b = expected.convertToFormat(QImage::Format_ARGB32);
    if (b.isNull() || a.size() != b.size()) {
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height());
    }
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int shift = 0; shift < 32; shift += 8) {
                if (std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) > 1) {
                    return QStringLiteral("pixel (%1, %2) is #%3, expected #%4")
                        .arg(x)
                        .arg(y)
                        .arg(p, 8, 16, QLatin1Char('0'))
                        .arg(q, 8, 16, QLatin1Char('0'));
                }
            }
        }
    }
    return {};
}

}  // namespace hushgate::test
