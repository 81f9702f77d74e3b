// MenuImageList: adding, scaling, ghosting and greying images, and attaching
// them to menu items.

#include "menu_image.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include "colour_matrix.h"
#include "icon_file_builder.h"
#include "resource_names.h"

using hushgate::MenuImageList;
using namespace hushgate::test;

namespace {

QByteArray toBytes(const ByteVector& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// An image of one colour, or (colour 0) one whose every pixel tells its
// column and row apart, encoded in `format`.
QByteArray encoded(int width, int height, QRgb colour, const char* format = "PNG") {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    for (int y = 0; colour == 0 && y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgba(x * 15, y * 15, 200 - x * 5, 255 - y * 10));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// 16 x 16 red and 32 x 32 green at 32 bits, 48 x 48 blue at 8 bits.
QByteArray threeFrameIcon() {
    std::vector<std::uint32_t> indices(48 * 48, 1);
    return toBytes(IconFile({{16, 16, 32, SolidFrame(16, 16, 32, 0xFFFF0000)},
                             {32, 32, 32, SolidFrame(32, 32, 32, 0xFF00FF00)},
                             {48, 48, 8, BitmapFrame(48, 48, 8, indices, {0, 0x0000FF})}}));
}

}  // namespace

class MenuImageTest : public QObject {
    Q_OBJECT

private slots:
    // Every source an image can come from, each stored at the list's size.
    void addsImagesFromEverySource() {
        MenuImageList list;
        QFile exit(QString::fromLatin1(hushgate::resources::kMenuExit));
        QVERIFY(exit.open(QIODevice::ReadOnly));
        const QByteArray exitBytes = exit.readAll();
        QVERIFY(!list.AddImageFromStream(exitBytes));  // nothing before Init
        QCOMPARE(list.ImageCount(), -1);
        QVERIFY(list.Init(nullptr, 16, 16));
        QTemporaryDir dir;
        const QString icon = dir.filePath(QStringLiteral("three.Ico"));
        const QString cursor = dir.filePath(QStringLiteral("hand.cur"));
        for (const auto& [path, bytes] :
             {std::pair{icon, threeFrameIcon()},
              std::pair{cursor,
                        toBytes(IconFile({{16, 16, 0, SolidFrame(16, 16, 24, 0xFF0000FF)}}, 2))}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        QVERIFY(list.AddImageFromStream(exitBytes));
        QVERIFY(list.AddImageFromStream(encoded(32, 32, qRgb(10, 120, 230))));
        QVERIFY(list.AddImageFromStream(encoded(8, 8, qRgb(0, 0, 255), "BMP")));
        QVERIFY(list.AddImageFromStream(encoded(16, 16, qRgb(0, 128, 0), "JPG")));
        QVERIFY(list.AddImageFromFile(icon));
        QVERIFY(list.AddImageFromFile(cursor));
        QVERIFY(list.AddIconFromHandle(
            QIcon(QPixmap::fromImage(QImage::fromData(encoded(8, 8, qRgb(9, 99, 199)))))));
        QVERIFY(!list.AddIconFromHandle(QIcon()));
        QVERIFY(!list.AddImageFromFile(dir.filePath(QStringLiteral("missing.ico"))));
        QVERIFY(!list.AddImageFromStream(QByteArray("not an image at all")));
        QCOMPARE(list.ImageCount(), 6);
        const QRgb expected[] = {0,
                                 qRgb(10, 120, 230),
                                 qRgb(0, 0, 255),
                                 0,
                                 qRgb(255, 0, 0),
                                 qRgb(0, 0, 255),
                                 qRgb(9, 99, 199)};
        for (int i = 0; i <= 6; ++i) {
            QCOMPARE(list.Image(i).size(), QSize(16, 16));
            QCOMPARE(list.Image(i).format(), QImage::Format_ARGB32);
            QVERIFY(expected[i] == 0 || list.Image(i).pixel(7, 7) == expected[i]);
        }
    }

    void iconFramesAreChosenForTheListsSize() {
        MenuImageList list;
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

    // Ghosted: colour kept at 70 % alpha. Disabled: the grey matrix, and
    // the icon's disabled look.
    void ghostedAndDisabledImages() {
        MenuImageList list;
        list.Init(nullptr, 16, 16);
        const QByteArray bytes = encoded(16, 16, 0);
        const QImage source = QImage::fromData(bytes).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(list.AddImageFromStream(bytes, true));
        QVERIFY(list.AddImageFromStream(bytes));
        const QImage ghost = list.Image(0);
        const QImage grey = list.DisabledImage(1);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb in = source.pixel(x, y);
                QCOMPARE(ghost.pixel(x, y),
                         qRgba(qRed(in), qGreen(in), qBlue(in), qRound(qAlpha(in) * 0.7)));
                const int luminance =
                    qRound(0.299 * qRed(in) + 0.587 * qGreen(in) + 0.114 * qBlue(in));
                QCOMPARE(grey.pixel(x, y),
                         qRgba(luminance, luminance, luminance, qRound(qAlpha(in) * 0.5)));
            }
        }
        QCOMPARE(hushgate::ApplyColourMatrix(qRgba(255, 0, 0, 255), hushgate::kDisabledMatrix),
                 qRgba(76, 76, 76, 128));
        const auto look = [&](QIcon::Mode mode) {
            return list.Icon(1)
                .pixmap(QSize(16, 16), 1.0, mode)
                .toImage()
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        };
        QCOMPARE(look(QIcon::Disabled), grey.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        QCOMPARE(look(QIcon::Normal), source.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void putImageFindsItemsByPosition() {
        QMenuBar bar;
        QMenu* file = bar.addMenu(QStringLiteral("File"));
        QMenu* sub = file->addMenu(QStringLiteral("More"));
        QAction* first = file->addAction(QStringLiteral("First"));
        QAction* deep = sub->addAction(QStringLiteral("Deep"));
        MenuImageList list;
        QVERIFY(list.Init(&bar, 16, 16));
        QVERIFY(list.AddImageFromStream(encoded(16, 16, qRgb(1, 2, 3))));

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
        MenuImageList unattached;
        unattached.Init(nullptr, 16, 16);
        QVERIFY(!unattached.PutImageToVBMenu(-1, 0, {0}));
    }
};

QTEST_MAIN(MenuImageTest)
#include "menu_image_test.moc"
