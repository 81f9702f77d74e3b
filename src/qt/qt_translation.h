#pragma once

#include <QLocale>
#include <QString>
#include <memory>

class QTranslator;

namespace hushgate {

class LanguageFile;

// Qt's own texts (the buttons of message boxes, above all) in the interface
// language: Qt's translation of that language (qtbase_*.qm in Qt's
// translations folder) and, beneath it for a language Qt has none of, the
// button texts of the language file's [Messages] section. Installed while
// the object lives.
class QtTranslation {
public:
    // `languageName` is a language file's name, the English name of its
    // language ("German").
    QtTranslation(const QString& languageName, const LanguageFile& file);
    ~QtTranslation();
    QtTranslation(const QtTranslation&) = delete;
    QtTranslation& operator=(const QtTranslation&) = delete;

    // True when Qt's own translation of the language was found.
    bool hasQtTranslation() const { return qtLoaded_; }

private:
    std::unique_ptr<QTranslator> buttons_;
    std::unique_ptr<QTranslator> qt_;
    bool qtLoaded_ = false;
};

// The locale of a language named in English as QLocale names languages
// ("Portuguese" gives pt_BR), or the C locale for a name it does not know.
QLocale LocaleOfLanguage(const QString& languageName);

}  // namespace hushgate
