#include "icon_library.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QToolBar>
#include <QWidget>
#include <algorithm>

#include "icon_file.h"
#include "pe_resources.h"
#include "resource_names.h"

namespace hushgate {

namespace {

// The toolbar's picture size at 100 %; the icons' other frames serve the
// larger scales.
constexpr int kToolbarSide = 24;

// Restores the pointer however the reading ends.
class WaitPointer {
public:
    WaitPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitPointer() { QGuiApplication::restoreOverrideCursor(); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;
};

std::span<const std::uint8_t> asBytes(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

// The file's bytes, or nothing when it is missing, unreadable or too large
// to be an icon library.
std::optional<QByteArray> readLibrary(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() ||
        static_cast<std::uint64_t>(file.size()) > kMaxLibraryFileSize) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != file.size()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

QImage IconImageToPicture(std::span<const std::uint8_t> image) {
    const std::vector<std::uint8_t> iconFile = MakeIconFile(image);
    if (iconFile.empty()) {
        return {};
    }
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(iconFile.data()),
                                               static_cast<qsizetype>(iconFile.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    return reader.read();
}

ToolbarImages LoadToolbarImages(const QString& sLibraryFilePath) {
    ToolbarImages result;
    const WaitPointer wait;
    const auto bytes = readLibrary(sLibraryFilePath);
    if (!bytes) {
        return result;
    }
    const std::span<const std::uint8_t> file = asBytes(*bytes);
    const auto icons = FindIconImages(file);
    if (!icons) {
        return result;
    }
    result.libraryUsable = true;
    const auto imageOf = [&](const PeIconImage& icon) {
        return file.subspan(icon.fileOffset, icon.size);
    };
    std::vector<LibraryImage> sizes;
    for (const PeIconImage& icon : *icons) {
        const auto info = DescribeIconImage(imageOf(icon));
        sizes.push_back({icon.number, info ? info->width : 0});
    }
    for (const PickedIcon& picked : PickIconFrames(sizes, FindIconGroups(file), kToolbarSide)) {
        const PeIconImage& icon = (*icons)[picked.image];
        const QImage picture = IconImageToPicture(imageOf(icon));
        if (picture.isNull()) {
            continue;
        }
        const QString key = QStringLiteral("#%1 %2 %3x%4")
                                .arg(icon.number)
                                .arg(icon.size)
                                .arg(picture.width())
                                .arg(picture.height());
        ToolbarImage image{key, QPixmap::fromImage(picture), QIcon()};
        image.icon.addPixmap(image.picture);
        for (const std::size_t frame : picked.frames) {
            const QImage other =
                frame != picked.image ? IconImageToPicture(imageOf((*icons)[frame])) : QImage();
            if (!other.isNull()) {
                image.icon.addPixmap(QPixmap::fromImage(other));
            }
        }
        result.images.append(std::move(image));
    }
    return result;
}

void ApplyToolbarImages(QToolBar* toolbar, const QList<ToolbarImage>& images) {
    const QList<QAction*> positions = toolbar->actions();
    const qsizetype count = std::min(positions.size(), images.size());
    for (qsizetype i = 0; i < count; ++i) {
        positions[i]->setIcon(images[i].icon);
    }
}

void SetIcon(QWidget* window, const QString& sIconResName, bool bSetAsAppIcon) {
    // The icon groups the program carries, by the names the windows use.
    static const struct {
        const char* name;
        const char* path;
    } groups[] = {{"AAA", resources::kIconMain},
                  {"FFF", resources::kIconLanguage},
                  {"ZZZ", resources::kIconAbout}};
    QIcon icon;
    for (const auto& group : groups) {
        if (sIconResName.compare(QLatin1String(group.name), Qt::CaseInsensitive) == 0) {
            icon = QIcon(QString::fromLatin1(group.path));
        }
    }
    // A window with an icon of its own keeps it when the application's icon
    // changes, so the main window stays "AAA" when a dialog sets its icon.
    if (bSetAsAppIcon) {
        QApplication::setWindowIcon(icon);
    }
    window->setWindowIcon(icon);
}

}  // namespace hushgate
