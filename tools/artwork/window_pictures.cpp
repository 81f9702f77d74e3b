// The main window's pictures (logo, marks, padlocks) and the pointing hands.

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
// Padlocks for the status line.

void paintPadlockBody(QPainter& p, qreal left) {
    const QRectF body(left + 0.5, 7.5, 11, 8);
    p.setPen(QPen(QColor(0xb2, 0x6a, 0x00), 1));
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, QColor(0xff, 0xd5, 0x4f));
    shade.setColorAt(1, QColor(0xff, 0xa0, 0x00));
    p.setBrush(shade);
    p.drawRoundedRect(body, 1.5, 1.5);
    // Keyhole.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4e, 0x34, 0x2e));
    const qreal cx = body.center().x();
    p.drawEllipse(QPointF(cx, 10.6), 1.3, 1.3);
    p.drawRect(QRectF(cx - 0.6, 10.6, 1.2, 2.8));
}

QImage drawPadlock(bool closed, int scale) {
    QImage image = canvas(16 * scale, 16 * scale);
    QPainter p;
    beginPainting(p, image);
    p.scale(scale, scale);
    QPainterPath shackle;
    if (closed) {
        shackle.moveTo(5, 8);
        shackle.lineTo(5, 5);
        shackle.arcTo(QRectF(5, 1.5, 6, 7), 180, -180);
        shackle.lineTo(11, 8);
    } else {
        // Swung open: the left leg stays in the body, the right one is free.
        shackle.moveTo(14.5, 5.5);
        shackle.arcTo(QRectF(8.5, 1, 6, 7), 0, 180);
        shackle.lineTo(8.5, 8);
    }
    p.setPen(QPen(QColor(0x54, 0x6e, 0x7a), 2, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shackle);
    paintPadlockBody(p, closed ? 2 : 0);
    return image;
}

// ---------------------------------------------------------------------------
// Pointing hands.

// The hand of the link pointer icon: 16 rows, its finger tip in column 6.
const std::vector<std::string_view> kIconHand = {
    ".....###...........", "....#oos#..........", "....#oos#..........", "....#oos####.......",
    "....#oos#oos###....", "....#oos#oos#os###.", "....#oos#oos#os#os#", ".##.#oos#oos#os#os#",
    "#oo##oos#oos#os#os#", "#ooo#oooooooooooos#", ".#ooooooooooooooos#", "..#oooooooooooooos#",
    "...#oooooooooooos#.", "....#oooooooooos#..", "....#oooooooooos#..", "....#############..",
};

// The hand of the monochrome cursor: 22 rows, its finger tip in column 6.
const std::vector<std::string_view> kCursorHand = {
    ".....###...........", "....#ooo#..........", "....#ooo#..........", "....#ooo#..........",
    "....#ooo#..........", "....#ooo#..........", "....#ooo####.......", "....#ooo#ooo###....",
    "....#ooo#ooo#oo###.", "....#ooo#ooo#oo#oo#", ".##.#ooo#ooo#oo#oo#", "#oo##ooo#ooo#oo#oo#",
    "#ooo#ooooooooooooo#", ".#oooooooooooooooo#", "..#ooooooooooooooo#", "..#ooooooooooooooo#",
    "...#ooooooooooooo#.", "....#ooooooooooo#..", "....#ooooooooooo#..", "....#############..",
    "....#ooooooooooo#..", "....#############..",
};

QImage drawIconHand() {
    // Finger tip (column 6, row 0) on the centre pixel (16, 16).
    return fromPixelMap(32, 32, 10, 16, kIconHand,
                        {{'.', 0x00000000}, {'#', kBlack}, {'o', kWhite}, {'s', kSilver}});
}

QImage drawCursorHand() {
    // Finger tip at (6, 0), the cursor's hot spot.
    return fromPixelMap(32, 32, 0, 0, kCursorHand,
                        {{'.', 0x00000000}, {'#', kBlack}, {'o', kWhite}});
}

// ---------------------------------------------------------------------------
// Pictures on the main window.

QFont logoFont() {
    const int id = QFontDatabase::addApplicationFont(
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"));
    QString family = QStringLiteral("DejaVu Sans");
    if (id >= 0 && !QFontDatabase::applicationFontFamilies(id).isEmpty())
        family = QFontDatabase::applicationFontFamilies(id).constFirst();
    else
        std::fprintf(stderr,
                     "make_artwork: DejaVuSans-Bold.ttf not found, using the system's bold sans\n");
    QFont font(family);
    font.setBold(true);
    font.setPixelSize(200);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setLetterSpacing(QFont::PercentageSpacing, 96);
    return font;
}

QImage drawLogo(int scale) {
    QImage image = canvas(450 * scale, 130 * scale, kNetworkBlue);
    QPainter p;
    beginPainting(p, image);
    p.scale(scale, scale);
    QPainterPath word;
    word.addText(0, 0, logoFont(), QStringLiteral("facebook"));
    const QRectF bounds = word.boundingRect();
    const qreal wordScale = 330.0 / bounds.width();
    // Centre the word; the box covers ascenders down to the baseline.
    p.translate(225 - bounds.center().x() * wordScale, 65 - bounds.center().y() * wordScale);
    p.scale(wordScale, wordScale);
    p.setBrush(QColor::fromRgb(kWhite));
    p.drawPath(word);
    return image;
}

// The two marks over the logo are single flat colours: JPEG stores colour at
// half resolution, which would smear a thin rim into the white around it.
QImage drawBlockedMark(int scale) {
    QImage image = canvas(22 * scale, 22 * scale, kWhite);
    QPainter p;
    beginPainting(p, image);
    p.scale(scale, scale);
    p.setPen(QPen(QColor::fromRgb(kCrossRed), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 5), QPointF(17, 17));
    p.drawLine(QPointF(5, 17), QPointF(17, 5));
    return image;
}

QImage drawUnblockedMark(int scale) {
    QImage image = canvas(24 * scale, 24 * scale, kWhite);
    QPainter p;
    beginPainting(p, image);
    p.scale(scale, scale);
    QPainterPath tick;
    tick.moveTo(4.5, 12.5);
    tick.lineTo(9.5, 17.5);
    tick.lineTo(19.5, 6.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor::fromRgb(kGreen), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    return image;
}

}  // namespace artwork
