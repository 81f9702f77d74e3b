// Language files are 8-bit text in the code page of their CharacterSet: the
// number is read and mapped, values are decoded, and every file we ship is
// checked to decode into a complete, readable translation.

#include "language_text.h"

#include <gtest/gtest.h>

#include <QChar>
#include <QDir>
#include <QObject>
#include <QString>
#include <QVariant>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "language_file.h"
#include "messages.h"
#include "read_ini.h"
#include "test_files.h"

namespace hushgate {
namespace {

const QString kLanguageDir = QStringLiteral(HUSHGATE_LANGUAGE_DIR);

TEST(ParseCharacterSet, TakesPlainNumbersFrom0To255) {
    EXPECT_EQ(ParseCharacterSet("0"), 0);
    EXPECT_EQ(ParseCharacterSet("204"), 204);
    EXPECT_EQ(ParseCharacterSet("0161"), 161);
    EXPECT_EQ(ParseCharacterSet("255"), 255);
    for (const char* bad : {"", "256", "-1", "+1", "204x", " 204", "x", "1e2", "99999999999"}) {
        EXPECT_EQ(ParseCharacterSet(bad), std::nullopt) << bad;
    }
}

TEST(CodePageName, EveryKnownCharacterSetHasItsWindowsCodePage) {
    const std::map<int, std::string> expected = {
        {0, "windows-1252"},   {238, "windows-1250"}, {204, "windows-1251"}, {161, "windows-1253"},
        {162, "windows-1254"}, {177, "windows-1255"}, {178, "windows-1256"}, {186, "windows-1257"},
        {163, "windows-1258"}, {222, "windows-874"},  {128, "windows-932"},  {134, "windows-936"},
        {129, "windows-949"},  {136, "windows-950"},
    };
    for (int characterSet = 0; characterSet <= 255; ++characterSet) {
        const char* name = CodePageName(characterSet);
        const auto known = expected.find(characterSet);
        if (known == expected.end()) {
            EXPECT_EQ(name, nullptr) << characterSet;
        } else {
            ASSERT_NE(name, nullptr) << characterSet;
            EXPECT_EQ(name, known->second);
        }
    }
}

TEST(DecodeLanguageText, UsesTheCodePageOfTheCharacterSet) {
    EXPECT_EQ(DecodeLanguageText("caf\xE9 \x80"), QStringLiteral(u"café €"));
    EXPECT_EQ(DecodeLanguageText("\xCF\xF0\xE8\xE2\xE5\xF2", 204), QStringLiteral(u"Привет"));
    EXPECT_EQ(DecodeLanguageText("\xE3\xE5\xE9\xDC", 161), QStringLiteral(u"γειά"));
    EXPECT_EQ(DecodeLanguageText("\xB9\xE6\xB3", 238), QStringLiteral(u"ąćł"));
    EXPECT_EQ(DecodeLanguageText("\xFD\xF0\xDD", 162), QStringLiteral(u"ığİ"));
    EXPECT_EQ(DecodeLanguageText("\xF9\xEC\xE5\xED", 177), QStringLiteral(u"שלום"));
    EXPECT_EQ(DecodeLanguageText("\x93\xFA\x96\x7B", 128), QStringLiteral(u"日本"));
    EXPECT_EQ(DecodeLanguageText("\xD6\xD0\xCE\xC4", 134), QStringLiteral(u"中文"));
    EXPECT_EQ(DecodeLanguageText("\xC7\xD1\xB1\xB9", 129), QStringLiteral(u"한국"));
    EXPECT_EQ(DecodeLanguageText("\xA4\xA4\xA4\xE5", 136), QStringLiteral(u"中文"));
    EXPECT_EQ(DecodeLanguageText("\xA1", 222), QStringLiteral(u"ก"));
}

TEST(DecodeLanguageText, UnknownCharacterSetsDecodeAsWestern) {
    for (int characterSet : {1, 2, 77, 255, -1, 1000}) {
        EXPECT_EQ(DecodeLanguageText("\xE9\x80", characterSet), QStringLiteral(u"é€"))
            << characterSet;
    }
}

TEST(DecodeLanguageText, EveryCodePageKeepsAscii) {
    std::string ascii;
    for (char c = 0x20; c < 0x7F; ++c) {
        ascii += c;
    }
    for (int characterSet = 0; characterSet <= 255; ++characterSet) {
        if (CodePageName(characterSet) != nullptr) {
            EXPECT_EQ(DecodeLanguageText(ascii, characterSet), QString::fromLatin1(ascii))
                << characterSet;
        }
    }
}

TEST(ToQString, DecodesEachPieceInItsOwnEncoding) {
    const Text text = Text("\xCD\xE5 %1", 204).arg(Text("/tmp/caf\xC3\xA9"));
    EXPECT_EQ(ToQString(text), QStringLiteral(u"Не /tmp/café"));
    QObject control;
    CharsetStep(&control, 161);
    EXPECT_EQ(control.property(kCharacterSetProperty), QVariant(161));
    CharsetStep(nullptr, 161);  // nothing to do, no crash
}

// --- The files we ship ------------------------------------------------------

struct Shipped {
    const char* name;
    int characterSet;
    QChar::Script script;  // the letters the translation is written in
};

const Shipped kShipped[] = {
    {"English", 0, QChar::Script_Latin},        {"German", 0, QChar::Script_Latin},
    {"French", 0, QChar::Script_Latin},         {"Spanish", 0, QChar::Script_Latin},
    {"Italian", 0, QChar::Script_Latin},        {"Portuguese", 0, QChar::Script_Latin},
    {"Polish", 238, QChar::Script_Latin},       {"Russian", 204, QChar::Script_Cyrillic},
    {"Ukrainian", 204, QChar::Script_Cyrillic}, {"Greek", 161, QChar::Script_Greek},
    {"Turkish", 162, QChar::Script_Latin},
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
    for (const char* key : {"1", "2", "3", "4", "6"}) {
        keys.emplace_back("About", key);
    }
    for (const char* key : {"3", "4", "5", "6", "7", "8"}) {
        keys.emplace_back("Tray", key);
    }
    for (const char* key : {"CharacterSet", "translator", "e-mail", "web"}) {
        keys.emplace_back("LANGUAGE", key);
    }
    return keys;
}

std::string shippedPath(const char* name) {
    return (kLanguageDir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".lng"))
        .toStdString();
}

TEST(ShippedLanguageFiles, AreExactlyTheOnesWeTest) {
    QStringList expected;
    for (const Shipped& language : kShipped) {
        expected << QLatin1String(language.name) + QStringLiteral(".lng");
    }
    expected.sort();
    EXPECT_EQ(QDir(kLanguageDir).entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name),
              expected);
}

TEST(ShippedLanguageFiles, HoldEveryKeyDecodedIntoTheirOwnLetters) {
    for (const Shipped& language : kShipped) {
        SCOPED_TRACE(language.name);
        const LanguageFile file(shippedPath(language.name));
        const auto shown = [&file](std::string_view section, std::string_view key) {
            return ToQString(file.text(section, key));
        };
        ASSERT_TRUE(file.exists());
        EXPECT_EQ(file.characterSet(), language.characterSet);
        int ownLetters = 0;
        for (const auto& [section, key] : allKeys()) {
            const std::string bytes = ReadINI(section, key, file.path());
            const QString text = ToQString(file.text(section, key));
            EXPECT_FALSE(text.trimmed().isEmpty()) << section << " " << key;
            EXPECT_LT(bytes.size(), 354u) << section << " " << key;  // never cut
            for (QChar c : text) {
                EXPECT_NE(c, QChar::ReplacementCharacter) << section << " " << key;
                EXPECT_GE(c.unicode(), 0x20) << section << " " << key;
                if (c.isLetter()) {
                    // Latin letters are allowed everywhere ("Facebook").
                    EXPECT_TRUE(c.script() == language.script || c.script() == QChar::Script_Latin)
                        << section << " " << key << ": " << text.toStdString();
                    ownLetters += c.script() == language.script ? 1 : 0;
                }
            }
        }
        EXPECT_GT(ownLetters, 200);
        for (const char* key : {"9", "10", "13"}) {
            EXPECT_TRUE(shown("Main", key).contains(QStringLiteral("Facebook"))) << key;
        }
        // The buttons keep their access keys, and the two main buttons differ.
        const std::pair<const char*, const char*> buttons[] = {
            {"Main", "13"}, {"Main", "14"}, {"About", "6"}};
        for (const auto& [section, key] : buttons) {
            EXPECT_EQ(shown(section, key).count(QLatin1Char('&')), 1) << section << " " << key;
        }
        const QString block = shown("Main", "13");
        const QString unblock = shown("Main", "14");
        EXPECT_NE(block.at(block.indexOf(QLatin1Char('&')) + 1).toLower(),
                  unblock.at(unblock.indexOf(QLatin1Char('&')) + 1).toLower());
        EXPECT_NE(shown("Main", "11"), shown("Main", "12"));
        // The program fills in the placeholders of its messages.
        const LanguageFile english(shippedPath("English"));
        for (const char* key : messages::kAll) {
            for (const char* placeholder : {"%1", "%2"}) {
                EXPECT_EQ(ToQString(file.message(key)).count(placeholder),
                          ToQString(english.message(key)).count(placeholder))
                    << key << " " << placeholder;
            }
        }
        EXPECT_TRUE(shown("LANGUAGE", "web").startsWith(QStringLiteral("http")));
        EXPECT_TRUE(shown("LANGUAGE", "e-mail").contains(QLatin1Char('@')));
    }
}

TEST(ShippedLanguageFiles, SpeakTheirLanguages) {
    std::map<std::string, std::set<char16_t>> letters;  // some letters each must use
    letters["German"] = {u'ä', u'ö', u'ü', u'ß'};
    letters["French"] = {u'é', u'ê', u'à', u'\u00A0'};  // a no-break space before "!"
    letters["Spanish"] = {u'ó', u'í', u'¡', u'¿'};
    letters["Portuguese"] = {u'ç', u'ã', u'á'};
    letters["Polish"] = {u'ą', u'ę', u'ł', u'ż'};
    letters["Turkish"] = {u'ı', u'ş', u'ğ', u'İ'};
    letters["Ukrainian"] = {u'і', u'ї', u'є'};  // letters Russian does not have
    letters["Greek"] = {u'ά', u'έ', u'ί', u'ό'};
    for (const auto& [name, wanted] : letters) {
        const LanguageFile file(shippedPath(name.c_str()));
        QString all;
        for (const auto& [section, key] : allKeys()) {
            all += ToQString(file.text(section, key));
        }
        for (char16_t c : wanted) {
            EXPECT_TRUE(all.contains(QChar(c))) << name << " lacks U+" << std::hex << int(c);
        }
    }
}

TEST(ShippedLanguageFiles, HaveCrLfLineEndsOnly) {
    for (const Shipped& language : kShipped) {
        const std::string text = test::readFile(shippedPath(language.name));
        ASSERT_TRUE(text.ends_with("\r\n")) << language.name;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' || text[i] == '\r') {
                ASSERT_EQ(text.compare(i, 2, "\r\n"), 0) << language.name << " at byte " << i;
                ++i;
            }
        }
    }
}

}  // namespace
}  // namespace hushgate
