// hushgate-try: the real program, started the way hushgate starts, but on a
// scratch hosts file, program folder and settings file, for trying the
// window by hand or with xdotool. A development tool, never installed.
// Usage: hushgate-try HOSTS-FILE [PROGRAM-FOLDER [SETTINGS-FILE]]
// PROGRAM-FOLDER (default: beside this program) holds Language/ and
// resources.dll; SETTINGS-FILE defaults to config.ini in a temporary folder.

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "app_paths.h"
#include "startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2 || args.size() > 4) {
        std::fprintf(stderr, "usage: hushgate-try HOSTS-FILE [PROGRAM-FOLDER [SETTINGS-FILE]]\n");
        return 2;
    }
    QTemporaryDir scratch;
    hushgate::AppPaths paths = hushgate::AppPaths::forThisProgram();
    paths.hostsFile = hushgate::toNativePath(args[1]);
    if (args.size() >= 3) {
        paths.programFolder = args[2];
    }
    paths.settingsFile =
        args.size() == 4 ? args[3] : scratch.filePath(QStringLiteral("config.ini"));
    auto* startup = new hushgate::Startup(paths);
    if (!startup->load()) {
        delete startup;
        return 1;
    }
    return QApplication::exec();
}
