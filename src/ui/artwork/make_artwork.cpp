// make_artwork: draws every bitmap Hushgate carries (menu images, icon frames,
// window pictures and mouse pointers) and writes them into one folder.
//
//   make_artwork OUTPUT_FOLDER
//   make_artwork --toolbar OUTPUT_FOLDER   the pictures of resources.dll
//   make_artwork --desktop OUTPUT_FOLDER   the desktop icons, <size>.png
//
// Finished pictures (PNG_0..PNG_4.png, logo.jpg, blocked.jpg, unblocked.jpg,
// and the window's pictures at twice the size, "*@2x.*") are written as they
// are shipped. Every frame that goes into an .ico or .cur
// file is written as "<file>-<size>-<bits>.png": 32-bit frames as RGBA PNGs,
// 8/4/1-bit frames as palette PNGs that already use at most 255/16/2 opaque
// colours plus one fully transparent entry, so icotool can store them at that
// depth without having to reduce colours itself. make_artwork.sh assembles the
// icon and cursor files from them.
//
// Everything is drawn with QPainter on the offscreen platform; the output does
// not depend on any screen. The only outside input is the DejaVu Sans Bold font
// used for the logo's word.

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

namespace {

// ---------------------------------------------------------------------------
// Colours

constexpr QRgb kNetworkBlue = 0xff3b5998;   // the network's classic blue
constexpr QRgb kCrossRed = 0xffe53935;
constexpr QRgb kCrossRedDark = 0xffb71c1c;
constexpr QRgb kGreen = 0xff43a047;
constexpr QRgb kGreenDark = 0xff2e7d32;
constexpr QRgb kInfoBlue = 0xff1e88e5;
constexpr QRgb kInfoBlueDark = 0xff1565c0;
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;

// 96 dots per inch, stored in every file so no viewer guesses.
constexpr int kDotsPerMeter = 3780;

QString g_outputFolder;
bool g_failed = false;

// ---------------------------------------------------------------------------
// Canvas and output helpers

QImage canvas(int width, int height, QRgb background = 0x00000000)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor::fromRgba(background));
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
}

void beginPainting(QPainter &p, QImage &image, bool antialiased = true)
{
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing, antialiased);
    p.setPen(Qt::NoPen);
}

QString outputPath(const QString &name)
{
    return QDir(g_outputFolder).filePath(name);
}

void report(const QString &name, const QImage &image, bool ok)
{
    QTextStream err(stderr);
    if (!ok) {
        err << "make_artwork: cannot write " << outputPath(name) << "\n";
        g_failed = true;
        return;
    }
    err << "  " << name << "  " << image.width() << "x" << image.height() << "\n";
}

// A 32-bit frame or a finished RGBA PNG: 8 bits per channel, colour type 6.
void writeRgba(const QImage &image, const QString &name)
{
    QImage rgba = image.convertToFormat(QImage::Format_ARGB32);
    rgba.setDotsPerMeterX(kDotsPerMeter);
    rgba.setDotsPerMeterY(kDotsPerMeter);
    QImageWriter writer(outputPath(name), "png");
    report(name, rgba, writer.write(rgba));
}

// Baseline JPEG with three components (no alpha: the picture is opaque).
void writeJpeg(const QImage &image, const QString &name)
{
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    rgb.setDotsPerMeterX(kDotsPerMeter);
    rgb.setDotsPerMeterY(kDotsPerMeter);
    QImageWriter writer(outputPath(name), "jpeg");
    writer.setQuality(95);
    report(name, rgb, writer.write(rgb));
}

// ---------------------------------------------------------------------------
// Palette reduction for the 8, 4 and 1-bit frames.
//
// Icon frames of 8 bits or less have no alpha channel, only a transparency
// mask, so a pixel is either opaque (alpha at least half) with its own colour
// or fully transparent. Opaque colours that do not fit the palette are reduced
// by median cut; the result depends only on the image.

struct Rgb {
    int r, g, b;
};

Rgb split(QRgb c)
{
    return {qRed(c), qGreen(c), qBlue(c)};
}

using Histogram = std::vector<std::pair<QRgb, int>>;   // colour, pixel count

std::vector<QRgb> medianCut(const Histogram &histogram, int maxColours)
{
    std::vector<Histogram> boxes{histogram};
    while (static_cast<int>(boxes.size()) < maxColours) {
        int best = -1;
        int bestRange = 0;
        int bestChannel = 0;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            const Histogram &box = boxes[i];
            if (box.size() < 2)
                continue;
            std::array<int, 3> lo{255, 255, 255};
            std::array<int, 3> hi{0, 0, 0};
            for (const auto &[colour, count] : box) {
                const Rgb c = split(colour);
                const std::array<int, 3> v{c.r, c.g, c.b};
                for (int k = 0; k < 3; ++k) {
                    lo[k] = std::min(lo[k], v[k]);
                    hi[k] = std::max(hi[k], v[k]);
                }
            }
            for (int k = 0; k < 3; ++k) {
                if (hi[k] - lo[k] > bestRange) {
                    bestRange = hi[k] - lo[k];
                    best = i;
                    bestChannel = k;
                }
            }
        }
        if (best < 0)
            break;

        Histogram &box = boxes[best];
        const int shift = 16 - 8 * bestChannel;   // red, green, blue
        std::stable_sort(box.begin(), box.end(), [shift](const auto &a, const auto &b) {
            return ((a.first >> shift) & 0xff) < ((b.first >> shift) & 0xff);
        });
        long total = 0;
        for (const auto &entry : box)
            total += entry.second;
        long running = 0;
        std::size_t cut = 1;
        for (std::size_t i = 0; i + 1 < box.size(); ++i) {
            running += box[i].second;
            cut = i + 1;
            if (running * 2 >= total)
                break;
        }
        Histogram upper(box.begin() + static_cast<long>(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }

    std::vector<QRgb> palette;
    for (const Histogram &box : boxes) {
        long r = 0, g = 0, b = 0, n = 0;
        for (const auto &[colour, count] : box) {
            const Rgb c = split(colour);
            r += long(c.r) * count;
            g += long(c.g) * count;
            b += long(c.b) * count;
            n += count;
        }
        palette.push_back(qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n)));
    }
    return palette;
}

int nearest(const std::vector<QRgb> &palette, QRgb colour)
{
    const Rgb c = split(colour);
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
        const Rgb p = split(palette[i]);
        const int d = (p.r - c.r) * (p.r - c.r) + (p.g - c.g) * (p.g - c.g) + (p.b - c.b) * (p.b - c.b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Returns an 8-bit palette image with at most maxColours opaque colours, plus
// a fully transparent entry 0 when the image has transparent pixels. The
// transparency mask of an icon frame is separate from its palette, so the
// transparent entry does not take a palette slot in the icon; it repeats the
// colour of the first opaque entry so that a tool counting the colour values
// of all pixels (transparent ones included) still counts maxColours at most.
QImage toPalette(const QImage &source, int maxColours)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    std::map<QRgb, int> counts;
    bool anyTransparent = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) < 128)
                anyTransparent = true;
            else
                ++counts[qRgb(qRed(c), qGreen(c), qBlue(c))];
        }
    }

    // A palette image holds 256 entries, one of them the transparent one.
    const int budget = std::min(maxColours, anyTransparent ? 255 : 256);
    std::vector<QRgb> opaque;
    if (static_cast<int>(counts.size()) <= budget) {
        for (const auto &entry : counts)
            opaque.push_back(entry.first);
    } else {
        opaque = medianCut(Histogram(counts.begin(), counts.end()), budget);
    }

    QList<QRgb> table;
    if (anyTransparent)
        table.append(opaque.empty() ? qRgba(0, 0, 0, 0) : (opaque.front() & 0x00ffffff));
    for (QRgb c : opaque)
        table.append(c);
    const int first = anyTransparent ? 1 : 0;

    QImage result(image.size(), QImage::Format_Indexed8);
    result.setColorTable(table);
    result.setDotsPerMeterX(kDotsPerMeter);
    result.setDotsPerMeterY(kDotsPerMeter);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const int index = qAlpha(c) < 128 ? 0 : first + nearest(opaque, qRgb(qRed(c), qGreen(c), qBlue(c)));
            result.setPixel(x, y, static_cast<uint>(index));
        }
    }
    return result;
}

// An icon or cursor frame of 8 bits or less.
void writePaletteFrame(const QImage &image, const QString &name, int bitsPerPixel)
{
    const QImage indexed = toPalette(image, 1 << bitsPerPixel);
    QImageWriter writer(outputPath(name), "png");
    report(name, indexed, writer.write(indexed));
}

// ---------------------------------------------------------------------------
// Pixel maps, for the pointers: one character per pixel.

QImage fromPixelMap(int width, int height, int left, int top, const std::vector<std::string_view> &rows,
                    const std::map<char, QRgb> &colours)
{
    QImage image = canvas(width, height);
    for (const std::string_view row : rows) {
        if (row.size() != rows.front().size() || left + static_cast<int>(row.size()) > width
            || top + static_cast<int>(rows.size()) > height) {
            std::fprintf(stderr, "make_artwork: pixel map does not fit\n");
            std::exit(1);
        }
    }
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
            const auto found = colours.find(rows[y][x]);
            if (found == colours.end()) {
                std::fprintf(stderr, "make_artwork: unknown pixel '%c'\n", rows[y][x]);
                std::exit(1);
            }
            if (qAlpha(found->second) != 0)
                image.setPixel(left + x, top + y, found->second);
        }
    }
    return image;
}

// ---------------------------------------------------------------------------
// Small pictures drawn on a 16-unit grid (scaled for larger sizes).

// Red diagonal cross with a darker rim, inside the square [0, 16).
void paintRedCross(QPainter &p, qreal inset, qreal rimWidth, qreal width)
{
    const qreal a = inset;
    const qreal b = 16 - inset;
    for (const auto &[colour, w] : {std::pair{kCrossRedDark, rimWidth}, std::pair{kCrossRed, width}}) {
        p.setPen(QPen(QColor::fromRgb(colour), w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(a, a), QPointF(b, b));
        p.drawLine(QPointF(a, b), QPointF(b, a));
    }
    p.setPen(Qt::NoPen);
}

QImage drawExitCross()
{
    QImage image = canvas(16, 16);
    QPainter p;
    beginPainting(p, image);
    paintRedCross(p, 3.5, 4.2, 2.4);
    return image;
}

QImage drawUpdateArrow()
{
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

// Green flag on a pole with a knob, its cloth waving.
struct FlagShape {
    QRectF pole;
    qreal poleRadius;
    QPointF knob;
    qreal knobRadius;
    // Top edge from its start over one curve to its end, down the fly, and
    // back along the bottom curve.
    QPointF clothStart, top1, top2, topEnd, flyEnd, bottom1, bottom2, bottomEnd;
    qreal outline;
};

constexpr FlagShape kMenuFlag{{2.5, 1.5, 1.6, 14}, 0.6, {3.3, 1.6}, 1.3,
                              {4.1, 2.6}, {7.5, 0.2}, {10, 5.2}, {14.5, 2.4},
                              {14.5, 9.2}, {10, 12}, {7.5, 7}, {4.1, 9.4}, 1};
constexpr FlagShape kToolbarFlag{{3.5, 2.5, 2.4, 20.5}, 0.9, {4.7, 2.5}, 1.8,
                                 {5.9, 4}, {11, 0.5}, {14.5, 8}, {21.5, 3.8},
                                 {21.5, 14}, {14.5, 18}, {11, 10.5}, {5.9, 14.2}, 1.2};

void paintFlag(QPainter &p, const FlagShape &shape)
{
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
    p.setPen(QPen(QColor::fromRgb(kGreenDark), shape.outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(cloth);
    p.setPen(Qt::NoPen);
}

QImage drawFlag(const FlagShape &shape = kMenuFlag, int size = 16)
{
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    paintFlag(p, shape);
    return image;
}

// A house with a chimney and a red door.
struct HouseShape {
    QRectF chimney, walls;
    QPointF eaveLeft, ridge, eaveRight;
    qreal roofOutline;
    QRectF door, window;
};

constexpr HouseShape kMenuHouse{{11, 2, 2, 4}, {3.5, 7.5, 9, 7}, {0.8, 8.2}, {8, 1.2}, {15.2, 8.2}, 1.6,
                                {7, 10, 3, 5}, {4.5, 9.5, 2, 2}};
constexpr HouseShape kToolbarHouse{{16.5, 3, 3, 6}, {5, 11, 14, 11}, {1.2, 12.2}, {12, 1.8}, {22.8, 12.2}, 2,
                                   {10.5, 15, 4.5, 7}, {6.5, 14, 3, 3}};

QImage drawHouse(const HouseShape &shape = kMenuHouse, int size = 16)
{
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    // Chimney, behind the roof.
    p.setBrush(QColor(0x45, 0x5a, 0x64));
    p.drawRect(shape.chimney);
    p.setBrush(QColor(0xff, 0xe0, 0xb2));
    p.setPen(QPen(QColor(0x8d, 0x6e, 0x63), 1));
    p.drawRect(shape.walls);
    QPolygonF roof;
    roof << shape.eaveLeft << shape.ridge << shape.eaveRight;
    p.setPen(QPen(QColor(0x45, 0x5a, 0x64), shape.roofOutline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x60, 0x7d, 0x8b));
    p.drawPolygon(roof);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(kCrossRed));
    p.drawRect(shape.door);
    p.setBrush(QColor(0x4f, 0xc3, 0xf7));
    p.drawRect(shape.window);
    return image;
}

// Blue round information sign: a white dot over a stem with a serif and a foot.
struct InfoShape {
    QPointF centre;
    qreal radius, outline;
    QPointF dot;
    qreal dotRadius;
    QRectF stem, serif, foot;
};

constexpr InfoShape kMenuInfo{{8, 8}, 7.3, 1, {8, 4.6}, 1.35,
                              {7, 6.8, 2, 5.2}, {6, 6.8, 1.2, 1.2}, {6, 11.2, 4, 1.2}};
constexpr InfoShape kToolbarInfo{{12, 12}, 10.8, 1.2, {12, 6.8}, 1.9,
                                 {10.5, 10, 3, 8}, {9, 10, 1.8, 1.8}, {9, 16.5, 6, 1.8}};

QImage drawInfo(const InfoShape &shape = kMenuInfo, int size = 16)
{
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    p.setBrush(QColor::fromRgb(kInfoBlue));
    p.setPen(QPen(QColor::fromRgb(kInfoBlueDark), shape.outline));
    p.drawEllipse(shape.centre, shape.radius, shape.radius);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(kWhite));
    p.drawEllipse(shape.dot, shape.dotRadius, shape.dotRadius);
    p.drawRect(shape.stem);
    p.drawRect(shape.serif);
    p.drawRect(shape.foot);
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
constexpr LetterF kMainIconF{{{{27, 50}, {27, 21}, {27, 13.5}, {31, 9}, {38.5, 9}, {42, 9},
                               {42, 16}, {39.5, 16}, {37, 16}, {36, 17.3}, {36, 20}, {36, 50}}},
                             {21, 21, 21, 6}};
// On the 24-pixel toolbar picture.
constexpr LetterF kToolbarF{{{{13.5, 25}, {13.5, 10.5}, {13.5, 6.8}, {15.5, 4.5}, {19.3, 4.5}, {21, 4.5},
                              {21, 8}, {19.8, 8}, {18.5, 8}, {18, 8.7}, {18, 10}, {18, 25}}},
                            {10.5, 10.5, 10.5, 3}};

// Fills `square` (corners of `radius`) in the network's blue and the "f",
// scaled by `letterScale` and clipped to the square, in white.
void paintNetworkMark(QPainter &p, const QRectF &square, qreal radius, const LetterF &letter, qreal letterScale)
{
    QPainterPath background;
    background.addRoundedRect(square, radius, radius);
    p.setBrush(QColor::fromRgb(kNetworkBlue));
    p.drawPath(background);

    p.save();
    p.setClipPath(background);
    p.scale(letterScale, letterScale);
    const auto &o = letter.outline;
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

void paintMainIcon(QPainter &p, int size)
{
    // Rounded square, one pixel in from the edge except at 16 pixels.
    const qreal margin = size >= 32 ? 1.0 : 0.0;
    paintNetworkMark(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin), size * 0.17, kMainIconF,
                     size / 48.0);

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
    for (const auto &[colour, w] : {std::pair{kWhite, shape.rim}, std::pair{kCrossRed, shape.stroke}}) {
        p.setPen(QPen(QColor::fromRgb(colour), w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c - d1, c + d1);
        p.drawLine(c - d2, c + d2);
    }
}

// The frames of the program icon: 16, 32 or 48 pixels.
QImage drawMainIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    paintMainIcon(p, size);
    return image;
}

// The 48-pixel frame's drawing at a larger size, so that it stays sharp.
QImage drawLargeMainIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    p.scale(size / 48.0, size / 48.0);
    paintMainIcon(p, 48);
    return image;
}

// Never shown: the toolbar's separator takes the icon library's first
// picture. A plain grey bar, recognisable to anyone who looks into the library.
QImage drawSeparator()
{
    QImage image = canvas(24, 24);
    QPainter p;
    beginPainting(p, image);
    p.setBrush(QColor(0x9e, 0x9e, 0x9e));
    p.drawRect(QRectF(11, 2, 2, 20));
    return image;
}

QImage drawToolbarNetworkMark()
{
    QImage image = canvas(24, 24);
    QPainter p;
    beginPainting(p, image);
    paintNetworkMark(p, QRectF(0.5, 0.5, 23, 23), 4, kToolbarF, 1);
    return image;
}

// ---------------------------------------------------------------------------
// Generic window icons (the project's default application icon and the
// dialogs' stored window icon). Drawn pixel-exact, no antialiasing.

// Colours of the standard 16-colour Windows palette, for the 4-bit frames.
constexpr QRgb kNavy = 0xff000080;
constexpr QRgb kSilver = 0xffc0c0c0;
constexpr QRgb kGrey = 0xff808080;
constexpr QRgb kTeal = 0xff008080;

// frame: outer rectangle; title: height of the title bar in pixels.
void paintGenericWindow(QPainter &p, QRect frame, int title, QRgb titleColour, QRgb clientColour, QRgb edgeColour,
                        QRgb buttonColour)
{
    p.fillRect(frame, QColor::fromRgb(edgeColour));
    const QRect inner = frame.adjusted(1, 1, -1, -1);
    p.fillRect(inner, QColor::fromRgb(clientColour));
    p.fillRect(QRect(inner.left(), inner.top(), inner.width(), title), QColor::fromRgb(titleColour));
    // A close box at the right end of the title bar, when there is room.
    if (title >= 4) {
        const int box = title - 2;
        p.fillRect(QRect(inner.right() - box, inner.top() + 1, box, box), QColor::fromRgb(buttonColour));
    }
}

QImage drawGenericWindow32Mono()
{
    QImage image = canvas(32, 32);
    QPainter p(&image);
    paintGenericWindow(p, QRect(1, 3, 30, 26), 6, kBlack, kWhite, kBlack, kWhite);
    // Two lines of "text" in the client area.
    p.fillRect(QRect(5, 14, 16, 2), QColor::fromRgb(kBlack));
    p.fillRect(QRect(5, 19, 12, 2), QColor::fromRgb(kBlack));
    return image;
}

QImage drawGenericWindow32Colour()
{
    QImage image = canvas(32, 32);
    QPainter p(&image);
    paintGenericWindow(p, QRect(1, 3, 30, 26), 6, kNavy, kWhite, kBlack, kSilver);
    p.fillRect(QRect(3, 5, 3, 3), QColor::fromRgb(kSilver));   // system menu box
    p.fillRect(QRect(5, 14, 16, 2), QColor::fromRgb(kGrey));
    p.fillRect(QRect(5, 19, 12, 2), QColor::fromRgb(kGrey));
    p.fillRect(QRect(22, 22, 6, 4), QColor::fromRgb(kTeal));
    return image;
}

QImage drawGenericWindow16Colour()
{
    QImage image = canvas(16, 16);
    QPainter p(&image);
    paintGenericWindow(p, QRect(0, 1, 16, 14), 3, kNavy, kWhite, kBlack, kSilver);
    p.fillRect(QRect(3, 7, 8, 1), QColor::fromRgb(kGrey));
    p.fillRect(QRect(3, 10, 6, 1), QColor::fromRgb(kGrey));
    return image;
}

// The dialogs' stored window icon: a small window with a shaded title bar.
QImage drawSmallWindow()
{
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

// ---------------------------------------------------------------------------
// Padlocks for the status line.

void paintPadlockBody(QPainter &p, qreal left)
{
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

QImage drawPadlock(bool closed, int scale = 1) {
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
    ".....###...........",
    "....#oos#..........",
    "....#oos#..........",
    "....#oos####.......",
    "....#oos#oos###....",
    "....#oos#oos#os###.",
    "....#oos#oos#os#os#",
    ".##.#oos#oos#os#os#",
    "#oo##oos#oos#os#os#",
    "#ooo#oooooooooooos#",
    ".#ooooooooooooooos#",
    "..#oooooooooooooos#",
    "...#oooooooooooos#.",
    "....#oooooooooos#..",
    "....#oooooooooos#..",
    "....#############..",
};

// The hand of the monochrome cursor: 22 rows, its finger tip in column 6.
const std::vector<std::string_view> kCursorHand = {
    ".....###...........",
    "....#ooo#..........",
    "....#ooo#..........",
    "....#ooo#..........",
    "....#ooo#..........",
    "....#ooo#..........",
    "....#ooo####.......",
    "....#ooo#ooo###....",
    "....#ooo#ooo#oo###.",
    "....#ooo#ooo#oo#oo#",
    ".##.#ooo#ooo#oo#oo#",
    "#oo##ooo#ooo#oo#oo#",
    "#ooo#ooooooooooooo#",
    ".#oooooooooooooooo#",
    "..#ooooooooooooooo#",
    "..#ooooooooooooooo#",
    "...#ooooooooooooo#.",
    "....#ooooooooooo#..",
    "....#ooooooooooo#..",
    "....#############..",
    "....#ooooooooooo#..",
    "....#############..",
};

QImage drawIconHand()
{
    // Finger tip (column 6, row 0) on the centre pixel (16, 16).
    return fromPixelMap(32, 32, 10, 16, kIconHand,
                        {{'.', 0x00000000}, {'#', kBlack}, {'o', kWhite}, {'s', kSilver}});
}

QImage drawCursorHand()
{
    // Finger tip at (6, 0), the cursor's hot spot.
    return fromPixelMap(32, 32, 0, 0, kCursorHand, {{'.', 0x00000000}, {'#', kBlack}, {'o', kWhite}});
}

// ---------------------------------------------------------------------------
// Pictures on the main window.

QFont logoFont()
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"));
    QString family = QStringLiteral("DejaVu Sans");
    if (id >= 0 && !QFontDatabase::applicationFontFamilies(id).isEmpty())
        family = QFontDatabase::applicationFontFamilies(id).constFirst();
    else
        std::fprintf(stderr, "make_artwork: DejaVuSans-Bold.ttf not found, using the system's bold sans\n");
    QFont font(family);
    font.setBold(true);
    font.setPixelSize(200);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setLetterSpacing(QFont::PercentageSpacing, 96);
    return font;
}

QImage drawLogo(int scale = 1) {
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
QImage drawBlockedMark(int scale = 1) {
    QImage image = canvas(22 * scale, 22 * scale, kWhite);
    QPainter p;
    beginPainting(p, image);
    p.scale(scale, scale);
    p.setPen(QPen(QColor::fromRgb(kCrossRed), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 5), QPointF(17, 17));
    p.drawLine(QPointF(5, 17), QPointF(17, 5));
    return image;
}

QImage drawUnblockedMark(int scale = 1) {
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

// The window's bitmaps: menu images, icon and pointer frames, pictures.
void writeWindowArtwork()
{
    // Menu images, in menu image list order.
    writeRgba(drawExitCross(), QStringLiteral("PNG_0.png"));
    writeRgba(drawUpdateArrow(), QStringLiteral("PNG_1.png"));
    writeRgba(drawFlag(), QStringLiteral("PNG_2.png"));
    writeRgba(drawHouse(), QStringLiteral("PNG_3.png"));
    writeRgba(drawInfo(), QStringLiteral("PNG_4.png"));

    // Main icon: the 8-bit frames, then the 32-bit ones.
    for (int size : {48, 32, 16})
        writePaletteFrame(drawMainIcon(size), QStringLiteral("AAA-%1-8.png").arg(size), 8);
    for (int size : {48, 32, 16})
        writeRgba(drawMainIcon(size), QStringLiteral("AAA-%1-32.png").arg(size));

    writeRgba(drawFlag(), QStringLiteral("FFF-16-32.png"));     // language dialog
    writeRgba(drawInfo(), QStringLiteral("ZZZ-16-32.png"));     // About dialog

    writePaletteFrame(drawGenericWindow32Mono(), QStringLiteral("generic-32-1.png"), 1);
    writePaletteFrame(drawGenericWindow32Colour(), QStringLiteral("generic-32-4.png"), 4);
    writePaletteFrame(drawGenericWindow16Colour(), QStringLiteral("generic-16-4.png"), 4);
    writePaletteFrame(drawSmallWindow(), QStringLiteral("window16-16-8.png"), 8);

    writePaletteFrame(drawPadlock(true), QStringLiteral("padlock_closed-16-8.png"), 8);
    writePaletteFrame(drawPadlock(false), QStringLiteral("padlock_open-16-8.png"), 8);

    writePaletteFrame(drawIconHand(), QStringLiteral("hand-32-4.png"), 4);
    writePaletteFrame(drawCursorHand(), QStringLiteral("handcur-32-1.png"), 1);

    writeJpeg(drawLogo(), QStringLiteral("logo.jpg"));
    writeJpeg(drawBlockedMark(), QStringLiteral("blocked.jpg"));
    writeJpeg(drawUnblockedMark(), QStringLiteral("unblocked.jpg"));

    // The window's pictures at twice the size, for screens scaled above 100 %.
    writeJpeg(drawLogo(2), QStringLiteral("logo@2x.jpg"));
    writeJpeg(drawBlockedMark(2), QStringLiteral("blocked@2x.jpg"));
    writeJpeg(drawUnblockedMark(2), QStringLiteral("unblocked@2x.jpg"));
    writeRgba(drawPadlock(true, 2), QStringLiteral("padlock_closed@2x.png"));
    writeRgba(drawPadlock(false, 2), QStringLiteral("padlock_open@2x.png"));
}

// The pictures of the icon library resources.dll, in toolbar order: the
// separator's, then the four buttons'. make_artwork.sh --toolbar makes the .ico
// files that toolbar_icons.rc names of them.
void writeToolbarPictures()
{
    writeRgba(drawSeparator(), QStringLiteral("separator.png"));
    writeRgba(drawFlag(kToolbarFlag, 24), QStringLiteral("language.png"));
    writeRgba(drawInfo(kToolbarInfo, 24), QStringLiteral("about.png"));
    writeRgba(drawHouse(kToolbarHouse, 24), QStringLiteral("web.png"));
    writeRgba(drawToolbarNetworkMark(), QStringLiteral("facebook.png"));
}

// The desktop icons, one PNG per hicolor size: 16, 32 and 48 are the program
// icon's frames, 24 the 48 frame halved, the large sizes the 48 frame's
// drawing scaled up.
void writeDesktopIcons()
{
    for (int size : {16, 32, 48})
        writeRgba(drawMainIcon(size), QStringLiteral("%1.png").arg(size));
    writeRgba(drawMainIcon(48).scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
              QStringLiteral("24.png"));
    for (int size : {64, 128, 256})
        writeRgba(drawLargeMainIcon(size), QStringLiteral("%1.png").arg(size));
}

} // namespace

int main(int argc, char *argv[])
{
    // No display needed: draw into images only.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString mode = argc == 3 ? QString::fromLatin1(argv[1]) : QString();
    if ((argc != 2 && argc != 3) || (argc == 3 && mode != QLatin1String("--toolbar") &&
                                     mode != QLatin1String("--desktop"))) {
        std::fprintf(stderr, "usage: make_artwork [--toolbar | --desktop] OUTPUT_FOLDER\n");
        return 2;
    }
    g_outputFolder = QString::fromLocal8Bit(argv[argc - 1]);
    if (!QDir().mkpath(g_outputFolder)) {
        std::fprintf(stderr, "make_artwork: cannot create %s\n", argv[argc - 1]);
        return 1;
    }
    if (mode == QLatin1String("--toolbar"))
        writeToolbarPictures();
    else if (mode == QLatin1String("--desktop"))
        writeDesktopIcons();
    else
        writeWindowArtwork();
    return g_failed ? 1 : 0;
}
