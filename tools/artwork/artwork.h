#pragma once
// What make_artwork's drawing files share: the colours, the canvas, the
// writers of finished pictures and icon frames, the shapes drawn at two sizes
// and every picture's drawing.

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <map>
#include <string_view>
#include <vector>

namespace artwork {

// ---------------------------------------------------------------------------
// Colours

inline constexpr QRgb kNetworkBlue = 0xff3b5998;  // the network's classic blue
inline constexpr QRgb kCrossRed = 0xffe53935;
inline constexpr QRgb kCrossRedDark = 0xffb71c1c;
inline constexpr QRgb kGreen = 0xff43a047;
inline constexpr QRgb kGreenDark = 0xff2e7d32;
inline constexpr QRgb kInfoBlue = 0xff1e88e5;
inline constexpr QRgb kInfoBlueDark = 0xff1565c0;
inline constexpr QRgb kWhite = 0xffffffff;
inline constexpr QRgb kBlack = 0xff000000;
inline constexpr QRgb kSilver = 0xffc0c0c0;

// Canvas and output (artwork_output.cpp). Output goes to the folder set once
// at start; writeFailed() tells whether any file could not be written.
void setOutputFolder(const QString& folder);
bool writeFailed();
// Draws everything that follows `scale` times larger: canvas() makes the
// canvas that much bigger and beginPainting() scales the painter, so a
// picture drawn in 16-pixel coordinates comes out at 32 pixels for
// screens at 200 %, drawn afresh rather than enlarged.
void setDrawingScale(int scale);
QImage canvas(int width, int height, QRgb background = 0x00000000);
void beginPainting(QPainter& p, QImage& image, bool antialiased = true);
void writeRgba(const QImage& image, const QString& name);
void writeJpeg(const QImage& image, const QString& name);
void writePaletteFrame(const QImage& image, const QString& name, int bitsPerPixel);
QImage fromPixelMap(int width, int height, int left, int top,
                    const std::vector<std::string_view>& rows, const std::map<char, QRgb>& colours);

// Shapes drawn as a 16-pixel menu image and a 24-pixel toolbar picture.
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

inline constexpr FlagShape kMenuFlag{
    {2.5, 1.5, 1.6, 14}, 0.6,         {3.3, 1.6}, 1.3,      {4.1, 2.6}, {7.5, 0.2}, {10, 5.2},
    {14.5, 2.4},         {14.5, 9.2}, {10, 12},   {7.5, 7}, {4.1, 9.4}, 1};
inline constexpr FlagShape kToolbarFlag{
    {3.5, 2.5, 2.4, 20.5}, 0.9,        {4.7, 2.5}, 1.8,        {5.9, 4},    {11, 0.5}, {14.5, 8},
    {21.5, 3.8},           {21.5, 14}, {14.5, 18}, {11, 10.5}, {5.9, 14.2}, 1.2};

// A house with a chimney and a red door.
struct HouseShape {
    QRectF chimney, walls;
    QPointF eaveLeft, ridge, eaveRight;
    qreal roofOutline;
    QRectF door, window;
};

inline constexpr HouseShape kMenuHouse{{11, 2, 2, 4}, {3.5, 7.5, 9, 7}, {0.8, 8.2},
                                       {8, 1.2},      {15.2, 8.2},      1.6,
                                       {7, 10, 3, 5}, {4.5, 9.5, 2, 2}};
inline constexpr HouseShape kToolbarHouse{{16.5, 3, 3, 6},    {5, 11, 14, 11}, {1.2, 12.2},
                                          {12, 1.8},          {22.8, 12.2},    2,
                                          {10.5, 15, 4.5, 7}, {6.5, 14, 3, 3}};

// Blue round information sign: a white dot over a stem with a serif and a foot.
struct InfoShape {
    QPointF centre;
    qreal radius, outline;
    QPointF dot;
    qreal dotRadius;
    QRectF stem, serif, foot;
};

inline constexpr InfoShape kMenuInfo{
    {8, 8}, 7.3, 1, {8, 4.6}, 1.35, {7, 6.8, 2, 5.2}, {6, 6.8, 1.2, 1.2}, {6, 11.2, 4, 1.2}};
inline constexpr InfoShape kToolbarInfo{
    {12, 12}, 10.8, 1.2, {12, 6.8}, 1.9, {10.5, 10, 3, 8}, {9, 10, 1.8, 1.8}, {9, 16.5, 6, 1.8}};

// Icon pictures (icon_pictures.cpp).
QImage drawExitCross();
QImage drawUpdateArrow();
QImage drawFlag(const FlagShape& shape = kMenuFlag, int size = 16);
QImage drawHouse(const HouseShape& shape = kMenuHouse, int size = 16);
QImage drawInfo(const InfoShape& shape = kMenuInfo, int size = 16);
QImage drawMainIcon(int size);
QImage drawLargeMainIcon(int size);
enum class ToolbarPicture { Separator, Language, About, Web, Network };
QImage drawToolbarPicture(ToolbarPicture which, int pixels);
QImage drawGenericWindow32Mono();
QImage drawGenericWindow32Colour();
QImage drawGenericWindow16Colour();
QImage drawSmallWindow();

// The main window's pictures and the pointers (window_pictures.cpp).
QImage drawPadlock(bool closed, int scale = 1);
QImage drawIconHand();
QImage drawCursorHand();
QImage drawLogo(int scale = 1);
QImage drawBlockedMark(int scale = 1);
QImage drawUnblockedMark(int scale = 1);

}  // namespace artwork
