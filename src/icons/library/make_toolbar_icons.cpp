// make_toolbar_icons: draws the five toolbar pictures of the icon library
// resources.dll, each 24 x 24 pixels, 32 bits (RGBA), as PNG files.
//
//   make_toolbar_icons OUTPUT_FOLDER
//
// make_toolbar_icons.sh turns them into the .ico files that toolbar_icons.rc
// names. Drawn with QPainter on the offscreen platform, so the result does not
// depend on any screen; the colours are those of the program's other pictures.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <cstdio>

namespace {

constexpr int kSize = 24;
constexpr QRgb kNetworkBlue = 0xff3b5998;
constexpr QRgb kGreen = 0xff43a047;
constexpr QRgb kGreenDark = 0xff2e7d32;
constexpr QRgb kInfoBlue = 0xff1e88e5;
constexpr QRgb kInfoBlueDark = 0xff1565c0;
constexpr QRgb kDoorRed = 0xffe53935;
constexpr QRgb kWhite = 0xffffffff;
constexpr int kDotsPerMeter = 3780;  // 96 dots per inch

QImage canvas() {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void begin(QPainter& p, QImage& image) {
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
}

// Never shown: the toolbar's separator takes the library's first picture.
// A plain grey bar, recognisable to anyone who looks into the library.
QImage drawSeparator() {
    QImage image = canvas();
    QPainter p;
    begin(p, image);
    p.setBrush(QColor(0x9e, 0x9e, 0x9e));
    p.drawRect(QRectF(11, 2, 2, 20));
    return image;
}

// "language": a green flag on a pole.
QImage drawFlag() {
    QImage image = canvas();
    QPainter p;
    begin(p, image);
    p.setBrush(QColor(0x5d, 0x40, 0x37));
    p.drawRoundedRect(QRectF(3.5, 2.5, 2.4, 20.5), 0.9, 0.9);
    p.drawEllipse(QPointF(4.7, 2.5), 1.8, 1.8);
    QPainterPath cloth;
    cloth.moveTo(5.9, 4);
    cloth.cubicTo(11, 0.5, 14.5, 8, 21.5, 3.8);
    cloth.lineTo(21.5, 14);
    cloth.cubicTo(14.5, 18, 11, 10.5, 5.9, 14.2);
    cloth.closeSubpath();
    p.setBrush(QColor::fromRgb(kGreen));
    p.setPen(QPen(QColor::fromRgb(kGreenDark), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(cloth);
    return image;
}

// "about": a blue round information sign.
QImage drawInfo() {
    QImage image = canvas();
    QPainter p;
    begin(p, image);
    p.setBrush(QColor::fromRgb(kInfoBlue));
    p.setPen(QPen(QColor::fromRgb(kInfoBlueDark), 1.2));
    p.drawEllipse(QPointF(12, 12), 10.8, 10.8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(kWhite));
    p.drawEllipse(QPointF(12, 6.8), 1.9, 1.9);
    p.drawRect(QRectF(10.5, 10, 3, 8));
    p.drawRect(QRectF(9, 10, 1.8, 1.8));  // serif
    p.drawRect(QRectF(9, 16.5, 6, 1.8));  // foot
    return image;
}

// "web": a house with a red door.
QImage drawHouse() {
    QImage image = canvas();
    QPainter p;
    begin(p, image);
    p.setBrush(QColor(0x45, 0x5a, 0x64));
    p.drawRect(QRectF(16.5, 3, 3, 6));  // chimney, behind the roof
    p.setBrush(QColor(0xff, 0xe0, 0xb2));
    p.setPen(QPen(QColor(0x8d, 0x6e, 0x63), 1));
    p.drawRect(QRectF(5, 11, 14, 11));  // walls
    QPolygonF roof;
    roof << QPointF(1.2, 12.2) << QPointF(12, 1.8) << QPointF(22.8, 12.2);
    p.setPen(QPen(QColor(0x45, 0x5a, 0x64), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x60, 0x7d, 0x8b));
    p.drawPolygon(roof);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(kDoorRed));
    p.drawRect(QRectF(10.5, 15, 4.5, 7));  // door
    p.setBrush(QColor(0x4f, 0xc3, 0xf7));
    p.drawRect(QRectF(6.5, 14, 3, 3));  // window
    return image;
}

// "facebook": the network's white lower-case "f" on its blue rounded square.
QImage drawNetworkMark() {
    QImage image = canvas();
    QPainter p;
    begin(p, image);
    QPainterPath square;
    square.addRoundedRect(QRectF(0.5, 0.5, 23, 23), 4, 4);
    p.setBrush(QColor::fromRgb(kNetworkBlue));
    p.drawPath(square);
    // Stem running off the bottom edge, hook to the right, crossbar; clipped.
    p.setClipPath(square);
    QPainterPath f;
    f.moveTo(13.5, 25);
    f.lineTo(13.5, 10.5);
    f.cubicTo(13.5, 6.8, 15.5, 4.5, 19.3, 4.5);
    f.lineTo(21, 4.5);
    f.lineTo(21, 8);
    f.lineTo(19.8, 8);
    f.cubicTo(18.5, 8, 18, 8.7, 18, 10);
    f.lineTo(18, 25);
    f.closeSubpath();
    f.addRect(QRectF(10.5, 10.5, 10.5, 3));
    f.setFillRule(Qt::WindingFill);
    p.setBrush(QColor::fromRgb(kWhite));
    p.drawPath(f);
    return image;
}

bool write(const QImage& image, const QString& folder, const char* name) {
    QImage rgba = image.convertToFormat(QImage::Format_ARGB32);
    rgba.setDotsPerMeterX(kDotsPerMeter);
    rgba.setDotsPerMeterY(kDotsPerMeter);
    const QString path = QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!QImageWriter(path, "png").write(rgba)) {
        std::fprintf(stderr, "make_toolbar_icons: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_toolbar_icons OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "make_toolbar_icons: cannot create %s\n", argv[1]);
        return 1;
    }
    // In toolbar order: the separator's picture, then the four buttons'.
    bool ok = write(drawSeparator(), folder, "separator");
    ok = write(drawFlag(), folder, "language") && ok;
    ok = write(drawInfo(), folder, "about") && ok;
    ok = write(drawHouse(), folder, "web") && ok;
    ok = write(drawNetworkMark(), folder, "facebook") && ok;
    return ok ? 0 : 1;
}
