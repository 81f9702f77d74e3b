// Language files as the windows take them: undecoded texts with their
// character set, and the English file compiled into the program.

#include "language_file.h"

#include <gtest/gtest.h>

#include "builtin_english.h"
#include "test_files.h"

namespace hushgate {
namespace {

TEST(LanguageFile, EnglishIsCompiledInAsShipped) {
    EXPECT_EQ(BuiltInEnglishBytes(), test::readFile(HUSHGATE_ENGLISH_LNG));
    EXPECT_EQ(LanguageFile::builtInEnglish().text("Main", "13"), Text("&Block Facebook", 0));
}

TEST(LanguageFile, TextsKeepTheFilesBytesAndCharacterSet) {
    const test::TempFolder dir;
    const std::string path = dir.file("x.lng");
    test::writeFile(path, "[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=\xD4\xE0\xE9\xEB\r\n");
    const LanguageFile file(path);
    EXPECT_EQ(file.characterSet(), 204);
    EXPECT_EQ(file.charsetStep(), 204);
    EXPECT_EQ(file.text("Main", "1"), Text("\xD4\xE0\xE9\xEB", 204));
    EXPECT_EQ(file.text("main", "2"), Text());
    // A key the file lacks: its own empty text, or the English one.
    EXPECT_EQ(file.textOrEnglish("Main", "19"), Text("unknown", 0));
    EXPECT_EQ(file.message("FileUnchanged"), Text("The hosts file is unchanged.", 0));

    // A missing, empty or unknown character set reads as Western, without a step.
    for (std::string_view line : {"", "CharacterSet=\r\n", "CharacterSet=abc\r\n",
                                  "CharacterSet=300\r\n", "CharacterSet=2\r\n"}) {
        test::writeFile(path, "[LANGUAGE]\r\n" + std::string(line) + "[Main]\r\n1=\xC9t\xE9\r\n");
        EXPECT_EQ(LanguageFile(path).text("Main", "1"), Text("\xC9t\xE9", 0)) << line;
        EXPECT_EQ(LanguageFile(path).charsetStep(), std::nullopt) << line;
    }
    for (const LanguageFile& none : {LanguageFile(dir.file("none.lng")), LanguageFile()}) {
        EXPECT_FALSE(none.exists());
        EXPECT_EQ(none.text("Main", "1"), Text());
    }
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
    EXPECT_EQ(Text("a") + Text("b", 0) + Text("c", 0), Text("a") + Text("bc", 0));
}

}  // namespace
}  // namespace hushgate
