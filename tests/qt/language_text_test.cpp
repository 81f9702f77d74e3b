// Language files are 8-bit text in the code page of their CharacterSet: the
// number is read and mapped, values are decoded, and every file we ship is
// checked to decode into a complete translation in its own letters.

#include "language_text.h"

#include <gtest/gtest.h>

#include <QChar>
#include <QDir>
#include <QString>
#include <algorithm>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "language_file.h"
#include "messages.h"
#include "read_ini.h"
#include "test_files.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace hushgate {
namespace {

TEST(ParseCharacterSet, TakesPlainNumbersFrom0To255) {
    EXPECT_EQ(ParseCharacterSet("204"), 204);
    EXPECT_EQ(ParseCharacterSet("0161"), 161);
    EXPECT_EQ(ParseCharacterSet("255"), 255);
    for (const char* bad : {"", "256", "-1", "+1", "204x", " 204", "1e2", "99999999999"}) {
        EXPECT_EQ(ParseCharacterSet(bad), std::nullopt) << bad;
    }
}

// Every character set 0-255: those with a code page, its Windows number (the
// Win32 window's), its name and a text only that page decodes so; all others,
// symbols (2) among them, decode as Western. Johab: Hangul from their bits,
// a symbol and a Hanja through code page 949, undefined bytes as U+FFFD.
TEST(DecodeLanguageText, UsesTheCodePageOfTheCharacterSet) {
    const std::tuple<int, int, const char*, const char*, QString> rows[] = {
        // clang-format off
        {0, 1252, "windows-1252", "caf\xE9 \x80", u"café €"_qs}, {238, 1250, "windows-1250", "\xB9\xE6\xB3", u"ąćł"_qs},
        {204, 1251, "windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", u"Привет"_qs}, {161, 1253, "windows-1253", "\xE3\xE5\xE9\xDC", u"γειά"_qs},
        {162, 1254, "windows-1254", "\xFD\xF0\xDD", u"ığİ"_qs}, {177, 1255, "windows-1255", "\xF9\xEC\xE5\xED", u"שלום"_qs},
        {178, 1256, "windows-1256", "\xC7", u"ا"_qs}, {186, 1257, "windows-1257", "\xE0\xD0", u"ąŠ"_qs},
        {163, 1258, "windows-1258", "\xD0\xFE", u"Đ₫"_qs}, {128, 932, "windows-932", "\x93\xFA\x96\x7B", u"日本"_qs},
        {134, 936, "windows-936", "\xD6\xD0\xCE\xC4", u"中文"_qs}, {129, 949, "windows-949", "\xC7\xD1\xB1\xB9", u"한국"_qs},
        {136, 950, "windows-950", "\xA4\xA4\xA4\xE5", u"中文"_qs}, {222, 874, "windows-874", "\xA1", u"ก"_qs},
        {77, 10000, "macintosh", "caf\x8E \xDB\xA5\xF0", u"café €•\uF8FF"_qs},
        {130, 1361, "johab", "\xD0\x65\x8A\x82 \x88\x41\x84\x41\xD9\x68\xE0\x31\xDA\xA1\x84\x80\xD8\x31\xFF" "a",
         u"한국 ㄱ\u3164※伽\uFFFD\uFFFD\uFFFD\uFFFD1\uFFFDa"_qs},
#ifdef _WIN32
        {1, int(GetACP()), nullptr, "", u""_qs}, {255, int(GetOEMCP()), nullptr, "", u""_qs},
#else
        {1, 1252, "windows-1252", "\xE9\x80", u"é€"_qs}, {255, 437, "IBM437", "\x82\x9C\xE1", u"é£ß"_qs},
#endif
        // clang-format on
    };
    for (int characterSet = -1; characterSet <= 256; ++characterSet) {
        const auto row = std::find_if(std::begin(rows), std::end(rows), [&](const auto& r) {
            return std::get<0>(r) == characterSet;
        });
        const CodePage* page = FindCodePage(characterSet);
        if (row == std::end(rows)) {
            EXPECT_EQ(page, nullptr) << characterSet;
            EXPECT_EQ(DecodeLanguageText("\xE9\x80", characterSet), u"é€"_qs) << characterSet;
            continue;
        }
        const auto& [set, number, name, bytes, text] = *row;
        ASSERT_NE(page, nullptr) << characterSet;
        EXPECT_EQ(page->number, number) << characterSet;
        EXPECT_EQ(page->name ? std::string(page->name) : "", name ? name : "") << characterSet;
        EXPECT_EQ(DecodeLanguageText(bytes, characterSet), text) << characterSet;
    }
    // Each piece of a filled-in text in its own encoding.
    EXPECT_EQ(ToQString(Text("\xCD\xE5 %1", 204).arg(Text("/tmp/caf\xC3\xA9"))),
              u"Не /tmp/café"_qs);
}

// --- The files we ship ------------------------------------------------------

struct Shipped {
    const char* name;
    int characterSet;
    QChar::Script script;     // the letters the translation is written in
    const char16_t* letters;  // some it must use
};

const Shipped kShipped[] = {
    {"English", 0, QChar::Script_Latin, u""},
    {"German", 0, QChar::Script_Latin, u"äöüß"},
    {"French", 0, QChar::Script_Latin, u"éêà\u00A0"},  // a no-break space before "!"
    {"Spanish", 0, QChar::Script_Latin, u"óí¡¿"},
    {"Italian", 0, QChar::Script_Latin, u"àè"},
    {"Portuguese", 0, QChar::Script_Latin, u"çãá"},
    {"Polish", 238, QChar::Script_Latin, u"ąęłż"},
    {"Russian", 204, QChar::Script_Cyrillic, u"ыщ"},
    {"Ukrainian", 204, QChar::Script_Cyrillic, u"іїє"},  // letters Russian does not have
    {"Greek", 161, QChar::Script_Greek, u"άέίό"},
    {"Turkish", 162, QChar::Script_Latin, u"ışğİ"},
};

// Every key the windows read.
std::vector<std::pair<std::string, std::string>> allKeys() {
    std::vector<std::pair<std::string, std::string>> keys;
    for (int n = 1; n <= 19; ++n) {
        keys.emplace_back("Main", std::to_string(n));
    }
    for (const char* key : messages::kAll) {
        keys.emplace_back(messages::kSection, key);
    }
    const std::pair<const char*, std::vector<const char*>> lists[] = {
        {"About", {"1", "2", "3", "4", "6"}},
        {"Tray", {"3", "4", "5", "6", "7", "8"}},
        {"LANGUAGE", {"CharacterSet", "translator", "e-mail", "web"}}};
    for (const auto& [section, names] : lists) {
        for (const char* key : names) {
            keys.emplace_back(section, key);
        }
    }
    return keys;
}

std::string shippedPath(const char* name) {
    return std::string(HUSHGATE_LANGUAGE_DIR "/") + name + ".lng";
}

TEST(ShippedLanguageFiles, HoldEveryKeyInTheirOwnLetters) {
    QStringList names;
    for (const Shipped& language : kShipped) {
        names << QLatin1String(language.name) + QStringLiteral(".lng");
    }
    names.sort();
    EXPECT_EQ(
        QDir(QStringLiteral(HUSHGATE_LANGUAGE_DIR)).entryList({"*.lng"}, QDir::Files, QDir::Name),
        names);
    const LanguageFile english(shippedPath("English"));
    for (const Shipped& language : kShipped) {
        SCOPED_TRACE(language.name);
        const LanguageFile file(shippedPath(language.name));
        const auto shown = [&file](std::string_view section, std::string_view key) {
            return ToQString(file.text(section, key));
        };
        EXPECT_EQ(file.characterSet(), language.characterSet);
        QString all;
        for (const auto& [section, key] : allKeys()) {
            const QString text = shown(section, key);
            EXPECT_FALSE(text.trimmed().isEmpty()) << section << " " << key;
            EXPECT_LT(ReadINI(section, key, file.path()).size(), 354u) << key;  // never cut
            for (QChar c : text) {
                EXPECT_TRUE(c.unicode() >= 0x20 && c != QChar::ReplacementCharacter) << key;
                // Latin letters are allowed everywhere ("Facebook").
                EXPECT_TRUE(!c.isLetter() || c.script() == language.script ||
                            c.script() == QChar::Script_Latin)
                    << section << " " << key << ": " << text.toStdString();
            }
            all += text;
        }
        for (const char16_t* c = language.letters; *c != 0; ++c) {
            EXPECT_TRUE(all.contains(QChar(*c))) << "lacks U+" << std::hex << int(*c);
        }
        // The buttons keep one access key each, and the two main buttons differ.
        for (const char* key : {"13", "14"}) {
            EXPECT_EQ(shown("Main", key).count(QLatin1Char('&')), 1) << key;
        }
        EXPECT_EQ(shown("About", "6").count(QLatin1Char('&')), 1);
        const QString block = shown("Main", "13"), unblock = shown("Main", "14");
        EXPECT_NE(block.at(block.indexOf(QLatin1Char('&')) + 1).toLower(),
                  unblock.at(unblock.indexOf(QLatin1Char('&')) + 1).toLower());
        EXPECT_NE(shown("Main", "11"), shown("Main", "12"));
        // The program fills in the placeholders of its messages.
        for (const char* key : messages::kAll) {
            for (const char* placeholder : {"%1", "%2"}) {
                EXPECT_EQ(ToQString(file.message(key)).count(placeholder),
                          ToQString(english.message(key)).count(placeholder))
                    << key << " " << placeholder;
            }
        }
        EXPECT_TRUE(shown("LANGUAGE", "web").startsWith(QStringLiteral("http")));
        EXPECT_TRUE(shown("LANGUAGE", "e-mail").contains(QLatin1Char('@')));
        // CR LF line ends only, the last line's too.
        const std::string bytes = test::readFile(file.path());
        EXPECT_TRUE(bytes.ends_with("\r\n"));
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n' || bytes[i] == '\r') {
                ASSERT_EQ(bytes.compare(i++, 2, "\r\n"), 0) << "at byte " << i;
            }
        }
    }
}

}  // namespace
}  // namespace hushgate
