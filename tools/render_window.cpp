// hushgate-render: draws the main window, without a display, into a PNG file.
// Usage: hushgate-render OUTPUT.png [HOSTS-FILE [LANGUAGE]]
// The window reads HOSTS-FILE (default: the system's hosts file) and the
// language files beside this program, in LANGUAGE (default English); the
// user's settings are neither read nor written.

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "main_window.h"
#include "message_box.h"
#include "settings_file.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2 || args.size() > 4) {
        std::fprintf(stderr, "usage: hushgate-render OUTPUT.png [HOSTS-FILE [LANGUAGE]]\n");
        return 2;
    }
    // Messages would block; print them instead.
    hushgate::MessageBox::setHandler([](const hushgate::MessageBox::Shown& shown) {
        std::fprintf(stderr, "message: %s\n", qPrintable(shown.text));
        return QMessageBox::Ok;
    });

    QTemporaryDir scratch;
    hushgate::AppPaths paths = hushgate::AppPaths::forThisProgram();
    paths.settingsFile = scratch.filePath(QStringLiteral("config.ini"));
    if (args.size() >= 3) {
        paths.hostsFile = hushgate::toNativePath(args[2]);
    }
    if (args.size() == 4 && !hushgate::SaveSettings(hushgate::toNativePath(paths.settingsFile),
                                                    hushgate::toNativePath(args[3]))) {
        std::fprintf(stderr, "hushgate-render: cannot write the scratch settings\n");
        return 1;
    }
    hushgate::MainWindow window(paths);
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(args[1])) {
        std::fprintf(stderr, "hushgate-render: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
