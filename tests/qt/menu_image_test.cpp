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

#include "main_menu_images.h"
#include "qt_test_support.h"
#include "resource_names.h"

using hushgate::MenuImageList;
using hushgate::resources::kMenuExit;
using hushgate::test::ProgramFolder;

namespace {

// A file of the fuzz corpus.
QString seed(const char* name) {
    return QStringLiteral(HUSHGATE_ICON_CORPUS "/") + QLatin1String(name);
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

}  // namespace

class MenuImageTest : public QObject {
    Q_OBJECT

private slots:
    // Every source an image can come from, each stored at the list's size.
    void addsImagesFromEverySource() {
        MenuImageList list;
        const QByteArray exitBytes = ProgramFolder::read(QString::fromLatin1(kMenuExit));
        QVERIFY(!list.AddImageFromStream(exitBytes));  // nothing before Init
        QCOMPARE(list.ImageCount(), -1);
        QVERIFY(list.Init(nullptr, 16, 16));
        QTemporaryDir dir;
        // 16 x 16 red and 32 x 32 green at 32 bits, 48 x 48 blue at 8 bits.
        const QString icon = dir.filePath(QStringLiteral("three.Ico"));
        QVERIFY(QFile::copy(seed("three-frames-the-largest-with-fewer-bits.ico"), icon));
        const QRgb sky = qRgb(10, 120, 230), blue = qRgb(0, 0, 255), slate = qRgb(9, 99, 199);
        QVERIFY(list.AddImageFromStream(exitBytes));
        QVERIFY(list.AddImageFromStream(encoded(32, 32, sky)));
        QVERIFY(list.AddImageFromStream(encoded(8, 8, blue, "BMP")));
        QVERIFY(list.AddImageFromStream(encoded(16, 16, qRgb(0, 128, 0), "JPG")));
        QVERIFY(list.AddImageFromFile(icon));
        QVERIFY(list.AddImageFromFile(seed("pixels-a-cursor.cur")));  // 16 x 16 blue
        QVERIFY(list.AddIconFromHandle(
            QIcon(QPixmap::fromImage(QImage::fromData(encoded(8, 8, slate))))));
        QVERIFY(!list.AddIconFromHandle(QIcon()));
        QVERIFY(!list.AddImageFromFile(dir.filePath(QStringLiteral("missing.ico"))));
        QVERIFY(!list.AddImageFromStream(QByteArray("not an image at all")));
        QVERIFY(!list.AddImageFromStream(QByteArray()));
        QCOMPARE(list.ImageCount(), 6);
        const QRgb expected[] = {0, sky, blue, 0, qRgb(255, 0, 0), blue, slate};
        for (int i = 0; i <= 6; ++i) {
            QCOMPARE(list.Image(i).size(), QSize(16, 16));
            QCOMPARE(list.Image(i).format(), QImage::Format_ARGB32);
            QVERIFY(expected[i] == 0 || list.Image(i).pixel(7, 7) == expected[i]);
        }
        // The later images move down; an index outside the list removes nothing.
        QVERIFY(!list.RemoveImage(7) && !list.RemoveImage(-1));
        QVERIFY(list.RemoveImage(6) && list.RemoveImage(0));
        QCOMPARE(list.ImageCount(), 4);
        QCOMPARE(list.Image(0).pixel(7, 7), expected[1]);
        QCOMPARE(list.Image(4).pixel(7, 7), expected[5]);
        // A new Init empties the list. An icon's frame is chosen for the size
        // (the 16 x 16 red one above); the 48 x 48 frame has fewer bits per
        // pixel, so 32 x 32 is scaled up.
        QVERIFY(list.Init(nullptr, 48, 48));
        QCOMPARE(list.ImageCount(), -1);
        QVERIFY(list.AddImageFromStream(ProgramFolder::read(icon)));
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

        // Highlights in the bar and in every menu below it, with raiseEvent only.
        QVERIFY(!unattached.Init(nullptr, 16, 16, true));
        QList<QAction*> highlighted;
        connect(&list, &MenuImageList::MenuMessages, [&](QAction* item) { highlighted << item; });
        QVERIFY(list.Init(&bar, 16, 16, true));
        deep->hover();
        first->hover();
        list.Init(&bar, 16, 16);
        deep->hover();
        QCOMPARE(highlighted, (QList<QAction*>{deep, first}));
    }

    // The five menu images beside their items of the main menu, found by
    // position; Donate stays bare. A missing item is reported, the rest done.
    // Which picture each item shows, at 100 % and 200 %, main_window_test
    // checks on the real window.
    void attachesTheMainMenuImages() {
        QMenuBar bar;
        QAction* exit = bar.addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Exit"));
        MenuImageList list;
        QVERIFY(!hushgate::AttachMainMenuImages(list, &bar));
        QVERIFY(!exit->icon().isNull());
        QMenu* help = bar.addMenu(QStringLiteral("Help"));
        for (const char* item : {"Updates", "", "Language", "Donate", "Web", "About"}) {
            *item ? help->addAction(QString::fromLatin1(item)) : help->addSeparator();
        }
        QVERIFY(hushgate::AttachMainMenuImages(list, &bar));
        QCOMPARE(list.ImageCount(), 4);
        for (int i : {0, 2, 4, 5}) {
            QVERIFY(!help->actions()[i]->icon().isNull());
        }
        QVERIFY(help->actions()[3]->icon().isNull());
    }
};

QTEST_MAIN(MenuImageTest)
#include "menu_image_test.moc"
