// Toolbar pictures from the icon library, offscreen.

#include "icon_library.h"

#include <QAction>
#include <QApplication>
#include <QImageReader>
#include <QTest>
#include <QToolBar>
#include <set>

#include "picture_compare.h"
#include "qt_test_support.h"
#include "resource_names.h"

using hushgate::LoadToolbarImages;
using hushgate::test::pictureDifference;
using hushgate::test::ProgramFolder;

namespace {

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

QRgb middlePixel(const QIcon& icon) {
    return icon.pixmap(QSize(24, 24))
        .toImage()
        .convertToFormat(QImage::Format_ARGB32)
        .pixel(12, 12);
}

// A PE file of the fuzz corpus, made for these tests.
QString library(const char* name) {
    return QStringLiteral(HUSHGATE_PE_CORPUS "/") + QLatin1String(name);
}

QStringList keysOf(const QList<hushgate::ToolbarImage>& images) {
    QStringList keys;
    for (const hushgate::ToolbarImage& image : images) {
        keys << image.key;
    }
    return keys;
}

}  // namespace

class IconLibraryTest : public QObject {
    Q_OBJECT

private slots:
    void readsOurOwnLibraryLaidBesideTheProgram() {
        const QString copy = QCoreApplication::applicationDirPath() + "/resources.dll";
        QCOMPARE(ProgramFolder::read(copy),
                 ProgramFolder::read(QStringLiteral(HUSHGATE_RESOURCES_DLL)));
        const auto result = LoadToolbarImages(copy);
        QVERIFY(result.libraryUsable);
        // One picture per icon, its 24-pixel frame; the icon holds all four.
        QCOMPARE(keysOf(result.images),
                 QStringList({"#1 2440 24x24", "#5 2440 24x24", "#9 2440 24x24", "#13 2440 24x24",
                              "#17 2440 24x24"}));
        // Each frame is the one its .ico file holds, read the ordinary way.
        const char* names[] = {"separator", "language", "about", "web", "facebook"};
        for (int i = 0; i < 5; ++i) {
            QImageReader ico(QStringLiteral(HUSHGATE_ICON_SOURCES "/%1.ico").arg(names[i]));
            QCOMPARE(pictureDifference(result.images[i].picture.toImage(), ico.read()), QString());
            for (const int side : {32, 40, 48}) {
                QVERIFY(ico.jumpToNextImage());
                QCOMPARE(
                    pictureDifference(result.images[i].icon.pixmap(side).toImage(), ico.read()),
                    QString());
            }
        }
        QVERIFY(!QGuiApplication::overrideCursor());  // the wait pointer is gone again
    }

    // Numbered icon images only, broken ones passed over, PNG ones read;
    // keys give number, size and pixels. A missing or foreign file is
    // reported, with the wait pointer gone again.
    void readsTheIconImagesItCan() {
        for (const QString& path : {library("none.dll"), library(""), QString(),
                                    library("not-pe-PE-header-past-the-end")}) {
            const auto result = LoadToolbarImages(path);
            QVERIFY2(!result.libraryUsable && result.images.isEmpty(), qPrintable(path));
        }
        QVERIFY(!QGuiApplication::overrideCursor());
        // Besides a text name and a bitmap: 1 red, 2 cut short, 3 not an
        // image, 4 green, 5 the About menu's PNG, 7 red at 16 x 16.
        const QByteArray png =
            ProgramFolder::read(QString::fromLatin1(hushgate::resources::kMenuAbout));
        const auto result = LoadToolbarImages(library("toolbar-mixed-images"));
        QVERIFY(result.libraryUsable);
        QCOMPARE(keysOf(result.images),
                 QStringList({"#1 2440 24x24", "#4 2440 24x24",
                              QStringLiteral("#5 %1 16x16").arg(png.size()), "#7 1128 16x16"}));
        QCOMPARE(middlePixel(QIcon(result.images[1].picture)), kGreen);
        QCOMPARE(pictureDifference(result.images[2].picture.toImage(),
                                   QImage(QLatin1String(hushgate::resources::kMenuAbout))),
                 QString());
    }

    // In ascending numbers, the first picture on the separator, the next on
    // the buttons in order; buttons without one stay bare.
    void picturesFillTheToolbarInOrder() {
        const QRgb colours[] = {kRed, kGreen, kBlue, kGreen, kBlue, kRed};
        for (const int count : {3, 6}) {  // icons 10 * n, stored from the last
            const auto result = LoadToolbarImages(library(
                qPrintable(QStringLiteral("toolbar-%1-pictures-stored-backwards").arg(count))));
            QCOMPARE(result.images.size(), count);
            QToolBar toolbar;
            toolbar.addSeparator();
            for (int i = 0; i < 4; ++i) {
                toolbar.addAction(QString());
            }
            hushgate::ApplyToolbarImages(&toolbar, result.images);
            for (int i = 1; i <= 4; ++i) {
                const QIcon icon = toolbar.actions()[i]->icon();
                QVERIFY(i < count ? middlePixel(icon) == colours[i] : icon.isNull());
            }
        }
    }

    // The icon groups by name in any case, an unknown name none; only with
    // bSetAsAppIcon does the application's icon change too.
    void windowIconsByGroupName() {
        using namespace hushgate::resources;
        const std::tuple<const char*, const char*, bool> rows[] = {{"AAA", kIconMain, true},
                                                                   {"fff", kIconLanguage, false},
                                                                   {"Zzz", kIconAbout, true},
                                                                   {"AAB", nullptr, true}};
        for (const auto& [name, path, app] : rows) {
            QApplication::setWindowIcon(QIcon());
            QWidget window;
            hushgate::SetIcon(&window, QString::fromLatin1(name), app);
            const QImage icon =
                path ? QIcon(QString::fromLatin1(path)).pixmap(16).toImage() : QImage();
            QVERIFY2(!path || !icon.isNull(), name);
            QCOMPARE(window.windowIcon().pixmap(16).toImage(), icon);
            QCOMPARE(QApplication::windowIcon().pixmap(16).toImage(), app ? icon : QImage());
        }
        // The main icon reaches every scale: its frames up to 256 pixels.
        std::set<int> sides;
        for (const QSize& size : QIcon(QString::fromLatin1(kIconMain)).availableSizes()) {
            sides.insert(size.width());
        }
        QCOMPARE(sides, std::set<int>({16, 24, 32, 48, 64, 128, 256}));
    }
};

QTEST_MAIN(IconLibraryTest)
#include "icon_library_test.moc"
