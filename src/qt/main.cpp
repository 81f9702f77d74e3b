// hushgate: the Tavrin Hushgate window.

#include <QApplication>

#include "app_paths.h"
#include "startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin Hushgate"));
    QApplication::setOrganizationName(QStringLiteral("Tavrin Software"));
    // Lets the desktop (and Wayland) match the window to its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(HUSHGATE_APP_ID));

    auto* startup = new hushgate::Startup(hushgate::AppPaths::forThisProgram());
    if (!startup->load()) {
        delete startup;
        return 1;
    }
    return QApplication::exec();
}
