#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "app_paths.h"

namespace hushgate {

class MainWindow;

// The invisible start-up step: makes sure there is a settings file, that the
// image readers the windows need are there and that the system is recent
// enough, then opens the main window and goes away a second later.
class Startup : public QWidget {
    Q_OBJECT

public:
    explicit Startup(AppPaths paths);

    // Runs the checks and opens the main window. False when the program has
    // to end; the user has then been told why.
    bool load();

    MainWindow* mainWindow() const { return main_; }
    QTimer Timer1;

private:
    void timerElapsed();

    AppPaths paths_;
    MainWindow* main_ = nullptr;
};

// The file names of the image readers the windows need but this Qt lacks,
// given the formats it supports.
QStringList MissingImageReaders(const QList<QByteArray>& supportedFormats);

}  // namespace hushgate
