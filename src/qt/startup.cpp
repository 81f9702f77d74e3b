#include "startup.h"

#include <QCoreApplication>
#include <QImageReader>

#include "main_window.h"
#include "message_box.h"
#include "os_version.h"
#include "settings_file.h"

namespace hushgate {

QStringList MissingImageReaders(const QList<QByteArray>& supportedFormats) {
    // PNG is read by Qt itself; JPEG and icon files by plug-ins.
    const struct {
        const char* format;
        const char* file;
    } needed[] = {
#if defined(_WIN32)
        {"png", "Qt6Gui.dll"},
        {"jpeg", "imageformats\\qjpeg.dll"},
        {"ico", "imageformats\\qico.dll"},
#else
        {"png", "libQt6Gui.so.6"},
        {"jpeg", "imageformats/libqjpeg.so"},
        {"ico", "imageformats/libqico.so"},
#endif
    };
    QStringList missing;
    for (const auto& reader : needed) {
        if (!supportedFormats.contains(QByteArray(reader.format))) {
            missing.append(QString::fromLatin1(reader.file));
        }
    }
    return missing;
}

Startup::Startup(AppPaths paths) : paths_(std::move(paths)) {
    setObjectName(QStringLiteral("frmSet"));
    setWindowTitle(QString::fromLatin1(MainWindow::kTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    Timer1.setInterval(1000);
    Timer1.setSingleShot(false);
    connect(&Timer1, &QTimer::timeout, this, &Startup::timerElapsed);
}

bool Startup::load() {
    // A first run gets the default settings; an existing file stays as it is.
    // Without one the program still runs, in English.
    EnsureSettingsFile(toNativePath(paths_.settingsFile));

    const QStringList missing = MissingImageReaders(QImageReader::supportedImageFormats());
    if (!missing.isEmpty()) {
        QStringList lines;
        for (const QString& file : missing) {
            lines.append(QStringLiteral("File: %1 is missing!").arg(file));
        }
        MessageBox::critical(nullptr, QString::fromLatin1(MainWindow::kTitle), lines.join('\n'));
        return false;
    }
    QCoreApplication::processEvents();

    if (GetOSVersion() < kMinimumOSVersion) {
        MessageBox::critical(nullptr, QStringLiteral("System requirements"),
                             QStringLiteral("This application requires Windows XP or above!"));
        return false;
    }

    main_ = new MainWindow(paths_);
    main_->setAttribute(Qt::WA_DeleteOnClose);
    main_->show();
    Timer1.start();
    return true;
}

void Startup::timerElapsed() {
    Timer1.stop();
    close();
}

}  // namespace hushgate
