#pragma once

#include <QRect>
#include <QSize>

#include "window_layout.h"

namespace hushgate {

// Window layouts are given in twips; at 96 dots per inch 15 twips make a pixel.
constexpr int fromTwips(int twips) {
    return (twips + 7) / 15;
}

inline QSize fromTwips(QSize twips) {
    return {fromTwips(twips.width()), fromTwips(twips.height())};
}

inline QRect fromTwips(QRect twips) {
    return {fromTwips(twips.x()), fromTwips(twips.y()), fromTwips(twips.width()),
            fromTwips(twips.height())};
}

// A rectangle of the shared layout, still in twips.
inline QRect twipsRect(const layout::Rect& twips) {
    return {twips.x, twips.y, twips.width, twips.height};
}

inline QRect fromTwips(const layout::Rect& twips) {
    return fromTwips(twipsRect(twips));
}

}  // namespace hushgate
