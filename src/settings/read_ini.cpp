// ReadINI reads an INI file the way GetPrivateProfileStringA does when it is
// given an empty default and a 355-character buffer, so that config.ini and
// the language files mean the same on every platform. The rules, taken from
// the Windows profile functions as Wine documents and tests them
// (dlls/kernel32/profile.c and dlls/kernel32/tests/profile.c):
//
// Reading the file
// - A missing, unreadable or empty file gives "" for every lookup, and so
//   does anything but a regular file, or one past kMaxSmallFileSize
//   (small_file.h): those are never read. A UTF-8
//   byte-order mark at the very start is skipped. Bytes are taken as they
//   are: no code-page conversion, and a NUL byte ends the name or value it
//   stands in (the Windows functions work on C strings).
// - Lines end at CR, at LF, and at any run of them (CR LF, LF, CR alone).
// - "Blanks" are space, tab, LF, VT, FF, CR and Ctrl-Z (the old end-of-file
//   mark). Every line loses its leading and trailing blanks; a line left
//   empty is ignored.
// - A line that starts with "[" and holds a "]" starts a section. The name is
//   the text between the "[" and the LAST "]", without blanks around it; the
//   text after that "]" is ignored. A "[" line without "]" is an ordinary line.
// - Any other line is a key line. Its name is the text before the FIRST "=",
//   without trailing blanks; its value is the text after that "=", without
//   leading blanks. A line without "=" is a key with no value.
// - Lines before the first section header belong to no section and are never
//   found.
// - Comments get no special treatment: ";Language=x" is a key named
//   ";Language", so it never answers a lookup of "Language".
//
// Looking up
// - The requested section and key names lose their blanks at both ends and
//   match the file's names without regard to case (ASCII letters).
// - Only the first section of a given name is searched; a later section of
//   the same name is never read. Within it, the first key line of that name
//   answers: its value, or "" when that line has no "=".
// - The value then loses one pair of enclosing quotes: when it is at least
//   two characters long, starts with ' or " and ends with the same
//   character. Blanks inside the quotes stay.
// - Last, the value is cut to its first 354 characters (the buffer less its
//   closing NUL). A long quoted value therefore gives the first 354
//   characters after the opening quote, and one of exactly 354 characters
//   between its quotes comes back whole (Wine alone drops one more there).
// - An empty section name finds a "[]" section, as the Unicode function does.
//
// Deliberately unlike Windows: a file name is used as given (Windows looks
// for a bare name in the Windows folder), UTF-16 files are not decoded, the
// values of a UTF-8 file are not converted to the ANSI code page, and case
// folding covers ASCII letters only.

#include "read_ini.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "small_file.h"

namespace hushgate {

namespace {

constexpr std::size_t kMaxValueLength = 354;  // the 355-character buffer less its NUL
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr auto npos = std::string_view::npos;

bool isBlank(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x09 && byte <= 0x0D) || byte == 0x1A || byte == 0x20;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view upToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names match without regard to ASCII case: compared folded.
std::string folded(std::string_view name) {
    std::string result(name);
    std::transform(result.begin(), result.end(), result.begin(), foldAscii);
    return result;
}

// `rest` is the trimmed line after its first "=".
std::string valueOf(std::string_view rest) {
    std::string_view value = upToNul(trimmed(rest));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
}

// Takes the next line off `text`, trimmed; empty for a blank line.
std::string_view nextLine(std::string_view& text) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = trimmed(text.substr(0, end));
    // Past one CR or LF; the next of a run then gives an empty line.
    text.remove_prefix(end == npos ? text.size() : end + 1);
    return line;
}

// The name of the section `line` starts, or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = line.rfind(']');
    if (close == npos) {
        return std::nullopt;
    }
    return upToNul(trimmed(line.substr(1, close - 1)));
}

std::string_view withoutBom(std::string_view text) {
    if (text.starts_with(kUtf8Bom)) {
        text.remove_prefix(kUtf8Bom.size());
    }
    return text;
}

}  // namespace

IniText::IniText(std::string text) : text_(std::move(text)) {
    std::string_view rest = withoutBom(text_);
    Keys* keys = nullptr;  // those of the section being read, if it is the first of its name
    while (!rest.empty()) {
        const std::string_view line = nextLine(rest);
        if (line.empty()) {
            continue;
        }
        if (const auto name = sectionName(line)) {
            // Only the first section of a name is ever searched.
            const auto [section, first] = sections_.try_emplace(folded(*name));
            keys = first ? &section->second : nullptr;
            continue;
        }
        if (keys == nullptr) {
            continue;  // before any section, or in a later one of the same name
        }
        // The first key line of a name answers, with its value or "" without "=".
        const std::size_t equals = line.find('=');
        const std::size_t start =
            equals == npos ? npos
                           : static_cast<std::size_t>(line.data() - text_.data()) + equals + 1;
        keys->try_emplace(folded(upToNul(trimmed(line.substr(0, equals)))), start,
                          equals == npos ? 0 : line.size() - equals - 1);
    }
}

std::string IniText::value(std::string_view Section, std::string_view KeyName) const {
    const auto section = sections_.find(folded(trimmed(upToNul(Section))));
    if (section == sections_.end()) {
        return {};
    }
    const auto key = section->second.find(folded(trimmed(upToNul(KeyName))));
    if (key == section->second.end() || key->second.first == npos) {
        return {};
    }
    return valueOf(std::string_view(text_).substr(key->second.first, key->second.second));
}

bool IniText::hasSection(std::string_view Section) const {
    return sections_.contains(folded(trimmed(upToNul(Section))));
}

std::string ReadINI(std::string_view Section, std::string_view KeyName,
                    const std::string& FileName) {
    try {
        return IniText(ReadSmallFile(FileName).bytes).value(Section, KeyName);
    } catch (...) {
        return {};  // out of memory: a lookup never reports errors
    }
}

}  // namespace hushgate
