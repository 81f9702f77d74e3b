#include "access_keys.h"

#include <algorithm>

namespace hushgate {

namespace {

// The lower-case form of a letter of the scripts the language files use
// (Latin with its Western, Central European and Turkish letters, Greek,
// Cyrillic), or 0 for anything that is not such a letter. A table of our
// own rather than the C library's, whose answer depends on the locale.
char16_t lowerLetter(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return c;
    }
    if (c >= u'A' && c <= u'Z') {
        return static_cast<char16_t>(c + 0x20);
    }
    if (c >= 0xC0 && c <= 0xFF) {  // Latin-1: two signs among the letters
        if (c == 0xD7 || c == 0xF7) {
            return 0;
        }
        return c <= 0xDE ? static_cast<char16_t>(c + 0x20) : c;
    }
    if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A: upper, lower pairs
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149) {
            return c;  // Turkish dotted I and dotless i are letters of their own
        }
        if (c == 0x178) {
            return 0xFF;
        }
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool upper = oddUpper ? (c % 2 == 1) : (c % 2 == 0);
        return upper ? static_cast<char16_t>(c + 1) : c;
    }
    if (c >= 0x386 && c <= 0x3CE) {  // Greek
        if (c == 0x386) {
            return 0x3AC;
        }
        if (c >= 0x388 && c <= 0x38A) {
            return static_cast<char16_t>(c + 0x25);
        }
        if (c == 0x38C) {
            return 0x3CC;
        }
        if (c == 0x38E || c == 0x38F) {
            return static_cast<char16_t>(c + 0x3F);
        }
        if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {
            return static_cast<char16_t>(c + 0x20);
        }
        if (c == 0x3C2) {
            return 0x3C3;  // final sigma is sigma
        }
        return c >= 0x3AC || c == 0x390 ? c : 0;  // small letters; U+0390 has no capital
    }
    if (c >= 0x400 && c <= 0x45F) {  // Cyrillic
        return c < 0x410   ? static_cast<char16_t>(c + 0x50)
               : c < 0x430 ? static_cast<char16_t>(c + 0x20)
                           : c;
    }
    if (c >= 0x460 && c <= 0x4FF && c != 0x4C0 && c != 0x4CF && !(c >= 0x482 && c <= 0x489)) {
        if (c >= 0x4C1 && c <= 0x4CE) {  // the one odd-upper run of the block
            return c % 2 == 1 ? static_cast<char16_t>(c + 1) : c;
        }
        return c % 2 == 0 ? static_cast<char16_t>(c + 1) : c;
    }
    return 0;
}

// Typed with one key on the keyboards of its script: an unaccented Latin,
// Greek or Cyrillic letter (lower case).
bool plainLetter(char16_t lower) {
    return (lower >= u'a' && lower <= u'z') || (lower >= 0x3B1 && lower <= 0x3C9) ||
           (lower >= 0x430 && lower <= 0x44F);
}

// Where a caption's first free letter is, plain letters first; npos if none.
std::size_t freeLetter(std::u16string_view caption, const std::u16string& taken) {
    for (const bool plainOnly : {true, false}) {
        for (std::size_t i = 0; i < caption.size(); ++i) {
            const char16_t lower = lowerLetter(caption[i]);
            if (lower != 0 && (!plainOnly || plainLetter(lower)) &&
                taken.find(lower) == std::u16string::npos) {
                return i;
            }
        }
    }
    return std::u16string_view::npos;
}

}  // namespace

char16_t MarkedAccessKey(std::u16string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (caption[i + 1] != u'&') {
                return lowerLetter(caption[i + 1]);
            }
            ++i;  // "&&" is one ampersand
        }
    }
    return 0;
}

std::vector<std::u16string> WithAccessKeys(const std::vector<std::u16string>& captions,
                                           std::u16string_view taken) {
    std::u16string used;
    for (const char16_t key : taken) {
        used += lowerLetter(key) != 0 ? lowerLetter(key) : key;
    }
    // Keys the captions mark themselves are theirs, whatever comes first.
    for (const std::u16string& caption : captions) {
        if (const char16_t key = MarkedAccessKey(caption)) {
            used += key;
        }
    }
    std::vector<std::u16string> result;
    result.reserve(captions.size());
    for (const std::u16string& caption : captions) {
        std::u16string marked = caption;
        if (MarkedAccessKey(caption) == 0) {
            const std::size_t at = freeLetter(caption, used);
            if (at != std::u16string::npos) {
                used += lowerLetter(caption[at]);
                marked.insert(at, 1, u'&');
            }
        }
        result.push_back(std::move(marked));
    }
    return result;
}

}  // namespace hushgate
