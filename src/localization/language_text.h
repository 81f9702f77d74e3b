#pragma once

#include <QString>
#include <string>

namespace hushgate {

// A text read from a language file, which is 8-bit text in the Western
// (Windows-1252) code page unless its character set says otherwise.
QString DecodeLanguageText(const std::string& bytes);

}  // namespace hushgate
