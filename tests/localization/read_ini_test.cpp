// ReadINI must read config.ini and the language files exactly as the Windows
// profile functions do, so every rule of read_ini.cpp is checked here.

#include "read_ini.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace hushgate {
namespace {

class ReadIniTest : public ::testing::Test {
protected:
    test::TempFolder dir;
    std::string path = dir.file("test.ini");

    // Looks `key` up in `section` of a file holding `text`.
    std::string lookUp(std::string_view text, std::string_view section, std::string_view key) {
        test::writeFile(path, text);
        return ReadINI(section, key, path);
    }
    // The value of "Key" in "[S]" followed by `line`.
    std::string valueOf(std::string_view line) {
        return lookUp("[S]\r\n" + std::string(line) + "\r\n", "S", "Key");
    }
};

TEST_F(ReadIniTest, SectionAndKeyNamesMatchWithoutRegardToAsciiCase) {
    const std::string text = "[sEtTiNgS]\r\nlAnGuAgE=English\r\n";
    EXPECT_EQ(lookUp(text, "Settings", "Language"), "English");
    EXPECT_EQ(lookUp(text, "SETTINGS", "language"), "English");
    // Only letters fold: '@' and '`' differ by the case bit but are not letters.
    EXPECT_EQ(lookUp("[a@]\r\nk[=1\r\n", "a`", "k["), "");
    EXPECT_EQ(lookUp("[a@]\r\nk[=1\r\n", "a@", "k{"), "");
    EXPECT_EQ(lookUp("[\xC9]\r\nKey=1\r\n", "\xE9", "Key"), "");
}

TEST_F(ReadIniTest, ValueIsTheTextAfterTheFirstEquals) {
    EXPECT_EQ(valueOf("Key=a=b"), "a=b");
    EXPECT_EQ(valueOf("Key==x"), "=x");
    EXPECT_EQ(valueOf("Key = = x"), "= x");
    EXPECT_EQ(valueOf("Key="), "");
    EXPECT_EQ(lookUp("[S]\r\nKey=1\r\nOther=2\r\n", "S", "Other"), "2");
}

TEST_F(ReadIniTest, BlanksAroundNamesAndValuesAreRemoved) {
    EXPECT_EQ(valueOf(" \t Key \t = \t two  words \t "), "two  words");
    EXPECT_EQ(valueOf("Key=\x0B\x0C\x1Avalue\x1A"), "value");
    EXPECT_EQ(valueOf("Key=\xA0x\xA0"), "\xA0x\xA0");  // not a blank: bytes are left alone
    EXPECT_EQ(lookUp("[S]\r\nKey=1\r\n", " S\t", "\tKey "), "1");
}

TEST_F(ReadIniTest, OnePairOfMatchingEnclosingQuotesIsRemoved) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"("abc")", "abc"},
        {R"('abc')", "abc"},
        {R"("  padded  ")", "  padded  "},
        {R"("")", ""},
        {R"('')", ""},
        {R"(")", R"(")"},
        {R"(')", R"(')"},
        {R"("abc')", R"("abc')"},
        {R"('abc")", R"('abc")"},
        {R"(""abc"")", R"("abc")"},
        {R"("a" b)", R"("a" b)"},
        {R"(a"b")", R"(a"b")"},
        {R"(  "x"  )", "x"},
        {R"("it's")", "it's"},
    };
    for (const auto& [written, read] : cases) {
        EXPECT_EQ(valueOf("Key=" + written), read) << written;
    }
}

TEST_F(ReadIniTest, ValuesAreCutTo354CharactersAfterTrimmingAndUnquoting) {
    std::string long1000;
    for (int i = 0; i < 1000; ++i) {
        long1000 += static_cast<char>('0' + i % 10 + (i / 10) % 3 * 10);  // no blanks or quotes
    }
    const std::string exact = long1000.substr(0, 354);
    EXPECT_EQ(valueOf("Key=" + exact), exact);
    EXPECT_EQ(valueOf("Key=" + long1000.substr(0, 355)), exact);
    EXPECT_EQ(valueOf("Key=" + long1000), exact);
    EXPECT_EQ(valueOf("Key=   \t" + exact + "x   "), exact);
    EXPECT_EQ(valueOf("Key=\"" + long1000 + "\""), exact);
    EXPECT_EQ(valueOf("Key='" + exact + "'"), exact);
    EXPECT_EQ(valueOf("Key=\"" + long1000.substr(0, 353) + "\""), long1000.substr(0, 353));
}

TEST_F(ReadIniTest, MissingFileSectionOrKeyGivesEmpty) {
    EXPECT_EQ(ReadINI("Settings", "Language", dir.file("missing.ini")), "");
    EXPECT_EQ(ReadINI("Settings", "Language", dir.path()), "");  // a folder
    EXPECT_EQ(lookUp("", "Settings", "Language"), "");
    const std::string text =
        "Language=Before\r\n[Settings]\r\nLanguage\r\nOther=1\r\n[Next]\r\nKey=2\r\n";
    EXPECT_EQ(lookUp(text, "Missing", "Key"), "");
    EXPECT_EQ(lookUp(text, "Settings", "Key"), "");       // only in the next section
    EXPECT_EQ(lookUp(text, "Settings", "Language"), "");  // the line has no "="
    EXPECT_EQ(lookUp(text, "", "Language"), "");          // keys before any section
    EXPECT_EQ(lookUp(text, "Next", "Key"), "2");
}

TEST_F(ReadIniTest, CommentsAreOrdinaryLinesWhoseNameStartsWithASemicolon) {
    const std::string text =
        "[S]\r\n;Key=French\r\n; Key = German\r\n#Key=Dutch\r\nKey=English\r\n";
    EXPECT_EQ(lookUp(text, "S", "Key"), "English");
    EXPECT_EQ(lookUp("[S]\r\n;Key=French\r\n", "S", "Key"), "");
    EXPECT_EQ(lookUp(text, "S", ";Key"), "French");
    // A commented-out header does not start a section.
    EXPECT_EQ(lookUp("[Other]\r\n;[S]\r\nKey=1\r\n", "S", "Key"), "");
    EXPECT_EQ(lookUp("[Other]\r\n;[S]\r\nKey=1\r\n", "Other", "Key"), "1");
}

TEST_F(ReadIniTest, FirstKeyLineAndFirstSectionOfANameAnswer) {
    EXPECT_EQ(lookUp("[S]\r\nKey=first\r\nKEY=second\r\n", "S", "Key"), "first");
    EXPECT_EQ(lookUp("[S]\r\nKey\r\nKey=second\r\n", "S", "Key"), "");
    const std::string text = "[S]\r\nA=1\r\n[Other]\r\nB=2\r\n[s]\r\nA=3\r\nC=4\r\n";
    EXPECT_EQ(lookUp(text, "S", "A"), "1");
    EXPECT_EQ(lookUp(text, "S", "C"), "");  // a second [S] is never read
}

TEST_F(ReadIniTest, SectionHeaderLines) {
    EXPECT_EQ(lookUp("[ \tSettings \t]\r\nA=1\r\n", "Settings", "A"), "1");
    EXPECT_EQ(lookUp("  [Settings] trailing text\r\nA=2\r\n", "Settings", "A"), "2");
    EXPECT_EQ(lookUp("[a]b] x\r\nA=3\r\n", "a]b", "A"), "3");  // up to the last "]"
    EXPECT_EQ(lookUp("[a]b] x\r\nA=3\r\n", "a", "A"), "");
    EXPECT_EQ(lookUp("[]\r\nA=4\r\n", "", "A"), "4");
    // Without "]" the line is a key line, so the keys below stay in [Other].
    const std::string open = "[Other]\r\n[Settings\r\nA=5\r\n";
    EXPECT_EQ(lookUp(open, "Settings", "A"), "");
    EXPECT_EQ(lookUp(open, "Other", "A"), "5");
}

TEST_F(ReadIniTest, CrLfLfAndCrAloneAllEndLines) {
    for (const std::string eol : {"\r\n", "\n", "\r", "\n\r", "\r\n\r\n"}) {
        const std::string text =
            eol + "[A]" + eol + "Key=1" + eol + eol + "[B]" + eol + "Key = 2 " + eol + "Other=3";
        EXPECT_EQ(lookUp(text, "A", "Key"), "1");
        EXPECT_EQ(lookUp(text, "B", "Key"), "2");
        EXPECT_EQ(lookUp(text, "B", "Other"), "3");
        EXPECT_EQ(lookUp(text + eol, "B", "Other"), "3");
    }
    EXPECT_EQ(lookUp("[S]\nA=1\r\nB=2\rC=3", "S", "B"), "2");
    EXPECT_EQ(lookUp("[S]\nA=1\rB=2", "S", "A"), "1");
}

TEST_F(ReadIniTest, Utf8ByteOrderMarkIsSkippedOnlyAtTheStart) {
    EXPECT_EQ(lookUp("\xEF\xBB\xBF[Settings]\r\nLanguage=English\r\n", "Settings", "Language"),
              "English");
    EXPECT_EQ(valueOf("Key=\xEF\xBB\xBFx"), "\xEF\xBB\xBFx");
}

TEST_F(ReadIniTest, BytesPassUnchangedUpToANul) {
    EXPECT_EQ(valueOf("Key=Fran\347ais \xFF\x80\x81"), "Fran\347ais \xFF\x80\x81");
    EXPECT_EQ(valueOf("Key=\xD0\x9F\xD1\x80\xD0\xB8"), "\xD0\x9F\xD1\x80\xD0\xB8");
    EXPECT_EQ(valueOf(std::string("Key=ab\0cd", 9)), "ab");
    EXPECT_EQ(lookUp("[S]\r\nKey=1\r\n", std::string("S\0x", 3), "Key"), "1");
}

}  // namespace
}  // namespace hushgate
