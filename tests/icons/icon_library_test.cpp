// Toolbar pictures from the icon library and the window icons, offscreen.

#include "icon_library.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QIcon>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "pe_builder.h"
#include "resource_names.h"

using hushgate::ApplyToolbarImages;
using hushgate::LoadToolbarImages;
using hushgate::SetIcon;
using hushgate::ToolbarImage;
using hushgate::test::BuildPe;
using hushgate::test::DibIcon;
using hushgate::test::Icon;
using hushgate::test::ResName;
using hushgate::test::TestResource;

namespace {

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage imageOf(const QIcon& icon, int side = 24) {
    return icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
}

QRgb middlePixel(const QPixmap& picture) {
    return picture.toImage().pixel(picture.width() / 2, picture.height() / 2);
}

QStringList keysOf(const QList<ToolbarImage>& images) {
    QStringList keys;
    for (const ToolbarImage& image : images) {
        keys << image.key;
    }
    return keys;
}

// A toolbar laid out as the main window's: the separator, then four buttons.
void fillToolbar(QToolBar& toolbar) {
    toolbar.addSeparator();
    for (const char* key : {"language", "about", "web", "facebook"}) {
        toolbar.addAction(QString())->setObjectName(QString::fromLatin1(key));
    }
}

}  // namespace

class IconLibraryTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString library(const std::vector<TestResource>& resources, const QString& name = "lib.dll") {
        const auto pe = BuildPe(resources);
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(pe.bytes.data()),
                       static_cast<qint64>(pe.bytes.size())) !=
                static_cast<qint64>(pe.bytes.size())) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

private slots:
    void readsOurOwnLibrary() {
        const auto result = LoadToolbarImages(QStringLiteral(HUSHGATE_RESOURCES_DLL));
        QVERIFY(result.libraryUsable);
        QCOMPARE(keysOf(result.images),
                 QStringList({"#1 2440 24x24", "#2 2440 24x24", "#3 2440 24x24", "#4 2440 24x24",
                              "#5 2440 24x24"}));
        // Each picture is the one its .ico file holds, read the ordinary way.
        const char* names[] = {"separator", "language", "about", "web", "facebook"};
        for (int i = 0; i < 5; ++i) {
            const QImage expected(QStringLiteral(HUSHGATE_ICON_SOURCES "/%1.ico").arg(names[i]));
            QVERIFY(!expected.isNull());
            QCOMPARE(result.images[i].picture.toImage().convertToFormat(QImage::Format_ARGB32),
                     expected.convertToFormat(QImage::Format_ARGB32));
        }
        QVERIFY(!QGuiApplication::overrideCursor());  // the wait pointer is gone again
    }

    void layLibraryBesideTheProgram() {
        const QString copy = QCoreApplication::applicationDirPath() + "/resources.dll";
        QVERIFY2(QFile::exists(copy), qPrintable(copy));
        QCOMPARE(readAll(copy), readAll(QStringLiteral(HUSHGATE_RESOURCES_DLL)));
    }

    void reportsAMissingOrForeignFile() {
        for (const QString& path : {dir.filePath("none.dll"), dir.path(), QString()}) {
            const auto result = LoadToolbarImages(path);
            QVERIFY2(!result.libraryUsable, qPrintable(path));
            QVERIFY(result.images.isEmpty());
        }
        QFile text(dir.filePath("text.dll"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("MZ but nothing else\n");
        text.close();
        QVERIFY(!LoadToolbarImages(text.fileName()).libraryUsable);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void libraryWithoutNumberedIconsGivesNoPictures() {
        const auto result = LoadToolbarImages(library({
            {ResName::Id(3), ResName::Text(u"LANGUAGE"), 0x409, DibIcon(24, 24, kRed)},
            {ResName::Id(2), ResName::Id(1), 0x409, DibIcon(24, 24, kRed)},
        }));
        QVERIFY(result.libraryUsable);
        QVERIFY(result.images.isEmpty());
    }

    void keysGiveNumberSizeAndPixels() {
        const auto result = LoadToolbarImages(library({Icon(7, DibIcon(16, 16, kRed))}));
        QCOMPARE(keysOf(result.images), QStringList{"#7 1128 16x16"});
    }

    void readsPngIconImages() {
        const QByteArray png = readAll(QStringLiteral(HUSHGATE_UI_RESOURCES "/PNG_4.png"));
        QVERIFY(!png.isEmpty());
        const auto result = LoadToolbarImages(
            library({Icon(3, std::vector<std::uint8_t>(png.begin(), png.end()))}));
        QCOMPARE(keysOf(result.images), QStringList{QStringLiteral("#3 %1 16x16").arg(png.size())});
        QCOMPARE(result.images[0].picture.toImage().convertToFormat(QImage::Format_ARGB32),
                 QImage(QString::fromLatin1(hushgate::resources::kMenuAbout))
                     .convertToFormat(QImage::Format_ARGB32));
    }

    void passesOverABrokenIconImage() {
        auto broken = DibIcon(24, 24, kBlue);
        broken.resize(100);  // the header promises far more pixels
        const auto result = LoadToolbarImages(library(
            {Icon(1, DibIcon(24, 24, kRed)), Icon(2, broken),
             Icon(3, std::vector<std::uint8_t>(64, 0xAB)), Icon(4, DibIcon(24, 24, kGreen))}));
        QVERIFY(result.libraryUsable);
        QCOMPARE(keysOf(result.images), QStringList({"#1 2440 24x24", "#4 2440 24x24"}));
        QCOMPARE(middlePixel(result.images[1].picture), kGreen);
    }

    void threeIconsFillTheSeparatorAndTwoButtons() {
        const auto result = LoadToolbarImages(
            library({Icon(30, DibIcon(24, 24, kBlue)), Icon(10, DibIcon(24, 24, kRed)),
                     Icon(20, DibIcon(24, 24, kGreen))}));
        QCOMPARE(result.images.size(), 3);
        QToolBar toolbar;
        fillToolbar(toolbar);
        ApplyToolbarImages(&toolbar, result.images);
        const QList<QAction*> actions = toolbar.actions();
        // Ascending numbers: red (10) on the separator, green and blue on the first buttons.
        QCOMPARE(middlePixel(actions[1]->icon().pixmap(24)), kGreen);
        QCOMPARE(middlePixel(actions[2]->icon().pixmap(24)), kBlue);
        QVERIFY(actions[3]->icon().isNull());
        QVERIFY(actions[4]->icon().isNull());
    }

    void sixIconsGiveSixPictures() {
        std::vector<TestResource> resources;
        for (std::uint32_t n = 1; n <= 6; ++n) {
            resources.push_back(Icon(n, DibIcon(24, 24, n == 6 ? kBlue : kRed)));
        }
        const auto result = LoadToolbarImages(library(resources));
        QCOMPARE(result.images.size(), 6);
        QCOMPARE(result.images[5].key, QStringLiteral("#6 2440 24x24"));
        QToolBar toolbar;
        fillToolbar(toolbar);
        ApplyToolbarImages(&toolbar, result.images);  // the sixth has no place
        for (QAction* action : toolbar.actions().mid(1)) {
            QCOMPARE(middlePixel(action->icon().pixmap(24)), kRed);
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
        QVERIFY(!languageDialog.testAttribute(Qt::WA_SetWindowIcon));
        QVERIFY(languageDialog.windowIcon().isNull());
        QCOMPARE(imageOf(QApplication::windowIcon()), about);
    }
};

QTEST_MAIN(IconLibraryTest)
#include "icon_library_test.moc"
