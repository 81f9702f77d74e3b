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

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return foldAscii(x) == foldAscii(y); });
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

std::string lookUp(std::string_view text, std::string_view section, std::string_view key) {
    text = withoutBom(text);
    bool inSection = false;
    while (!text.empty()) {
        const std::string_view line = nextLine(text);
        if (line.empty()) {
            continue;
        }
        if (const auto name = sectionName(line)) {
            if (inSection) {
                return {};  // the first section of that name ended without the key
            }
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (sameName(upToNul(trimmed(line.substr(0, equals))), key)) {
            return equals == npos ? std::string() : valueOf(line.substr(equals + 1));
        }
    }
    return {};
}

}  // namespace

std::string ReadINI(std::string_view Section, std::string_view KeyName,
                    const std::string& FileName) {
    try {
        const SmallFile file = ReadSmallFile(FileName);
        return lookUp(file.bytes, trimmed(upToNul(Section)), trimmed(upToNul(KeyName)));
    } catch (...) {
        return {};  // out of memory or a failing stream: a lookup never reports errors
    }
}

std::string ReadINIText(std::string_view Section, std::string_view KeyName, std::string_view text) {
    try {
        return lookUp(text, trimmed(upToNul(Section)), trimmed(upToNul(KeyName)));
    } catch (...) {
        return {};
    }
}

bool INITextHasSection(std::string_view text, std::string_view Section) {
    text = withoutBom(text);
    Section = trimmed(upToNul(Section));
    while (!text.empty()) {
        const auto name = sectionName(nextLine(text));
        if (name && sameName(*name, Section)) {
            return true;
        }
    }
    return false;
}

}  // namespace hushgate
