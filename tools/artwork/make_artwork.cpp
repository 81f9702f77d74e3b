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

#include "artwork.h"

namespace {

using namespace artwork;

// The window's bitmaps: menu images, icon and pointer frames, pictures.
void writeWindowArtwork() {
    // Menu images, in menu image list order.
    writeRgba(drawExitCross(), QStringLiteral("PNG_0.png"));
    writeRgba(drawUpdateArrow(), QStringLiteral("PNG_1.png"));
    writeRgba(drawFlag(), QStringLiteral("PNG_2.png"));
    writeRgba(drawHouse(), QStringLiteral("PNG_3.png"));
    writeRgba(drawInfo(), QStringLiteral("PNG_4.png"));
    // The same at 32 pixels, shown at device pixel ratio 2.
    setDrawingScale(2);
    writeRgba(drawExitCross(), QStringLiteral("PNG_0@2x.png"));
    writeRgba(drawUpdateArrow(), QStringLiteral("PNG_1@2x.png"));
    writeRgba(drawFlag(), QStringLiteral("PNG_2@2x.png"));
    writeRgba(drawHouse(), QStringLiteral("PNG_3@2x.png"));
    writeRgba(drawInfo(), QStringLiteral("PNG_4@2x.png"));
    setDrawingScale(1);

    // Main icon: the 8-bit frames, then the 32-bit ones.
    for (int size : {48, 32, 16})
        writePaletteFrame(drawMainIcon(size), QStringLiteral("AAA-%1-8.png").arg(size), 8);
    for (int size : {48, 32, 16})
        writeRgba(drawMainIcon(size), QStringLiteral("AAA-%1-32.png").arg(size));
    // The sizes screens above 100 % ask for: the 48-pixel drawing at scale
    // (the 256 frame is stored as PNG, as Windows keeps it).
    for (int size : {24, 64, 128, 256})
        writeRgba(drawLargeMainIcon(size), QStringLiteral("AAA-%1-32.png").arg(size));

    writeRgba(drawFlag(), QStringLiteral("FFF-16-32.png"));  // language dialog
    writeRgba(drawInfo(), QStringLiteral("ZZZ-16-32.png"));  // About dialog

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
// separator's, then the four buttons', each at every size the toolbar shows
// ("<name>-<pixels>.png"). make_artwork.sh --toolbar makes the .ico files that
// toolbar_icons.rc names of them.
void writeToolbarPictures() {
    const std::pair<ToolbarPicture, const char*> pictures[] = {
        {ToolbarPicture::Separator, "separator"},
        {ToolbarPicture::Language, "language"},
        {ToolbarPicture::About, "about"},
        {ToolbarPicture::Web, "web"},
        {ToolbarPicture::Network, "facebook"}};
    for (const auto& [which, name] : pictures) {
        for (int pixels : {24, 32, 40, 48}) {
            writeRgba(drawToolbarPicture(which, pixels),
                      QStringLiteral("%1-%2.png").arg(QLatin1String(name)).arg(pixels));
        }
    }
}

// The desktop icons, one PNG per hicolor size: 16, 32 and 48 are the program
// icon's frames, 24 the 48 frame halved, the large sizes the 48 frame's
// drawing scaled up.
void writeDesktopIcons() {
    for (int size : {16, 32, 48}) writeRgba(drawMainIcon(size), QStringLiteral("%1.png").arg(size));
    writeRgba(drawMainIcon(48).scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
              QStringLiteral("24.png"));
    for (int size : {64, 128, 256})
        writeRgba(drawLargeMainIcon(size), QStringLiteral("%1.png").arg(size));
}

}  // namespace

int main(int argc, char* argv[]) {
    // No display needed: draw into images only.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString mode = argc == 3 ? QString::fromLatin1(argv[1]) : QString();
    if ((argc != 2 && argc != 3) ||
        (argc == 3 && mode != QLatin1String("--toolbar") && mode != QLatin1String("--desktop"))) {
        std::fprintf(stderr, "usage: make_artwork [--toolbar | --desktop] OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[argc - 1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "make_artwork: cannot create %s\n", argv[argc - 1]);
        return 1;
    }
    artwork::setOutputFolder(folder);
    if (mode == QLatin1String("--toolbar"))
        writeToolbarPictures();
    else if (mode == QLatin1String("--desktop"))
        writeDesktopIcons();
    else
        writeWindowArtwork();
    return artwork::writeFailed() ? 1 : 0;
}
