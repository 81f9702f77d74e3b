// clsMenuImage: adding, scaling, ghosting, removing images, and attaching
// them to menu items.

#include "menu_image.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "colour_matrix.h"
#include "icon_file_builder.h"
#include "resource_names.h"

using hushgate::clsMenuImage;
using namespace hushgate::test;

namespace {

QByteArray toBytes(const ByteVector& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QByteArray resourceBytes(const char* path) {
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// 16 x 16 red and 32 x 32 green at 32 bits, 48 x 48 blue at 8 bits.
QByteArray threeFrameIcon() {
    std::vector<std::uint32_t> indices(48 * 48, 1);
    return toBytes(IconFile({{16, 16, 32, SolidFrame(16, 16, 32, 0xFFFF0000)},
                             {32, 32, 32, SolidFrame(32, 32, 32, 0xFF00FF00)},
                             {48, 48, 8, BitmapFrame(48, 48, 8, indices, {0, 0x0000FF})}}));
}

// An image whose every pixel tells its column and row apart.
QImage pattern(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            image.setPixel(x, y, qRgba(x * 15, y * 15, 200 - x * 5, 255 - y * 10));
        }
    }
    return image;
}

}  // namespace

class MenuImageTest : public QObject {
    Q_OBJECT

private slots:
    void countIsTheHighestIndex() {
        clsMenuImage list;
        QCOMPARE(list.ImageCount(), -1);
        QVERIFY(list.Init(nullptr, 16, 16));
        for (const char* path : hushgate::resources::kMenuImages) {
            QVERIFY(list.AddImageFromStream(resourceBytes(path)));
        }
        QCOMPARE(list.ImageCount(), 4);
        QVERIFY(list.IsWindowVistaOrLater());
    }

    void nothingIsAddedBeforeInit() {
        clsMenuImage list;
        QVERIFY(!list.AddImageFromStream(resourceBytes(hushgate::resources::kMenuExit)));
        QCOMPARE(list.ImageCount(), -1);
    }

    void largerPngIsStoredAtTheListsSize() {
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        QVERIFY(list.AddImageFromStream(encoded(filled(32, 32, qRgba(10, 120, 230, 255)), "PNG")));
        const QImage stored = list.Image(0);
        QCOMPARE(stored.size(), QSize(16, 16));
        QCOMPARE(stored.format(), QImage::Format_ARGB32);
        QCOMPARE(stored.pixel(8, 8), qRgba(10, 120, 230, 255));
    }

    void otherFormatsGoThroughQtsReaders() {
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        QVERIFY(list.AddImageFromStream(encoded(filled(8, 8, qRgb(0, 0, 255)), "BMP")));
        QVERIFY(list.AddImageFromStream(encoded(filled(16, 16, qRgb(0, 128, 0)), "JPG")));
        QVERIFY(!list.AddImageFromStream(QByteArray("not an image at all")));
        QCOMPARE(list.ImageCount(), 1);
        QCOMPARE(list.Image(0).pixel(3, 3), qRgb(0, 0, 255));
    }

    void bitmapWhoseSizeEndsInOneOrTwoIsStillABitmap() {
        // A bitmap file's third byte is the low byte of its size; it must
        // not be taken for an icon directory.
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        for (int width = 1; width <= 40; ++width) {
            const QByteArray bmp = encoded(filled(width, 3, qRgb(200, 0, 0)), "BMP");
            if (bmp[2] == 1 || bmp[2] == 2) {
                QVERIFY2(list.AddImageFromStream(bmp), qPrintable(QString::number(width)));
            }
        }
        QVERIFY(list.ImageCount() >= 0);
    }

    void iconFileChoiceForSixteenAndFortyEight() {
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        QVERIFY(list.AddImageFromStream(threeFrameIcon()));
        QCOMPARE(list.Image(0).pixel(8, 8), qRgba(255, 0, 0, 255));

        // The 48 x 48 frame has fewer bits per pixel: 32 x 32 is scaled up.
        list.Init(nullptr, 48, 48);
        QCOMPARE(list.ImageCount(), -1);
        QVERIFY(list.AddImageFromStream(threeFrameIcon()));
        QCOMPARE(list.Image(0).size(), QSize(48, 48));
        QCOMPARE(list.Image(0).pixel(24, 24), qRgba(0, 255, 0, 255));
    }

    void iconFilesByTheirName() {
        QTemporaryDir dir;
        const QString icon = dir.filePath(QStringLiteral("three.Ico"));
        const QString cursor = dir.filePath(QStringLiteral("hand.cur"));
        const QString png = dir.filePath(QStringLiteral("plain.png"));
        for (const auto& [path, bytes] :
             {std::pair{icon, threeFrameIcon()},
              std::pair{cursor,
                        toBytes(IconFile({{16, 16, 0, SolidFrame(16, 16, 24, 0xFF0000FF)}}, 2))},
              std::pair{png, encoded(filled(4, 4, qRgb(1, 2, 3)), "PNG")}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        QVERIFY(list.AddImageFromFile(icon));
        QVERIFY(list.AddImageFromFile(cursor));
        QVERIFY(list.AddImageFromFile(png));
        QVERIFY(!list.AddImageFromFile(dir.filePath(QStringLiteral("missing.ico"))));
        QVERIFY(!list.AddImageFromFile(dir.filePath(QStringLiteral("missing.png"))));
        QCOMPARE(list.ImageCount(), 2);
        QCOMPARE(list.Image(0).pixel(0, 0), qRgba(255, 0, 0, 255));
        QCOMPARE(list.Image(1).pixel(0, 0), qRgba(0, 0, 255, 255));
        QCOMPARE(list.Image(2).pixel(0, 0), qRgba(1, 2, 3, 255));
    }

    void iconsFromQIcon() {
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        QVERIFY(!list.AddIconFromHandle(QIcon()));
        QVERIFY(
            list.AddIconFromHandle(QIcon(QPixmap::fromImage(filled(32, 32, qRgb(9, 99, 199))))));
        QVERIFY(list.AddIconFromHandle(QIcon(QPixmap::fromImage(filled(8, 8, qRgb(9, 99, 199))))));
        QCOMPARE(list.ImageCount(), 1);
        QCOMPARE(list.Image(0).size(), QSize(16, 16));
        QCOMPARE(list.Image(1).size(), QSize(16, 16));
        QCOMPARE(list.Image(1).pixel(7, 7), qRgb(9, 99, 199));
    }

    void ghostingKeepsColourAtSeventyPercentAlpha() {
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        const QImage source = pattern(16);
        QVERIFY(list.AddImageFromStream(encoded(source, "PNG"), true));
        const QImage ghost = list.Image(0);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb in = source.pixel(x, y);
                const QRgb out = ghost.pixel(x, y);
                QCOMPARE(qRed(out), qRed(in));
                QCOMPARE(qGreen(out), qGreen(in));
                QCOMPARE(qBlue(out), qBlue(in));
                QCOMPARE(qAlpha(out), qRound(qAlpha(in) * 0.7));
            }
        }
    }

    void disabledImageFollowsTheGreyMatrix() {
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        const QImage source = pattern(16);
        QVERIFY(list.AddImageFromStream(encoded(source, "PNG")));
        const QImage grey = list.DisabledImage(0);
        // The pixmap is held premultiplied; compare it in that form.
        const QImage shown = list.Icon(0)
                                 .pixmap(QSize(16, 16), 1.0, QIcon::Disabled)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(shown, grey.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb in = source.pixel(x, y);
                const int luminance =
                    qRound(0.299 * qRed(in) + 0.587 * qGreen(in) + 0.114 * qBlue(in));
                QCOMPARE(grey.pixel(x, y),
                         qRgba(luminance, luminance, luminance, qRound(qAlpha(in) * 0.5)));
            }
        }
        // By hand: opaque pure red is grey 76 at alpha 128.
        QCOMPARE(hushgate::ApplyColourMatrix(qRgba(255, 0, 0, 255), hushgate::kDisabledMatrix),
                 qRgba(76, 76, 76, 128));
        // The icon's normal look is the image itself.
        QCOMPARE(list.Icon(0)
                     .pixmap(QSize(16, 16), 1.0)
                     .toImage()
                     .convertToFormat(QImage::Format_ARGB32)
                     .pixel(0, 0),
                 source.pixel(0, 0));
    }

    void removingShiftsLaterImagesDown() {
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        const QRgb colours[] = {qRgb(10, 0, 0), qRgb(20, 0, 0), qRgb(30, 0, 0), qRgb(40, 0, 0),
                                qRgb(50, 0, 0)};
        for (const QRgb colour : colours) {
            QVERIFY(list.AddImageFromStream(encoded(filled(16, 16, colour), "PNG")));
        }
        QVERIFY(!list.RemoveImage(5));
        QVERIFY(!list.RemoveImage(-1));
        QVERIFY(list.RemoveImage(1));
        QCOMPARE(list.ImageCount(), 3);
        QCOMPARE(list.Image(0).pixel(0, 0), colours[0]);
        for (int i = 1; i <= 3; ++i) {
            QCOMPARE(list.Image(i).pixel(0, 0), colours[i + 1]);
        }
        list.Clear();
        QCOMPARE(list.ImageCount(), -1);
        QVERIFY(!list.RemoveImage(0));
    }

    void badIconBytesAreRefused() {
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        QVERIFY(!list.AddImageFromStream(QByteArray()));
        // The head promises three entries; the bytes end inside the second.
        QVERIFY(!list.AddImageFromStream(threeFrameIcon().left(6 + 16 + 8)));
        // The chosen frame's data runs past the end.
        QVERIFY(!list.AddImageFromStream(threeFrameIcon().left(6 + 3 * 16 + 100)));
        // No frame small enough for the list.
        QVERIFY(
            !list.AddImageFromStream(toBytes(IconFile({{32, 32, 32, SolidFrame(32, 32, 32, 0)}}))));
        QCOMPARE(list.ImageCount(), -1);
    }

    void initWithAnotherSizeClearsTheList() {
        clsMenuImage list;
        list.Init(nullptr, 16, 16);
        QVERIFY(list.AddImageFromStream(encoded(filled(16, 16, qRgb(1, 1, 1)), "PNG")));
        QVERIFY(list.Init(nullptr, 24, 24));
        QCOMPARE(list.ImageCount(), -1);
        QCOMPARE(list.ImageSize(), QSize(24, 24));
    }

    void putImageFindsItemsByPosition() {
        QMenuBar bar;
        QMenu* file = bar.addMenu(QStringLiteral("File"));
        QMenu* sub = file->addMenu(QStringLiteral("More"));
        QAction* first = file->addAction(QStringLiteral("First"));
        QAction* deep = sub->addAction(QStringLiteral("Deep"));
        clsMenuImage list;
        QVERIFY(list.Init(&bar, 16, 16));
        QVERIFY(list.AddImageFromStream(encoded(filled(16, 16, qRgb(1, 2, 3)), "PNG")));

        QVERIFY(list.PutImageToVBMenu(0, 1, {0}));
        QVERIFY(!first->icon().isNull());
        QVERIFY(list.PutImageToVBMenu(0, 0, {0, 0}));
        QVERIFY(!deep->icon().isNull());
        QVERIFY(list.PutImageToVBMenu(-1, 1, {0}));
        QVERIFY(first->icon().isNull());

        QVERIFY(!list.PutImageToVBMenu(0, 2, {0}));     // no such item
        QVERIFY(!list.PutImageToVBMenu(0, 0, {0, 1}));  // "First" has no submenu
        QVERIFY(!list.PutImageToVBMenu(0, 0, {3}));     // no such menu
        QVERIFY(!list.PutImageToVBMenu(1, 1, {0}));     // no such image
        QVERIFY(list.PutImageToVBMenu(0, 0, {}));       // the menu bar's own item
        QVERIFY(!file->menuAction()->icon().isNull());
        list.RemoveMenuCheckVB({0});
        list.RemoveMenuCheckVB({7, 7});

        clsMenuImage unattached;
        unattached.Init(nullptr, 16, 16);
        QVERIFY(!unattached.PutImageToVBMenu(-1, 0, {0}));
    }

    void highlightsAreReportedWhenAsked() {
        QMenuBar bar;
        QMenu* file = bar.addMenu(QStringLiteral("File"));
        QAction* exit = file->addAction(QStringLiteral("Exit"));
        clsMenuImage list;
        QVERIFY(!list.Init(nullptr, 16, 16, true));
        QVERIFY(list.Init(&bar, 16, 16, true));
        qRegisterMetaType<QAction*>();
        QSignalSpy spy(&list, &clsMenuImage::MenuMessages);
        exit->hover();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QAction*>(), exit);
        QVERIFY(list.Init(&bar, 16, 16, false));
        exit->hover();
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(MenuImageTest)
#include "menu_image_test.moc"
