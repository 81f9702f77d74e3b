// make_app_icons: the desktop icons (hicolor theme sizes) from the program
// icon's artwork. The 16, 32 and 48 pixel icons are the frames of the
// program icon itself; 24 is the 48 frame halved; the large sizes are the 48
// frame's drawing scaled up, so they stay sharp.
//
//   make_app_icons OUTPUT_FOLDER     (writes <size>.png)

#define main make_artwork_main
#include "../../src/ui/artwork/make_artwork.cpp"
#undef main

namespace {

// drawMainIcon(48), drawn on a larger canvas.
QImage drawLargeMainIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p;
    beginPainting(p, image);
    p.scale(size / 48.0, size / 48.0);
    QPainterPath square;
    square.addRoundedRect(QRectF(1, 1, 46, 46), 48 * 0.17, 48 * 0.17);
    p.setBrush(QColor::fromRgb(kNetworkBlue));
    p.drawPath(square);

    p.save();
    p.setClipPath(square);
    QPainterPath f;
    f.moveTo(27, 50);
    f.lineTo(27, 21);
    f.cubicTo(27, 13.5, 31, 9, 38.5, 9);
    f.lineTo(42, 9);
    f.lineTo(42, 16);
    f.lineTo(39.5, 16);
    f.cubicTo(37, 16, 36, 17.3, 36, 20);
    f.lineTo(36, 50);
    f.closeSubpath();
    f.addRect(QRectF(21, 21, 21, 6));
    f.setFillRule(Qt::WindingFill);
    p.setBrush(QColor::fromRgb(kWhite));
    p.drawPath(f);
    p.restore();

    const QPointF c(37.0, 37.0);
    const QPointF d1(6.5, 6.5);
    const QPointF d2(6.5, -6.5);
    for (const auto &[colour, w] : {std::pair{kWhite, 9.0}, std::pair{kCrossRed, 5.5}}) {
        p.setPen(QPen(QColor::fromRgb(colour), w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c - d1, c + d1);
        p.drawLine(c - d2, c + d2);
    }
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_app_icons OUTPUT_FOLDER\n");
        return 2;
    }
    g_outputFolder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_outputFolder);
    for (int size : {16, 32, 48})
        writeRgba(drawMainIcon(size), QStringLiteral("%1.png").arg(size));
    writeRgba(drawMainIcon(48).scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
              QStringLiteral("24.png"));
    for (int size : {64, 128, 256})
        writeRgba(drawLargeMainIcon(size), QStringLiteral("%1.png").arg(size));
    return g_failed ? 1 : 0;
}
