// The shipped English file is the fall-back of every installation: it must
// hold every key the windows read, with the texts of the window layouts.
// Language files as the windows take them: undecoded texts with their
// character set.

#include <gtest/gtest.h>

#include <algorithm>

#include "builtin_english.h"
#include "language_file.h"
#include "read_ini.h"
#include "test_files.h"

namespace hushgate {
namespace {

const std::string kEnglish = HUSHGATE_ENGLISH_LNG;

struct Entry {
    const char* section;
    const char* key;
    const char* text;  // nullptr: our own text, it only has to be there
};

const Entry kEntries[] = {
    {"Main", "1", "File"},
    {"Main", "2", "Exit"},
    {"Main", "3", "Help"},
    {"Main", "4", "Check for updates..."},
    {"Main", "5", "Change language"},
    {"Main", "6", "Donate..."},
    {"Main", "7", "Web..."},
    {"Main", "8", "About..."},
    {"Main", "9", "Follow me on Facebook..."},
    {"Main", "10", "Status: Facebook is"},
    {"Main", "11", "blocked!"},
    {"Main", "12", nullptr},
    {"Main", "13", "&Block Facebook"},
    {"Main", "14", "&Unblock Facebook"},
    {"Main", "15", "You may need to exit your browser for these changes to take effect."},
    {"Main", "16", "New version available!"},
    {"Main", "17", "Would you like to download it from our website?"},
    {"Main", "18", "No new updates available!"},
    {"About", "1", "About"},
    {"About", "2", "Version:"},
    {"About", "3", "This product is FREE for personal or commercial use."},
    {"About", "4", nullptr},
    {"About", "6", "&Close"},
    {"Tray", "3", "Select Language"},
    {"Tray", "4", "Select:"},
    {"Tray", "5", "Apply"},
    {"Tray", "6", "Cancel"},
    {"Tray", "7", nullptr},
    {"Tray", "8", nullptr},
    {"LANGUAGE", "CharacterSet", "0"},
    {"LANGUAGE", "translator", nullptr},
    {"LANGUAGE", "e-mail", nullptr},
    {"LANGUAGE", "web", nullptr},
};

TEST(EnglishLanguageFile, HoldsEveryKeyWithItsLayoutText) {
    for (const Entry& entry : kEntries) {
        const std::string value = ReadINI(entry.section, entry.key, kEnglish);
        if (entry.text != nullptr) {
            EXPECT_EQ(value, entry.text) << entry.section << " " << entry.key;
        } else {
            EXPECT_FALSE(value.empty()) << entry.section << " " << entry.key;
        }
    }
    EXPECT_NE(ReadINI("Main", "12", kEnglish), ReadINI("Main", "11", kEnglish));
    EXPECT_TRUE(ReadINI("LANGUAGE", "web", kEnglish).starts_with("http"));
    EXPECT_NE(ReadINI("LANGUAGE", "e-mail", kEnglish).find('@'), std::string::npos);
}

TEST(EnglishLanguageFile, IsPlainAsciiWithCrLfLineEnds) {
    const std::string text = test::readFile(kEnglish);
    ASSERT_TRUE(text.ends_with("\r\n"));
    EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n';
    }));
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            ASSERT_EQ(text.compare(i, 2, "\r\n"), 0) << "at byte " << i;
            ++i;
        }
    }
}

TEST(EnglishLanguageFile, IsCompiledInAsItIs) {
    EXPECT_EQ(BuiltInEnglishBytes(), test::readFile(kEnglish));
    const LanguageFile& english = LanguageFile::builtInEnglish();
    EXPECT_TRUE(english.exists());
    EXPECT_EQ(english.text("Main", "13"), Text("&Block Facebook", 0));
}

class LanguageFileTest : public ::testing::Test {
protected:
    test::TempFolder dir;
    std::string path = dir.file("x.lng");

    void write(std::string_view bytes) { test::writeFile(path, bytes); }
};

TEST_F(LanguageFileTest, TextsKeepTheFilesBytesAndCharacterSet) {
    write("[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=\xD4\xE0\xE9\xEB\r\n");
    const LanguageFile file(path);
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(file.characterSet(), 204);
    EXPECT_EQ(file.charsetStep(), 204);
    EXPECT_EQ(file.text("Main", "1"), Text("\xD4\xE0\xE9\xEB", 204));
    EXPECT_EQ(file.text("main", "2"), Text());
    // A key the file lacks: its own empty text, or the English one.
    EXPECT_EQ(file.textOrEnglish("Main", "19"), Text("unknown", 0));
    EXPECT_EQ(file.message("FileUnchanged"), Text("The hosts file is unchanged.", 0));
}

TEST_F(LanguageFileTest, MissingEmptyOrUnknownCharacterSetReadsAsWesternWithoutAStep) {
    for (std::string_view line : {"", "CharacterSet=\r\n", "CharacterSet=abc\r\n",
                                  "CharacterSet=300\r\n", "CharacterSet=77\r\n"}) {
        write("[LANGUAGE]\r\n" + std::string(line) + "[Main]\r\n1=\xC9t\xE9\r\n");
        const LanguageFile file(path);
        EXPECT_EQ(file.text("Main", "1"), Text("\xC9t\xE9", 0)) << line;
        EXPECT_EQ(file.charsetStep(), std::nullopt) << line;
    }
}

TEST_F(LanguageFileTest, MissingFileOrNoFileGivesEmptyTexts) {
    const LanguageFile missing(dir.file("none.lng"));
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(missing.characterSet(), std::nullopt);
    EXPECT_EQ(missing.text("Main", "1"), Text());
    EXPECT_FALSE(LanguageFile().exists());
    EXPECT_EQ(LanguageFile().text("Main", "1"), Text());
}

// Markers are filled in the undecoded bytes, in one pass, each argument in
// its own encoding.
TEST(Text, ArgFillsMarkersInOnePass) {
    const Text sentence("\xCD\xE5 %1: %2. %3 100%", 204);
    EXPECT_EQ(sentence.arg("/etc/%2", "x").pieces(),
              (std::vector<TextPiece>{{"\xCD\xE5 ", 204},
                                      {"/etc/%2", kProgramText},
                                      {": ", 204},
                                      {"x", kProgramText},
                                      {". %3 100%", 204}}));
    EXPECT_EQ(Text("%1%1", 0).arg(Text("a", 0)), Text("aa", 0));  // neighbours merge
    EXPECT_EQ(Text("%1").arg(Text()), Text());
    EXPECT_EQ(Text("a") + Text("b", 0) + Text("c", 0),
              Text("a") + Text("bc", 0));
}

}  // namespace
}  // namespace hushgate
