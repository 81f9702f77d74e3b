// elevation_probe: the real main window on the system's hosts file, as the
// end-to-end test runs it for a test user: presses Block or Unblock (or
// several in turn, "block,unblock"), waits for each change to finish and
// prints what the window then shows.
//
//   elevation_probe VERB[,VERB...] DATA_FOLDER SETTINGS_FILE [READY_FILE]
//
// With READY_FILE it waits for that file before pressing the button, so an
// authentication agent can register for this process first. Prints one
// line per message box ("critical: text") and then "shown: blocked",
// "shown: unblocked" or "shown: unknown".

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "main_window.h"
#include "message_box.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    hushgate::MessageBox::setHandler([](const hushgate::MessageBox::Shown& shown) {
        const char* kind = shown.icon == QMessageBox::Critical      ? "critical"
                           : shown.icon == QMessageBox::Information ? "information"
                                                                    : "other";
        std::printf("%s: %s\n", kind, qPrintable(shown.text));
        std::fflush(stdout);
        return QMessageBox::Ok;
    });

    hushgate::AppPaths paths;
    paths.programFolder = args[2];
    paths.settingsFile = args[3];
    paths.hostsFile = hushgate::SystemHostsPath();
    hushgate::MainWindow window(paths);
    window.show();

    const QString ready = args.size() == 5 ? args[4] : QString();
    QStringList verbs = args[1].split(QLatin1Char(','));
    bool pressed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!ready.isEmpty() && !QFile::exists(ready)) {
            return;  // the agent is not there yet
        }
        if (!pressed) {
            const QString verb = verbs.takeFirst();
            (verb == QLatin1String("block") ? window.cmdBlockFB : window.cmdUnblockFB)->click();
            pressed = true;
        }
        if (window.hostsChangeRunning()) {
            return;
        }
        pressed = false;
        const bool blocked = window.imgBlocked->isVisible();
        const bool unblocked = window.imgUnblocked->isVisible();
        std::printf("shown: %s\n", blocked ? "blocked" : unblocked ? "unblocked" : "unknown");
        std::fflush(stdout);
        if (verbs.isEmpty()) {
            QApplication::quit();
        }
    });
    poll.start(20);
    return QApplication::exec();
}
