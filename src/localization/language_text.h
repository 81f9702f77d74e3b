#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace hushgate {

// Language files are 8-bit text in the Windows code page that belongs to
// their "CharacterSet" (the font character-set numbers of the Windows font
// interface). The windows show Unicode, so every value is decoded with that
// code page.

// The character set a file that gives none (or one we do not know) is read in.
inline constexpr int kWesternCharacterSet = 0;

// The value of "CharacterSet" as a number, or nothing when it is empty, not a
// plain decimal number or outside 0-255.
std::optional<int> ParseCharacterSet(std::string_view value);

// The name of the code page of a character set ("windows-1251" for 204), or
// nullptr for a number that names no code page we know.
const char* CodePageName(int characterSet);

// `bytes` decoded with the code page of `characterSet`. A character set we do
// not know decodes as Western (Windows-1252). Bytes that the code page leaves
// undefined become U+FFFD.
QString DecodeLanguageText(const std::string& bytes, int characterSet = kWesternCharacterSet);

}  // namespace hushgate
