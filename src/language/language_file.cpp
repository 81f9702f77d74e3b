#include "language_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "builtin_english.h"
#include "code_pages.h"
#include "messages.h"
#include "native_path.h"
#include "read_ini.h"
#include "settings_file.h"
#include "small_file.h"

namespace hushgate {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWithLng(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    name.remove_prefix(name.size() - 4);
#ifdef _WIN32
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), lowerAscii);
    return folded == ".lng";
#else
    return name == ".lng";
#endif
}

}  // namespace

LanguageFile::LanguageFile(std::string path) : path_(std::move(path)) {
    SmallFile file = ReadSmallFile(path_);
    missing_ = file.outcome == SmallFile::Outcome::Missing;
    if (!file.read()) {
        problem_ = std::move(file.reason);
        return;
    }
    auto ini = std::make_shared<const IniText>(std::move(file.bytes));
    if (!ini->hasSection("Main")) {
        problem_ = "no [Main] section";
        return;
    }
    ini_ = std::move(ini);
    characterSet_ = ParseCharacterSet(ini_->value("LANGUAGE", "CharacterSet"));
}

LanguageFile LanguageFile::inProgramFolder(const std::string& programFolder,
                                           std::string_view language) {
    return LanguageFile(LanguageFilePath(programFolder, language));
}

const LanguageFile& LanguageFile::builtInEnglish() {
    static const LanguageFile english = [] {
        LanguageFile file;
        file.builtIn_ = true;
        file.ini_ = std::make_shared<const IniText>(std::string(BuiltInEnglishBytes()));
        file.characterSet_ = ParseCharacterSet(file.ini_->value("LANGUAGE", "CharacterSet"));
        return file;
    }();
    return english;
}

bool LanguageFile::exists() const {
    return isBuiltIn() || (!path_.empty() && !missing_);
}

std::string LanguageFile::bytes(std::string_view section, std::string_view key) const {
    return ini_ ? ini_->value(section, key) : std::string();
}

Text LanguageFile::text(std::string_view section, std::string_view key) const {
    // A character set without a code page we know reads as Western.
    return Text(bytes(section, key),
                CodePageOf(characterSet_.value_or(kWesternCharacterSet)).characterSet);
}

Text LanguageFile::textOrEnglish(std::string_view section, std::string_view key) const {
    Text own = text(section, key);
    return own.empty() ? builtInEnglish().text(section, key) : own;
}

Text LanguageFile::message(std::string_view key) const {
    return textOrEnglish(messages::kSection, key);
}

std::optional<int> LanguageFile::charsetStep() const {
    if (characterSet_ && FindCodePage(*characterSet_) != nullptr) {
        return characterSet_;
    }
    return std::nullopt;
}

std::vector<std::string> LanguageNames(const std::string& programFolder) {
    std::vector<std::string> names;
    std::error_code error;
    const auto folder = FileSystemPath(programFolder) / "Language";
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        const std::string name = FromFileSystemPath(it->path().filename());
        if (endsWithLng(name) && it->is_regular_file(typeError)) {
            names.push_back(name.substr(0, name.size() - 4));
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto folded = [](char c) { return lowerAscii(c); };
        const bool less =
            std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                         [&](char x, char y) { return folded(x) < folded(y); });
        const bool greater =
            std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                         [&](char x, char y) { return folded(x) < folded(y); });
        return less || (!greater && a < b);
    });
    return names;
}

}  // namespace hushgate
