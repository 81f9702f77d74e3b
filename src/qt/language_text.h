#pragma once

#include <QString>
#include <string>

#include "code_pages.h"
#include "text.h"

namespace hushgate {

// The Qt windows show Unicode: these decode the texts of text.h.

// `bytes` decoded with the code page of `characterSet`. A character set we do
// not know decodes as Western (Windows-1252). Bytes that the code page leaves
// undefined become U+FFFD.
QString DecodeLanguageText(const std::string& bytes, int characterSet = kWesternCharacterSet);

// Every piece decoded: language-file pieces with their code page, the
// program's own text as file names are (QFile::decodeName; UTF-8 on Windows).
QString ToQString(const Text& text);

// A Qt window needs nothing for a text step's character set: the text is
// already decoded with the file's code page, Qt picks the glyphs of each
// script from the platform's fall-back fonts, and a font carries no
// character set to set. (The Win32 window creates its fonts in it.)

}  // namespace hushgate
