// The icon pictures: menu images, toolbar pictures, the program icon and the
// generic window icons.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QString>
#include <QTextStream>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "artwork.h"

namespace artwork {

// ---------------------------------------------------------------------------
// Small pictures drawn on a 16-unit grid (scaled for larger sizes).

// Red diagonal cross with a darker rim, inside the square [0, 16).
void paintRedCross(QPainter& p, qreal inset, qreal rimWidth, qreal width) {
    const qreal a = inset;
    const qreal b = 16 - inset;
    for (const auto& [colour, w] :
         {std::pair{kCrossRedDark, rimWidth}, std::pair{kCrossRed, width}}) {
        p.setPen(QPen(QColor::fromRgb(colour), w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(a, a), QPointF(b, b));
        p.drawLine(QPointF(a, b), QPointF(b, a));
    }
    p.setPen(Qt::NoPen);
}

QImage drawExitCross() {
    QImage image = canvas(16, 16);
    QPainter p;
    beginPainting(p, image);
    paintRedCross(p, 3.5, 4.2, 2.4);
    return image;
}

QImage drawUpdateArrow() {
    QImage image = canvas(16, 16);
    QPainter p;
    beginPainting(p, image);
    // The bar the arrow points at.
    p.setBrush(QColor::fromRgb(kGreenDark));
    p.drawRoundedRect(QRectF(2, 1, 12, 2.5), 1, 1);
    // The arrow: head and shaft.
    QPainterPath arrow;
    arrow.moveTo(8, 4.5);
    arrow.lineTo(13.5, 10);
    arrow.lineTo(10, 10);
    arrow.lineTo(10, 15);
    arrow.lineTo(6, 15);
    arrow.lineTo(6, 10);
    arrow.lineTo(2.5, 10);
    arrow.closeSubpath();
    p.setBrush(QColor::fromRgb(kGreen));
    p.setPen(QPen(QColor::fromRgb(kGreenDark), 1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.drawPath(arrow);
    return image;
}

void paintFlag(QPainter& p, const FlagShape& shape) {
    p.setBrush(QColor(0x5d, 0x40, 0x37));
    p.drawRoundedRect(shape.pole, shape.poleRadius, shape.poleRadius);
    p.drawEllipse(shape.knob, shape.knobRadius, shape.knobRadius);
    QPainterPath cloth;
    cloth.moveTo(shape.clothStart);
    cloth.cubicTo(shape.top1, shape.top2, shape.topEnd);
    cloth.lineTo(shape.flyEnd);
    cloth.cubicTo(shape.bottom1, shape.bottom2, shape.bottomEnd);
    cloth.closeSubpath();
    p.setBrush(QColor::fromRgb(kGreen));
    p.setPen(QPen(QColor::fromRgb(kGreenDark), shape.outline, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawPath(cloth);
    p.setPen(Qt::NoPen);
}

QImage drawFlag(const FlagShape& shape, int size) {
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    paintFlag(p, shape);
    return image;
}

void paintHouse(QPainter& p, const HouseShape& shape) {
    // Chimney, behind the roof.
    p.setBrush(QColor(0x45, 0x5a, 0x64));
    p.drawRect(shape.chimney);
    p.setBrush(QColor(0xff, 0xe0, 0xb2));
    p.setPen(QPen(QColor(0x8d, 0x6e, 0x63), 1));
    p.drawRect(shape.walls);
    QPolygonF roof;
    roof << shape.eaveLeft << shape.ridge << shape.eaveRight;
    p.setPen(QPen(QColor(0x45, 0x5a, 0x64), shape.roofOutline, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(QColor(0x60, 0x7d, 0x8b));
    p.drawPolygon(roof);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(kCrossRed));
    p.drawRect(shape.door);
    p.setBrush(QColor(0x4f, 0xc3, 0xf7));
    p.drawRect(shape.window);
}

QImage drawHouse(const HouseShape& shape, int size) {
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    paintHouse(p, shape);
    return image;
}

void paintInfo(QPainter& p, const InfoShape& shape) {
    p.setBrush(QColor::fromRgb(kInfoBlue));
    p.setPen(QPen(QColor::fromRgb(kInfoBlueDark), shape.outline));
    p.drawEllipse(shape.centre, shape.radius, shape.radius);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(kWhite));
    p.drawEllipse(shape.dot, shape.dotRadius, shape.dotRadius);
    p.drawRect(shape.stem);
    p.drawRect(shape.serif);
    p.drawRect(shape.foot);
}

QImage drawInfo(const InfoShape& shape, int size) {
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    paintInfo(p, shape);
    return image;
}

// ---------------------------------------------------------------------------
// The network's white lower-case "f" on its blue rounded square: the stem runs
// off the bottom edge, a hook goes to the right on top, then the crossbar.

struct LetterF {
    // The stem's outline: up its left edge, over the hook (a curve) to its
    // end, down and back (a curve) and down the stem's right edge.
    std::array<QPointF, 12> outline;
    QRectF crossbar;
};

// On the main icon's 48-unit grid.
constexpr LetterF kMainIconF{{{{27, 50},
                               {27, 21},
                               {27, 13.5},
                               {31, 9},
                               {38.5, 9},
                               {42, 9},
                               {42, 16},
                               {39.5, 16},
                               {37, 16},
                               {36, 17.3},
                               {36, 20},
                               {36, 50}}},
                             {21, 21, 21, 6}};
// On the 24-pixel toolbar picture.
constexpr LetterF kToolbarF{{{{13.5, 25},
                              {13.5, 10.5},
                              {13.5, 6.8},
                              {15.5, 4.5},
                              {19.3, 4.5},
                              {21, 4.5},
                              {21, 8},
                              {19.8, 8},
                              {18.5, 8},
                              {18, 8.7},
                              {18, 10},
                              {18, 25}}},
                            {10.5, 10.5, 10.5, 3}};

// Fills `square` (corners of `radius`) in the network's blue and the "f",
// scaled by `letterScale` and clipped to the square, in white.
void paintNetworkMark(QPainter& p, const QRectF& square, qreal radius, const LetterF& letter,
                      qreal letterScale) {
    QPainterPath background;
    background.addRoundedRect(square, radius, radius);
    p.setBrush(QColor::fromRgb(kNetworkBlue));
    p.drawPath(background);

    p.save();
    p.setClipPath(background);
    p.scale(letterScale, letterScale);
    const auto& o = letter.outline;
    QPainterPath f;
    f.moveTo(o[0]);
    f.lineTo(o[1]);
    f.cubicTo(o[2], o[3], o[4]);
    f.lineTo(o[5]);
    f.lineTo(o[6]);
    f.lineTo(o[7]);
    f.cubicTo(o[8], o[9], o[10]);
    f.lineTo(o[11]);
    f.closeSubpath();
    f.addRect(letter.crossbar);
    f.setFillRule(Qt::WindingFill);
    p.setBrush(QColor::fromRgb(kWhite));
    p.drawPath(f);
    p.restore();
}

// ---------------------------------------------------------------------------
// The main icon: the network's mark crossed out in red. Drawn on a 48-unit
// grid; most edges sit on multiples of 3 units so they land on whole pixels
// at 48, 32 and 16 pixels.

void paintMainIcon(QPainter& p, int size) {
    // Rounded square, one pixel in from the edge except at 16 pixels.
    const qreal margin = size >= 32 ? 1.0 : 0.0;
    paintNetworkMark(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin), size * 0.17,
                     kMainIconF, size / 48.0);

    // Red cross with a white rim over the lower right.
    struct CrossShape {
        qreal centre, half, rim, stroke;
    };
    const CrossShape shape = size >= 48   ? CrossShape{37.0, 6.5, 9.0, 5.5}
                             : size >= 32 ? CrossShape{24.5, 4.5, 6.5, 3.8}
                                          : CrossShape{12.0, 2.5, 4.0, 2.2};
    const QPointF c(shape.centre, shape.centre);
    const QPointF d1(shape.half, shape.half);
    const QPointF d2(shape.half, -shape.half);
    for (const auto& [colour, w] :
         {std::pair{kWhite, shape.rim}, std::pair{kCrossRed, shape.stroke}}) {
        p.setPen(QPen(QColor::fromRgb(colour), w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c - d1, c + d1);
        p.drawLine(c - d2, c + d2);
    }
}

// The frames of the program icon: 16, 32 or 48 pixels.
QImage drawMainIcon(int size) {
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    paintMainIcon(p, size);
    return image;
}

// The 48-pixel frame's drawing at a larger size, so that it stays sharp.
QImage drawLargeMainIcon(int size) {
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    p.scale(size / 48.0, size / 48.0);
    paintMainIcon(p, 48);
    return image;
}

// The toolbar pictures, drawn on a 24-unit grid at `pixels` pixels: 24 for
// screens at 100 %, 32, 40 and 48 for larger scales, each drawn afresh so
// that no screen gets an enlarged, blurred picture.
QImage drawToolbarPicture(ToolbarPicture which, int pixels) {
    QImage image = canvas(pixels, pixels);
    QPainter p;
    beginPainting(p, image);
    // Only when needed, so the 24-pixel pictures stay exactly as they were.
    if (pixels != 24) {
        p.scale(pixels / 24.0, pixels / 24.0);
    }
    switch (which) {
        case ToolbarPicture::Separator:
            // Never shown: the toolbar's separator takes the icon library's
            // first picture. A plain grey bar, recognisable to anyone who
            // looks into the library.
            p.setBrush(QColor(0x9e, 0x9e, 0x9e));
            p.drawRect(QRectF(11, 2, 2, 20));
            break;
        case ToolbarPicture::Language:
            paintFlag(p, kToolbarFlag);
            break;
        case ToolbarPicture::About:
            paintInfo(p, kToolbarInfo);
            break;
        case ToolbarPicture::Web:
            paintHouse(p, kToolbarHouse);
            break;
        case ToolbarPicture::Network:
            paintNetworkMark(p, QRectF(0.5, 0.5, 23, 23), 4, kToolbarF, 1);
            break;
    }
    return image;
}

// ---------------------------------------------------------------------------
// Generic window icons (the project's default application icon and the
// dialogs' stored window icon). Drawn pixel-exact, no antialiasing.

// Colours of the standard 16-colour Windows palette, for the 4-bit frames.
constexpr QRgb kNavy = 0xff000080;
constexpr QRgb kGrey = 0xff808080;
constexpr QRgb kTeal = 0xff008080;

// frame: outer rectangle; title: height of the title bar in pixels.
void paintGenericWindow(QPainter& p, QRect frame, int title, QRgb titleColour, QRgb clientColour,
                        QRgb edgeColour, QRgb buttonColour) {
    p.fillRect(frame, QColor::fromRgb(edgeColour));
    const QRect inner = frame.adjusted(1, 1, -1, -1);
    p.fillRect(inner, QColor::fromRgb(clientColour));
    p.fillRect(QRect(inner.left(), inner.top(), inner.width(), title),
               QColor::fromRgb(titleColour));
    // A close box at the right end of the title bar, when there is room.
    if (title >= 4) {
        const int box = title - 2;
        p.fillRect(QRect(inner.right() - box, inner.top() + 1, box, box),
                   QColor::fromRgb(buttonColour));
    }
}

QImage drawGenericWindow32Mono() {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    paintGenericWindow(p, QRect(1, 3, 30, 26), 6, kBlack, kWhite, kBlack, kWhite);
    // Two lines of "text" in the client area.
    p.fillRect(QRect(5, 14, 16, 2), QColor::fromRgb(kBlack));
    p.fillRect(QRect(5, 19, 12, 2), QColor::fromRgb(kBlack));
    return image;
}

QImage drawGenericWindow32Colour() {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    paintGenericWindow(p, QRect(1, 3, 30, 26), 6, kNavy, kWhite, kBlack, kSilver);
    p.fillRect(QRect(3, 5, 3, 3), QColor::fromRgb(kSilver));  // system menu box
    p.fillRect(QRect(5, 14, 16, 2), QColor::fromRgb(kGrey));
    p.fillRect(QRect(5, 19, 12, 2), QColor::fromRgb(kGrey));
    p.fillRect(QRect(22, 22, 6, 4), QColor::fromRgb(kTeal));
    return image;
}

QImage drawGenericWindow16Colour() {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    paintGenericWindow(p, QRect(0, 1, 16, 14), 3, kNavy, kWhite, kBlack, kSilver);
    p.fillRect(QRect(3, 7, 8, 1), QColor::fromRgb(kGrey));
    p.fillRect(QRect(3, 10, 6, 1), QColor::fromRgb(kGrey));
    return image;
}

// The dialogs' stored window icon: a small window with a shaded title bar.
QImage drawSmallWindow() {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    const QRect frame(0, 1, 16, 14);
    p.fillRect(frame, QColor(0x37, 0x47, 0x4f));
    const QRect inner = frame.adjusted(1, 1, -1, -1);
    p.fillRect(inner, QColor(0xfa, 0xfa, 0xfa));
    QLinearGradient titleShade(inner.left(), 0, inner.right(), 0);
    titleShade.setColorAt(0, QColor(0x15, 0x65, 0xc0));
    titleShade.setColorAt(1, QColor(0x64, 0xb5, 0xf6));
    p.fillRect(QRect(inner.left(), inner.top(), inner.width(), 3), titleShade);
    p.fillRect(QRect(inner.right() - 2, inner.top() + 1, 2, 1), QColor::fromRgb(kWhite));
    p.fillRect(QRect(3, 7, 7, 1), QColor(0xb0, 0xbe, 0xc5));
    p.fillRect(QRect(3, 9, 9, 1), QColor(0xb0, 0xbe, 0xc5));
    p.fillRect(QRect(3, 11, 5, 1), QColor(0xb0, 0xbe, 0xc5));
    return image;
}

}  // namespace artwork
