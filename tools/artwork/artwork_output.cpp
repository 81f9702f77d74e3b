// Canvas, output folder and the writers of finished pictures and icon frames
// (palette frames reduced by median cut).

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

namespace {

// 96 dots per inch, stored in every file so no viewer guesses.
constexpr int kDotsPerMeter = 3780;

QString g_outputFolder;
bool g_failed = false;
int g_scale = 1;

}  // namespace

// ---------------------------------------------------------------------------
// Canvas and output helpers

void setDrawingScale(int scale) {
    g_scale = scale;
}

QImage canvas(int width, int height, QRgb background) {
    QImage image(width * g_scale, height * g_scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor::fromRgba(background));
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
}

void beginPainting(QPainter& p, QImage& image, bool antialiased) {
    p.begin(&image);
    if (g_scale != 1) {
        p.scale(g_scale, g_scale);
    }
    p.setRenderHint(QPainter::Antialiasing, antialiased);
    p.setPen(Qt::NoPen);
}

QString outputPath(const QString& name) {
    return QDir(g_outputFolder).filePath(name);
}

void report(const QString& name, const QImage& image, bool ok) {
    QTextStream err(stderr);
    if (!ok) {
        err << "make_artwork: cannot write " << outputPath(name) << "\n";
        g_failed = true;
        return;
    }
    err << "  " << name << "  " << image.width() << "x" << image.height() << "\n";
}

// A 32-bit frame or a finished RGBA PNG: 8 bits per channel, colour type 6.
void writeRgba(const QImage& image, const QString& name) {
    QImage rgba = image.convertToFormat(QImage::Format_ARGB32);
    rgba.setDotsPerMeterX(kDotsPerMeter);
    rgba.setDotsPerMeterY(kDotsPerMeter);
    QImageWriter writer(outputPath(name), "png");
    report(name, rgba, writer.write(rgba));
}

// Baseline JPEG with three components (no alpha: the picture is opaque).
void writeJpeg(const QImage& image, const QString& name) {
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

Rgb split(QRgb c) {
    return {qRed(c), qGreen(c), qBlue(c)};
}

using Histogram = std::vector<std::pair<QRgb, int>>;  // colour, pixel count

std::vector<QRgb> medianCut(const Histogram& histogram, int maxColours) {
    std::vector<Histogram> boxes{histogram};
    while (static_cast<int>(boxes.size()) < maxColours) {
        int best = -1;
        int bestRange = 0;
        int bestChannel = 0;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            const Histogram& box = boxes[i];
            if (box.size() < 2)
                continue;
            std::array<int, 3> lo{255, 255, 255};
            std::array<int, 3> hi{0, 0, 0};
            for (const auto& [colour, count] : box) {
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

        Histogram& box = boxes[best];
        const int shift = 16 - 8 * bestChannel;  // red, green, blue
        std::stable_sort(box.begin(), box.end(), [shift](const auto& a, const auto& b) {
            return ((a.first >> shift) & 0xff) < ((b.first >> shift) & 0xff);
        });
        long total = 0;
        for (const auto& entry : box) total += entry.second;
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
    for (const Histogram& box : boxes) {
        long r = 0, g = 0, b = 0, n = 0;
        for (const auto& [colour, count] : box) {
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

int nearest(const std::vector<QRgb>& palette, QRgb colour) {
    const Rgb c = split(colour);
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
        const Rgb p = split(palette[i]);
        const int d =
            (p.r - c.r) * (p.r - c.r) + (p.g - c.g) * (p.g - c.g) + (p.b - c.b) * (p.b - c.b);
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
QImage toPalette(const QImage& source, int maxColours) {
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
        for (const auto& entry : counts) opaque.push_back(entry.first);
    } else {
        opaque = medianCut(Histogram(counts.begin(), counts.end()), budget);
    }

    QList<QRgb> table;
    if (anyTransparent)
        table.append(opaque.empty() ? qRgba(0, 0, 0, 0) : (opaque.front() & 0x00ffffff));
    for (QRgb c : opaque) table.append(c);
    const int first = anyTransparent ? 1 : 0;

    QImage result(image.size(), QImage::Format_Indexed8);
    result.setColorTable(table);
    result.setDotsPerMeterX(kDotsPerMeter);
    result.setDotsPerMeterY(kDotsPerMeter);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const int index =
                qAlpha(c) < 128 ? 0 : first + nearest(opaque, qRgb(qRed(c), qGreen(c), qBlue(c)));
            result.setPixel(x, y, static_cast<uint>(index));
        }
    }
    return result;
}

// An icon or cursor frame of 8 bits or less.
void writePaletteFrame(const QImage& image, const QString& name, int bitsPerPixel) {
    const QImage indexed = toPalette(image, 1 << bitsPerPixel);
    QImageWriter writer(outputPath(name), "png");
    report(name, indexed, writer.write(indexed));
}

// ---------------------------------------------------------------------------
// Pixel maps, for the pointers: one character per pixel.

QImage fromPixelMap(int width, int height, int left, int top,
                    const std::vector<std::string_view>& rows,
                    const std::map<char, QRgb>& colours) {
    QImage image = canvas(width, height);
    for (const std::string_view row : rows) {
        if (row.size() != rows.front().size() || left + static_cast<int>(row.size()) > width ||
            top + static_cast<int>(rows.size()) > height) {
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

void setOutputFolder(const QString& folder) {
    g_outputFolder = folder;
}

bool writeFailed() {
    return g_failed;
}

}  // namespace artwork
