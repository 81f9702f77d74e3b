#pragma once

#include <optional>
#include <string_view>

namespace hushgate {

// Language files are 8-bit text in the Windows code page that belongs to
// their "CharacterSet" (the font character-set numbers of the Windows font
// interface).

// The character set a file that gives none (or one we do not know) is read in.
inline constexpr int kWesternCharacterSet = 0;

struct CodePage {
    int characterSet;
    int number;        // the Windows code page, for MultiByteToWideChar
    const char* name;  // its name for other decoders ("windows-1251")
};

// The value of "CharacterSet" as a number, or nothing when it is empty, not a
// plain decimal number or outside 0-255.
std::optional<int> ParseCharacterSet(std::string_view value);

// The code page of a character set, or nullptr for a number that names no
// code page we know.
const CodePage* FindCodePage(int characterSet);

// The code page a text in `characterSet` is decoded with: its own, or
// Western (Windows-1252) for one we do not know.
const CodePage& CodePageOf(int characterSet);

// The name of the code page of a character set, or nullptr.
inline const char* CodePageName(int characterSet) {
    const CodePage* page = FindCodePage(characterSet);
    return page != nullptr ? page->name : nullptr;
}

}  // namespace hushgate
