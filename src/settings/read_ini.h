#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

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

// A file's text, indexed in one pass so that each lookup (by the rules of
// ReadINI) takes no longer however large the file: the language files are
// read once and asked for every text of the windows.
class IniText {
public:
    explicit IniText(std::string text);

    // What ReadINI gives for the file holding this text.
    std::string value(std::string_view Section, std::string_view KeyName) const;
    // True when a section of that name is there.
    bool hasSection(std::string_view Section) const;

private:
    // The first of each name: the line after its "=" (offset, length), offset
    // npos for a key line without one. Names folded to lower-case ASCII.
    using Keys = std::unordered_map<std::string, std::pair<std::size_t, std::size_t>>;

    std::string text_;
    std::unordered_map<std::string, Keys> sections_;  // the first of each name
};

}  // namespace hushgate
