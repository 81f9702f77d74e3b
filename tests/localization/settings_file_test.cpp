#include "settings_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include "read_ini.h"
#include "test_files.h"

namespace hushgate {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

#ifdef _WIN32
constexpr const char* kSeparator = "\\";
#else
constexpr const char* kSeparator = "/";
#endif

TEST(SettingsText, DefaultAndSavedTextsAreExactAndReadBack) {
    EXPECT_EQ(DefaultSettingsText(), "[Settings]\r\nLanguage=English\r\n\r\n");
    EXPECT_EQ(SettingsText("Deutsch"), "[Settings]\r\nLanguage=Deutsch\r\n");
    EXPECT_EQ(SettingsText(""), "[Settings]\r\nLanguage=\r\n");

    test::TempFolder dir;
    test::writeFile(dir.file("a.ini"), DefaultSettingsText());
    EXPECT_EQ(ReadINI("Settings", "Language", dir.file("a.ini")), "English");
    test::writeFile(dir.file("b.ini"), SettingsText("Portugu\xEAs (Brasil)"));
    EXPECT_EQ(ReadINI("Settings", "Language", dir.file("b.ini")), "Portugu\xEAs (Brasil)");
}

TEST(SettingsText, LanguageFilePathIsInTheLanguageFolder) {
    const std::string folder = std::string("hushgate") + kSeparator + "Language" + kSeparator;
    EXPECT_EQ(LanguageFilePath("hushgate", "English"), folder + "English.lng");
    EXPECT_EQ(LanguageFilePath("hushgate", "my.lang"), folder + "my.lang.lng");
}

#ifdef _WIN32
TEST(SettingsPath, IsConfigIniInTheProgramFolderWhateverTheEnvironment) {
    test::ScopedEnv xdg{"XDG_CONFIG_HOME"};
    xdg.set("C:\\xdg");
    EXPECT_EQ(SettingsFilePath("C:\\Program Files\\Hushgate"),
              "C:\\Program Files\\Hushgate\\config.ini");
}
#else
class SettingsPathTest : public ::testing::Test {
protected:
    test::ScopedEnv xdg{"XDG_CONFIG_HOME"};
    test::ScopedEnv home{"HOME"};
    const std::string tail = "/tavrin-hushgate/config.ini";

    void SetUp() override { home.set("/home/tester"); }
};

TEST_F(SettingsPathTest, AbsoluteXdgConfigHomeIsUsed) {
    xdg.set("/xdg/conf");
    EXPECT_EQ(SettingsFilePath("/opt/hushgate"), "/xdg/conf" + tail);
    xdg.set("/xdg/conf/");
    EXPECT_EQ(SettingsFilePath("/opt/hushgate"), "/xdg/conf" + tail);
}

TEST_F(SettingsPathTest, EmptyRelativeOrUnsetXdgConfigHomeMeansHomeConfig) {
    for (const char* value : {"", "relative/conf", "./conf"}) {
        xdg.set(value);
        EXPECT_EQ(SettingsFilePath("/opt/hushgate"), "/home/tester/.config" + tail) << value;
    }
    xdg.unset();
    EXPECT_EQ(SettingsFilePath("/opt/hushgate"), "/home/tester/.config" + tail);
}

TEST_F(SettingsPathTest, WithoutHomeTheAccountsHomeFolderIsUsed) {
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    std::string accountHome = account->pw_dir;
    while (accountHome.ends_with('/')) {
        accountHome.pop_back();
    }
    xdg.unset();
    home.unset();
    EXPECT_EQ(SettingsFilePath("/opt/hushgate"), accountHome + "/.config" + tail);
    home.set("");
    EXPECT_EQ(SettingsFilePath("/opt/hushgate"), accountHome + "/.config" + tail);
}
#endif

TEST(EnsureSettingsFile, WritesTheDefaultFileCreatingItsFolders) {
    test::TempFolder dir;
    const std::string path = dir.file("a/b/config.ini");
    EXPECT_TRUE(EnsureSettingsFile(path));
    EXPECT_EQ(test::readFile(path), DefaultSettingsText());
    EXPECT_EQ(test::listing(dir.file("a/b")), Names{"config.ini"});
}

TEST(EnsureSettingsFile, LeavesAnExistingFileUntouched) {
    test::TempFolder dir;
    const std::string path = dir.file("config.ini");
    for (const std::string old : {"", "[Settings]\nLanguage=Deutsch", "not an ini file\xFF"}) {
        test::writeFile(path, old);
        fs::permissions(test::pathOf(path), fs::perms::owner_read);  // read-only on Windows too
        const fs::perms before = fs::status(test::pathOf(path)).permissions();
#ifndef _WIN32
        struct stat beforeStat {};
        ::stat(path.c_str(), &beforeStat);
#endif
        EXPECT_TRUE(EnsureSettingsFile(path));
        EXPECT_EQ(test::readFile(path), old);
        EXPECT_EQ(fs::status(test::pathOf(path)).permissions(), before);
#ifndef _WIN32
        struct stat afterStat {};
        ::stat(path.c_str(), &afterStat);
        EXPECT_EQ(afterStat.st_ino, beforeStat.st_ino);
#endif
        fs::permissions(test::pathOf(path), fs::perms::owner_read | fs::perms::owner_write);
    }
}

TEST(EnsureSettingsFile, FailsWhereNoFileCanBeWritten) {
    test::TempFolder dir;
    test::writeFile(dir.file("plain"), "x");
    EXPECT_FALSE(EnsureSettingsFile(dir.file("plain/config.ini")));
    fs::create_directory(test::pathOf(dir.file("config.ini")));
    EXPECT_FALSE(EnsureSettingsFile(dir.file("config.ini")));
    EXPECT_TRUE(fs::is_empty(test::pathOf(dir.file("config.ini"))));
    EXPECT_FALSE(EnsureSettingsFile(""));
}

TEST(SaveSettings, WritesTheExactTextCreatingItsFolders) {
    test::TempFolder dir;
    const std::string path = dir.file("new/folder/config.ini");
    std::string error = "untouched";
    EXPECT_TRUE(SaveSettings(path, "Fran\347ais", &error));
    EXPECT_EQ(test::readFile(path), "[Settings]\r\nLanguage=Fran\347ais\r\n");
    EXPECT_EQ(test::listing(dir.file("new/folder")), Names{"config.ini"});
    EXPECT_EQ(error, "untouched");
}

TEST(SaveSettings, ReplacesTheOldFileWholeAndKeepsItsPermissions) {
    test::TempFolder dir;
    const std::string path = dir.file("config.ini");
    test::writeFile(path, DefaultSettingsText() + "[Other]\r\nKey=a much longer old text\r\n");
#ifndef _WIN32  // Windows files carry no permission bits to keep
    ::chmod(path.c_str(), 0640);
#endif
    EXPECT_TRUE(SaveSettings(path, "Deutsch"));
    EXPECT_TRUE(SaveSettings(path, "English"));
    EXPECT_EQ(test::readFile(path), SettingsText("English"));
#ifndef _WIN32
    EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0640));
#endif
    EXPECT_EQ(test::listing(dir.path()), Names{"config.ini"});
}

TEST(SaveSettings, FailureWhenTheParentIsAFileGivesAReason) {
    test::TempFolder dir;
    test::writeFile(dir.file("plain"), "x");
    const std::string path = dir.file("plain/config.ini");
    std::string error;
    EXPECT_FALSE(SaveSettings(path, "Deutsch", &error));
#ifdef _WIN32
    EXPECT_FALSE(error.empty());
#else
    EXPECT_EQ(error, std::strerror(ENOTDIR));
#endif
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_FALSE(SaveSettings(path, "Deutsch"));  // no place for the reason is fine too
    EXPECT_EQ(test::readFile(dir.file("plain")), "x");
}

TEST(SaveSettings, FailureOnAFolderLeavesItAndNoTemporaryFile) {
    test::TempFolder dir;
    fs::create_directory(test::pathOf(dir.file("config.ini")));
    std::string error;
    EXPECT_FALSE(SaveSettings(dir.file("config.ini"), "Deutsch", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::listing(dir.path()), Names{"config.ini"});
    EXPECT_TRUE(fs::is_empty(test::pathOf(dir.file("config.ini"))));
}

#ifndef _WIN32
// Saving into a folder the user may not write to: runs in a child process,
// which gives up root first because root may write anywhere.
TEST(SaveSettings, FailureInAReadOnlyFolderLeavesTheOldFileByteForByte) {
    test::TempFolder dir;
    const std::string folder = dir.file("locked");
    const std::string path = folder + "/config.ini";
    const std::string old = "[Settings]\r\nLanguage=Old\r\n; keep me\r\n";
    std::filesystem::create_directory(folder);
    test::writeFile(path, old);
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(path.c_str(), 0644);
    ::chmod(folder.c_str(), 0555);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(10);
        }
        std::string error;
        if (SaveSettings(path, "Deutsch", &error)) {
            ::_exit(11);
        }
        if (error != std::strerror(EACCES)) {
            ::_exit(12);
        }
        ::_exit(EnsureSettingsFile(folder + "/sub/config.ini") ? 13 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 no uid change, 11 saved, 12 reason, 13 ensured";
    EXPECT_EQ(test::readFile(path), old);
    EXPECT_EQ(test::listing(folder), Names{"config.ini"});
}
#endif

}  // namespace
}  // namespace hushgate
