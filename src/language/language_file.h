#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "read_ini.h"
#include "text.h"

namespace hushgate {

// One language file. Every text a window takes from a language file comes
// through text(), as the file's bytes marked with the file's character set,
// so that every front end decodes it with the file's own code page.
// Paths are in the encoding of file names (UTF-8 on Windows).
class LanguageFile {
public:
    LanguageFile() = default;  // no file: every text is empty
    // Reads the file once (small_file.h); every text is then looked up in
    // memory.
    explicit LanguageFile(std::string path);

    // The file of `language` in the program's Language folder.
    static LanguageFile inProgramFolder(const std::string& programFolder,
                                        std::string_view language);

    // The English texts compiled into the program (the bytes of English.lng):
    // what the windows show when no language file can be found at all.
    static const LanguageFile& builtInEnglish();

    // "" for the built-in English.
    const std::string& path() const { return path_; }
    bool isBuiltIn() const { return builtIn_; }
    // Something of that name is on disk (usable or not), or the built-in
    // English.
    bool exists() const;
    // Why the file cannot serve as a language file: it cannot be read, is
    // no regular file or too large, or has no [Main] section (random bytes,
    // an empty file). "" for a usable file and for the built-in English. A
    // usable file may still lack keys: those texts are empty.
    const std::string& problem() const { return problem_; }

    // Key `key` of section `section` (looked up as ReadINI does); empty when
    // the file, the section or the key is missing.
    Text text(std::string_view section, std::string_view key) const;

    // For keys that language files written before them lack: the file's text,
    // or the built-in English one when the file has none (an empty error
    // message or state word would leave the user guessing).
    Text textOrEnglish(std::string_view section, std::string_view key) const;
    // One of the program's messages (messages.h), by the same rule.
    Text message(std::string_view key) const;

    // "CharacterSet" of section "LANGUAGE" when it is a number from 0 to 255,
    // read once when the object is made.
    std::optional<int> characterSet() const { return characterSet_; }
    // What a charset step sets on a font: the character set, when it names a
    // code page we know; nothing otherwise (the font stays as it is).
    std::optional<int> charsetStep() const;

private:
    std::string bytes(std::string_view section, std::string_view key) const;

    std::string path_;
    std::shared_ptr<const IniText> ini_;  // the file, read once
    bool builtIn_ = false;
    bool missing_ = false;
    std::string problem_;
    std::optional<int> characterSet_;
};

// The names of the *.lng files of `programFolder`/Language, each without its
// ".lng", sorted by name regardless of ASCII case. Elsewhere than on Windows
// only names ending in ".lng" exactly count: only those are found again by
// name.
std::vector<std::string> LanguageNames(const std::string& programFolder);

}  // namespace hushgate
