#pragma once

#include <string>
#include <string_view>

namespace hushgate {

// The one INI lookup of the program, used for config.ini and the language
// files. Returns the value of `KeyName` in section `Section` of `FileName`, or
// "" when the file, the section or the key is missing. Values come back as
// the file's bytes, cut to 354 characters. Never throws.
//
// It reads files the way the Windows profile functions (GetPrivateProfileString
// with an empty default and a 355-character buffer) do, on every platform;
// read_ini.cpp lists the rules.
std::string ReadINI(std::string_view Section, std::string_view KeyName,
                    const std::string& FileName);

// The same lookup in the bytes of a file already in memory (the language
// texts compiled into the program).
std::string ReadINIText(std::string_view Section, std::string_view KeyName, std::string_view text);

// True when `text` has a section named `Section`, by the same rules.
bool INITextHasSection(std::string_view text, std::string_view Section);

}  // namespace hushgate
