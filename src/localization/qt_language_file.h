#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "language_text.h"

class QObject;

namespace hushgate {

// One language file. Every text a window takes from a language file comes
// through text(), so it is always decoded with the file's own code page.
// Transitional: the Qt windows' view of a language file, until they take
// their texts from the presenter.
class QtLanguageFile {
public:
    QtLanguageFile() = default;  // no file: every text is ""
    explicit QtLanguageFile(QString path);

    // The file of `language` in the program's Language folder.
    static QtLanguageFile inProgramFolder(const QString& programFolder, const QString& language);

    // The English texts compiled into the program (the bytes of English.lng):
    // what the windows show when no language file can be found at all.
    static const QtLanguageFile& builtInEnglish();

    // "" for the built-in English.
    const QString& path() const { return path_; }
    bool isBuiltIn() const { return builtIn_ != nullptr; }
    // A file on disk that is there, or the built-in English.
    bool exists() const;

    // Key `key` of section `section` (looked up with ReadINI), decoded with the
    // file's code page; "" when the file, the section or the key is missing.
    QString text(std::string_view section, std::string_view key) const;

    // For keys that language files written before them lack: the file's text,
    // or the built-in English one when the file has none (an empty error
    // message or state word would leave the user guessing).
    QString textOrEnglish(std::string_view section, std::string_view key) const;
    // One of the program's messages (messages.h), by the same rule.
    QString message(std::string_view key) const;

    // "CharacterSet" of section "LANGUAGE" when it is a number from 0 to 255,
    // read once when the object is made. A file without one reads as Western.
    std::optional<int> characterSet() const { return characterSet_; }

private:
    QString path_;
    std::string nativePath_;  // what ReadINI opens
    std::shared_ptr<const std::string> builtIn_;  // the bytes, for the built-in English
    std::optional<int> characterSet_;
};


// The "charset step": `control` follows the character set of `file`. Its text
// is already decoded with the file's code page (QtLanguageFile::text), and that
// is all a Unicode window needs: Qt picks the glyphs of each script from the
// platform's fall-back fonts, and a font carries no character set to set. So
// the step records the character set on the control (kCharacterSetProperty)
// and leaves its font alone. A file with no known character set changes
// nothing.
void CharsetStep(QObject* control, const QtLanguageFile& file);

}  // namespace hushgate
