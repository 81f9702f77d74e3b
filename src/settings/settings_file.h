#pragma once

#include <string>
#include <string_view>

namespace hushgate {

// The settings file remembers one thing, the interface language:
//   [Settings]
//   Language=English
// Lines end in CR LF on every platform; it is this program's file format.

// What a first run writes: "[Settings]\r\nLanguage=English\r\n\r\n".
std::string DefaultSettingsText();

// What SaveSettings writes: "[Settings]\r\nLanguage=" + language + "\r\n".
std::string SettingsText(std::string_view language);

// Where the settings live. On Windows: config.ini in the program folder.
// Elsewhere the program folder is usually not writable, so:
// $XDG_CONFIG_HOME/tavrin-hushgate/config.ini, where an unset, empty or
// relative XDG_CONFIG_HOME means $HOME/.config (and an unset or empty HOME
// the account's home folder from the user database).
std::string SettingsFilePath(const std::string& programFolder);

// Writes DefaultSettingsText() to `path` when no ordinary file is there,
// creating missing parent folders first. An existing file is never touched,
// whatever it holds. Returns false when the file is missing and could not be
// written; a failed attempt leaves nothing behind.
bool EnsureSettingsFile(const std::string& path);

// Replaces the file at `path` with SettingsText(language), creating missing
// parent folders, the way the hosts engine replaces the hosts file
// (ReplaceFileContents): the new text goes to a temporary file beside it, is
// flushed to disk and then renamed over the old file (or, where that cannot
// be, written in place behind a recovery record), so a failure never leaves
// a half-written file: the old one stays as it was, no temporary file
// remains, and the result is false with the reason, one line in the
// system's words, in `*error` (the caller names the file). A file without
// write permission is refused.
bool SaveSettings(const std::string& path, std::string_view language, std::string* error = nullptr);

// True when `language` can name a file of the Language folder: a bare name,
// without "/", "\\" or ".." (nor ":" on Windows), so that config.ini can
// never point the program at a file elsewhere. Anything else is an unknown
// language.
bool IsLanguageName(std::string_view language);

// programFolder + "/Language/" + language + ".lng" (backslashes on Windows).
std::string LanguageFilePath(const std::string& programFolder, std::string_view language);

}  // namespace hushgate
