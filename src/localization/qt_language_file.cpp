#include "qt_language_file.h"

#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QVariant>
#include <utility>

#include "language_text.h"
#include "messages.h"
#include "read_ini.h"
#include "settings_file.h"

namespace hushgate {

namespace {

// File names for the standard-library layer below, by the same rule as the
// rest of the program: UTF-8 on Windows, the file system's bytes elsewhere.
std::string nativeName(const QString& name) {
#ifdef _WIN32
    return name.toStdString();
#else
    return QFile::encodeName(name).toStdString();
#endif
}

QString fromNativeName(const std::string& name) {
#ifdef _WIN32
    return QString::fromStdString(name);
#else
    return QFile::decodeName(QByteArray::fromStdString(name));
#endif
}

}  // namespace

QtLanguageFile::QtLanguageFile(QString path)
    : path_(std::move(path)),
      nativePath_(nativeName(path_)),
      characterSet_(ParseCharacterSet(ReadINI("LANGUAGE", "CharacterSet", nativePath_))) {}

QtLanguageFile QtLanguageFile::inProgramFolder(const QString& programFolder, const QString& language) {
    return QtLanguageFile(
        fromNativeName(LanguageFilePath(nativeName(programFolder), nativeName(language))));
}

const QtLanguageFile& QtLanguageFile::builtInEnglish() {
    static const QtLanguageFile english = [] {
        QtLanguageFile file;
        QFile compiled(QStringLiteral(":/builtin/English.lng"));
        const QByteArray bytes =
            compiled.open(QIODevice::ReadOnly) ? compiled.readAll() : QByteArray();
        file.builtIn_ = std::make_shared<const std::string>(bytes.toStdString());
        file.characterSet_ =
            ParseCharacterSet(ReadINIText("LANGUAGE", "CharacterSet", *file.builtIn_));
        return file;
    }();
    return english;
}

bool QtLanguageFile::exists() const {
    return isBuiltIn() || (!path_.isEmpty() && QFileInfo(path_).isFile());
}

QString QtLanguageFile::text(std::string_view section, std::string_view key) const {
    if (isBuiltIn()) {
        return DecodeLanguageText(ReadINIText(section, key, *builtIn_),
                                  characterSet_.value_or(kWesternCharacterSet));
    }
    if (path_.isEmpty()) {
        return {};
    }
    return DecodeLanguageText(ReadINI(section, key, nativePath_),
                              characterSet_.value_or(kWesternCharacterSet));
}

QString QtLanguageFile::textOrEnglish(std::string_view section, std::string_view key) const {
    QString own = text(section, key);
    return own.isEmpty() ? builtInEnglish().text(section, key) : own;
}

QString QtLanguageFile::message(std::string_view key) const {
    return textOrEnglish(messages::kSection, key);
}

void CharsetStep(QObject* control, const QtLanguageFile& file) {
    const std::optional<int> characterSet = file.characterSet();
    if (characterSet && CodePageName(*characterSet) != nullptr) {
        CharsetStep(control, *characterSet);
    }
}

}  // namespace hushgate
