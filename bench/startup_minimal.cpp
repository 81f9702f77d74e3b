// hushgate-startup-minimal: the yardstick of hushgate-startup-bench. A plain
// Qt Widgets window (a main window with a menu bar, a label and two
// buttons), linked against Qt Widgets alone and started the way hushgate
// starts, ending at its first frame.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

#include "first_frame.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Minimal"));
    hushgate::bench::ExitAfterFirstFrame();

    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Exit"));
    window.menuBar()->addMenu(QStringLiteral("Help"))->addAction(QStringLiteral("About..."));
    auto* client = new QWidget(&window);
    client->setFixedSize(480, 260);
    auto* label = new QLabel(QStringLiteral("Status: all is well"), client);
    label->move(20, 160);
    auto* first = new QPushButton(QStringLiteral("&First"), client);
    first->setGeometry(20, 200, 200, 40);
    auto* second = new QPushButton(QStringLiteral("&Second"), client);
    second->setGeometry(260, 200, 200, 40);
    window.setCentralWidget(client);
    window.show();
    return QApplication::exec();
}
