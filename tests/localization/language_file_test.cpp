// The shipped English file is the fall-back of every installation: it must
// hold every key the windows read, with the texts of the window layouts.

#include <gtest/gtest.h>

#include <algorithm>

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

}  // namespace
}  // namespace hushgate
