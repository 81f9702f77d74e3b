#pragma once

// Comparing pictures that went through a QPixmap. Qt keeps a pixmap with
// premultiplied alpha and converts with code chosen for the CPU it runs on
// (SSE4.1, AVX2, AVX-512), so a semi-transparent pixel may come back one step
// off in a channel on one machine and exact on the next.

#include <QImage>
#include <QString>

namespace hushgate::test {

// Empty when `actual` has the size of `expected` and every channel of every
// pixel is at most one step from it; otherwise what differs first.
inline QString pictureDifference(const QImage& actual, const QImage& expected) {
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage b = expected.convertToFormat(QImage::Format_ARGB32);
    if (b.isNull() || a.size() != b.size()) {
        return QStringLiteral("not the size of the expected picture");
    }
    const uchar* p = a.constBits();
    const uchar* q = b.constBits();
    for (qsizetype i = 0; i < a.sizeInBytes(); ++i) {
        if (qAbs(p[i] - q[i]) > 1) {
            return QStringLiteral("pixel %1: %2 for %3").arg(i / 4).arg(p[i]).arg(q[i]);
        }
    }
    return {};
}

}  // namespace hushgate::test
