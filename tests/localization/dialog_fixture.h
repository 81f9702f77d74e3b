#pragma once

#include <QByteArray>
#include <QChar>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <initializer_list>
#include <stdexcept>

#include "language_file.h"

namespace hushgate::test {

// A program folder in a temporary folder, its Language folder holding copies
// of the language files we ship.
class ProgramFolder {
public:
    static constexpr std::initializer_list<const char*> kShipped = {
        "English", "German",  "French",    "Spanish", "Italian", "Portuguese",
        "Polish",  "Russian", "Ukrainian", "Greek",   "Turkish"};

    explicit ProgramFolder(std::initializer_list<const char*> languages = kShipped) {
        if (!dir_.isValid() || !QDir(dir_.path()).mkpath(QStringLiteral("Language"))) {
            throw std::runtime_error("cannot make a program folder");
        }
        for (const char* name : languages) {
            const QString file = QLatin1String(name) + QStringLiteral(".lng");
            if (!QFile::copy(QStringLiteral(HUSHGATE_LANGUAGE_DIR "/") + file,
                             languageDir() + QLatin1Char('/') + file)) {
                throw std::runtime_error("cannot copy a language file");
            }
        }
    }

    QString path() const { return dir_.path(); }
    // As the presenters take it: in the encoding of file names.
    std::string nativePath() const { return QFile::encodeName(dir_.path()).toStdString(); }
    QString languageDir() const { return dir_.filePath(QStringLiteral("Language")); }
    LanguageFile language(const QString& name) const {
        return LanguageFile::inProgramFolder(nativePath(), name.toStdString());
    }
    void write(const QString& relative, const QByteArray& bytes) const {
        QFile file(dir_.filePath(relative));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            throw std::runtime_error("cannot write a test file");
        }
    }

private:
    QTemporaryDir dir_;
};

// True when `text` holds at least one letter of `script`.
inline bool hasLetters(const QString& text, QChar::Script script) {
    for (QChar c : text) {
        if (c.isLetter() && c.script() == script) {
            return true;
        }
    }
    return false;
}

// The script of a shipped language we test the dialogs in.
inline QChar::Script scriptOf(const QString& language) {
    if (language == QLatin1String("Russian") || language == QLatin1String("Ukrainian")) {
        return QChar::Script_Cyrillic;
    }
    return language == QLatin1String("Greek") ? QChar::Script_Greek : QChar::Script_Latin;
}

// Saves a picture of `dialog`, under a plain title bar showing its icon and
// title, as `name`.png in $HUSHGATE_RENDER_DIR, when that is set. Returns
// false only when drawing or saving failed.
inline bool render(QWidget* dialog, const QString& name) {
    const QPixmap client = dialog->grab();
    if (client.isNull()) {
        return false;
    }
    const QString folder = qEnvironmentVariable("HUSHGATE_RENDER_DIR");
    if (folder.isEmpty()) {
        return true;
    }
    const int bar = 22;
    QPixmap picture(client.width(), client.height() + bar);
    picture.fill(QColor(0xDD, 0xDD, 0xDD));
    QPainter painter(&picture);
    painter.drawPixmap(3, 3, dialog->windowIcon().pixmap(16, 16));
    painter.setFont(dialog->font());
    painter.drawText(QRect(24, 0, client.width() - 24, bar), Qt::AlignVCenter,
                     dialog->windowTitle());
    painter.drawPixmap(0, bar, client);
    painter.end();
    return picture.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

}  // namespace hushgate::test
