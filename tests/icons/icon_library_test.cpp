// Toolbar pictures from the icon library and the window icons, offscreen.

#include "icon_library.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "pe_builder.h"
#include "resource_names.h"

using hushgate::LoadToolbarImages;
using hushgate::SetIcon;
using namespace hushgate::test;

namespace {

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage argb(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage imageOf(const QIcon& icon) {
    return argb(icon.pixmap(QSize(24, 24)).toImage());
}

QRgb middlePixel(const QIcon& icon) {
    return imageOf(icon).pixel(12, 12);
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

private:
    QTemporaryDir dir;

    QString library(const std::vector<TestResource>& resources) {
        const auto pe = BuildPe(resources);
        const QString path = dir.filePath(QStringLiteral("lib.dll"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(pe.bytes.data()), qint64(pe.bytes.size())) !=
                qint64(pe.bytes.size())) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

private slots:
    void readsOurOwnLibraryLaidBesideTheProgram() {
        const QString copy = QCoreApplication::applicationDirPath() + "/resources.dll";
        QCOMPARE(readAll(copy), readAll(QStringLiteral(HUSHGATE_RESOURCES_DLL)));
        const auto result = LoadToolbarImages(copy);
        QVERIFY(result.libraryUsable);
        QCOMPARE(keysOf(result.images),
                 QStringList({"#1 2440 24x24", "#2 2440 24x24", "#3 2440 24x24", "#4 2440 24x24",
                              "#5 2440 24x24"}));
        // Each picture is the one its .ico file holds, read the ordinary way.
        const char* names[] = {"separator", "language", "about", "web", "facebook"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(argb(result.images[i].picture.toImage()),
                     argb(QImage(QStringLiteral(HUSHGATE_ICON_SOURCES "/%1.ico").arg(names[i]))));
        }
        QVERIFY(!QGuiApplication::overrideCursor());  // the wait pointer is gone again
    }

    void reportsAMissingOrForeignFile() {
        QFile text(dir.filePath("text.dll"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("MZ but nothing else\n");
        text.close();
        for (const QString& path :
             {dir.filePath("none.dll"), dir.path(), QString(), text.fileName()}) {
            const auto result = LoadToolbarImages(path);
            QVERIFY2(!result.libraryUsable && result.images.isEmpty(), qPrintable(path));
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Numbered icon images only, broken ones passed over, PNG ones read;
    // keys give number, size and pixels.
    void readsTheIconImagesItCan() {
        const QByteArray png = readAll(QString::fromLatin1(hushgate::resources::kMenuAbout));
        auto broken = SolidFrame(24, 24, 32, kBlue);
        broken.resize(100);  // the header promises far more pixels
        const auto result = LoadToolbarImages(library({
            {ResName::Id(3), ResName::Text(u"LANGUAGE"), 0x409, SolidFrame(24, 24, 32, kRed)},
            {ResName::Id(2), ResName::Id(1), 0x409, SolidFrame(24, 24, 32, kRed)},
            Icon(1, SolidFrame(24, 24, 32, kRed)),
            Icon(2, broken),
            Icon(3, std::vector<std::uint8_t>(64, 0xAB)),
            Icon(4, SolidFrame(24, 24, 32, kGreen)),
            Icon(5, std::vector<std::uint8_t>(png.begin(), png.end())),
            Icon(7, SolidFrame(16, 16, 32, kRed)),
        }));
        QVERIFY(result.libraryUsable);
        QCOMPARE(keysOf(result.images),
                 QStringList({"#1 2440 24x24", "#4 2440 24x24",
                              QStringLiteral("#5 %1 16x16").arg(png.size()), "#7 1128 16x16"}));
        QCOMPARE(middlePixel(QIcon(result.images[1].picture)), kGreen);
        QCOMPARE(argb(result.images[2].picture.toImage()),
                 argb(QImage(QString::fromLatin1(hushgate::resources::kMenuAbout))));
    }

    // In ascending numbers, the first picture on the separator, the next on
    // the buttons in order; buttons without one stay bare.
    void picturesFillTheToolbarInOrder_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("three") << 3;
        QTest::newRow("six") << 6;
    }
    void picturesFillTheToolbarInOrder() {
        QFETCH(int, count);
        const QRgb colours[] = {kRed, kGreen, kBlue, kGreen, kBlue, kRed};
        std::vector<TestResource> resources;
        for (int n = count; n >= 1; --n) {  // stored out of order
            resources.push_back(
                Icon(std::uint32_t(10 * n), SolidFrame(24, 24, 32, colours[n - 1])));
        }
        const auto result = LoadToolbarImages(library(resources));
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

    void windowIconsComeFromTheIconGroups() {
        const QImage main = imageOf(QIcon(QString::fromLatin1(hushgate::resources::kIconMain)));
        const QImage about = imageOf(QIcon(QString::fromLatin1(hushgate::resources::kIconAbout)));
        const QImage language =
            imageOf(QIcon(QString::fromLatin1(hushgate::resources::kIconLanguage)));
        QVERIFY(main != about && about != language);

        QMainWindow window;
        SetIcon(&window, QStringLiteral("AAA"), true);
        QCOMPARE(imageOf(window.windowIcon()), main);
        QCOMPARE(imageOf(QApplication::windowIcon()), main);
        // A dialog's icon becomes the application's; the main window keeps its own.
        QDialog aboutDialog(&window);
        SetIcon(&aboutDialog, QStringLiteral("ZZZ"), true);
        QCOMPARE(imageOf(aboutDialog.windowIcon()), about);
        QCOMPARE(imageOf(QApplication::windowIcon()), about);
        QCOMPARE(imageOf(window.windowIcon()), main);
        QDialog languageDialog(&window);
        SetIcon(&languageDialog, QStringLiteral("fff"), false);  // names ignore case
        QCOMPARE(imageOf(languageDialog.windowIcon()), language);
        QCOMPARE(imageOf(QApplication::windowIcon()), about);
        // An unknown name takes the window's icon away, as an icon that
        // cannot be loaded would.
        SetIcon(&languageDialog, QStringLiteral("QQQ"), false);
        QVERIFY(languageDialog.windowIcon().isNull());
        QCOMPARE(imageOf(QApplication::windowIcon()), about);
    }
};

QTEST_MAIN(IconLibraryTest)
#include "icon_library_test.moc"
