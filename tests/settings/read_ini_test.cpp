// ReadINI must read config.ini and the language files exactly as the Windows
// profile functions do, so every rule of read_ini.cpp has its rows here.

#include "read_ini.h"

#include <gtest/gtest.h>

namespace hushgate {
namespace {

// The lookup in a file's text, as the language files are read.
std::string ReadINIText(std::string_view section, std::string_view key, std::string_view text) {
    return IniText(std::string(text)).value(section, key);
}

struct Row {
    std::string text;  // the file; a text starting with "=" is "[S]\r\nKey" + text + "\r\n"
    std::string section = "S";
    std::string key = "Key";
};

TEST(ReadINI, FollowsTheWindowsRules) {
    std::string long1000;
    for (int i = 0; i < 1000; ++i) {
        long1000 += static_cast<char>('0' + i % 10 + (i / 10) % 3 * 10);  // no blanks or quotes
    }
    const std::string cut = long1000.substr(0, 354);
    const std::string text =
        "Language=Before\r\n[Settings]\r\nLanguage\r\nOther=1\r\n[Next]\r\nKey=2\r\n";
    const std::pair<Row, std::string> rows[] = {
        // clang-format off
        // Only ASCII letters match without regard to case (more below).
        {{"[\xC9]\r\nKey=1\r\n", "\xE9"}, ""},
        // The value is what follows the first "=", blanks around it removed.
        {{"=a=b"}, "a=b"},
        {{"= = x"}, "= x"},
        {{"="}, ""},
        {{"[S]\r\nKey=1\r\nOther=2\r\n", "S", "Other"}, "2"},
        {{"[S]\r\n \t Key \t = \t two  words \t \r\n"}, "two  words"},
        {{"=\x0B\x0C\x1Avalue\x1A"}, "value"},
        {{"=\xA0x\xA0"}, "\xA0x\xA0"},  // not a blank: bytes are left alone
        {{"[S]\r\nKey=1\r\n", " S\t", "\tKey "}, "1"},
        // One pair of matching enclosing quotes goes.
        {{R"(="abc")"}, "abc"}, {{R"(='abc')"}, "abc"}, {{R"(="  padded  ")"}, "  padded  "},
        {{R"(="")"}, ""}, {{R"(=")"}, R"(")"}, {{R"(="abc')"}, R"("abc')"},
        {{R"(=""abc"")"}, R"("abc")"}, {{R"(="a" b)"}, R"("a" b)"}, {{R"(=  "x"  )"}, "x"},
        // Values are cut to 354 characters after trimming and unquoting.
        {{"=" + cut}, cut},
        {{"=" + long1000}, cut},
        {{"=   \t" + cut + "x   "}, cut},
        {{"=\"" + long1000 + "\""}, cut},
        {{"='" + cut + "'"}, cut},
        // Missing sections and keys, keys before any section, lines without "=".
        {{"", "Settings", "Language"}, ""}, {{text, "Missing"}, ""}, {{text, "Settings"}, ""},
        {{text, "Settings", "Language"}, ""}, {{text, "", "Language"}, ""}, {{text, "Next"}, "2"},
        // Comments are ordinary lines whose name starts with a semicolon.
        {{"[S]\r\n;Key=French\r\n#Key=Dutch\r\nKey=English\r\n"}, "English"},
        {{"[S]\r\n;Key=French\r\n", "S", ";Key"}, "French"},
        {{"[Other]\r\n;[S]\r\nKey=1\r\n"}, ""},
        // The first key line and the first section of a name answer.
        {{"[S]\r\nKey=first\r\nKEY=second\r\n"}, "first"},
        {{"[S]\r\nKey\r\nKey=second\r\n"}, ""},
        {{"[S]\r\nA=1\r\n[Other]\r\nB=2\r\n[s]\r\nKey=3\r\n"}, ""},
        // Section headers.
        {{"[ \tS \t]\r\nKey=1\r\n"}, "1"}, {{"  [S] trailing text\r\nKey=2\r\n"}, "2"},
        {{"[a]b] x\r\nKey=3\r\n", "a]b"}, "3"}, {{"[a]b] x\r\nKey=3\r\n", "a"}, ""},
        {{"[]\r\nKey=4\r\n", ""}, "4"}, {{"[Other]\r\n[S\r\nKey=5\r\n"}, ""},
        {{"[Other]\r\n[S\r\nKey=5\r\n", "Other"}, "5"},
        // CR LF, LF and CR alone all end lines.
        {{"\n\r[S]\rKey=1\n\n[B]\r\nKey=2"}, "1"},
        {{"[S]\nA=1\r\nB=2\rKey=3", "S"}, "3"},
        // A UTF-8 byte-order mark is skipped only at the start; NUL ends a name or value.
        {{"\xEF\xBB\xBF[S]\r\nKey=English\r\n"}, "English"},
        {{"=\xEF\xBB\xBFx"}, "\xEF\xBB\xBFx"},
        {{"=Fran\347ais \xFF\x80\x81"}, "Fran\347ais \xFF\x80\x81"},
        {{std::string("=ab\0cd", 6)}, "ab"},
        {{"[S]\r\nKey=1\r\n", std::string("S\0x", 3)}, "1"},
        // clang-format on
    };
    // ReadINI reads the file's bytes (small_file_test.cpp) and looks them up so.
    for (const auto& [row, expected] : rows) {
        const std::string text =
            row.text.starts_with('=') ? "[S]\r\nKey" + row.text + "\r\n" : row.text;
        EXPECT_EQ(ReadINIText(row.section, row.key, text), expected)
            << row.text << " [" << row.section << "] " << row.key;
    }
    // Section and key names: each letter matches its other case; '@', '[',
    // '`', '{' and the rest of 0x40-0x7F, one bit from each other, do not.
    for (char c = 0x40; c < 0x60; ++c) {
        const std::string upper(1, c), lower(1, static_cast<char>(c | 0x20));
        const std::string found = c >= 'A' && c <= 'Z' ? "1" : "";
        for (const auto& [in, asked] : {std::pair{upper, lower}, std::pair{lower, upper}}) {
            const std::string text = "[S" + in + "]\r\nK" + in + "=1\r\n";
            EXPECT_EQ(ReadINIText("S" + asked, "K" + in, text), found) << text;
            EXPECT_EQ(ReadINIText("S" + in, "K" + asked, text), found) << text;
        }
    }
}

}  // namespace
}  // namespace hushgate
