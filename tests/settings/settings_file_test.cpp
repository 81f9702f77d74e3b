#include "settings_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <optional>
#endif

#include "test_files.h"

namespace hushgate {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

#ifndef _WIN32
// Sets or (nullptr) removes an environment variable; the old value comes
// back when the object goes.
class ScopedEnv {
public:
    explicit ScopedEnv(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) {
            old_ = value;
        }
    }
    ~ScopedEnv() { set(old_ ? old_->c_str() : nullptr); }
    void set(const char* value) const { value ? ::setenv(name_, value, 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};
#endif

// Where config.ini lives for each form of XDG_CONFIG_HOME and HOME (nullptr:
// unset); a relative XDG_CONFIG_HOME is ignored.
TEST(SettingsFilePath, FollowsTheConfigurationFolderRules) {
#ifdef _WIN32
    EXPECT_EQ(SettingsFilePath("C:\\hg"), "C:\\hg\\config.ini");
    EXPECT_EQ(LanguageFilePath("hg", "my.lang"), "hg\\Language\\my.lang.lng");
#else
    EXPECT_EQ(LanguageFilePath("hg", "my.lang"), "hg/Language/my.lang.lng");
    const passwd* account = ::getpwuid(::getuid());
    const std::string accountHome = account ? std::string(account->pw_dir) + "/.config" : "";
    const struct {
        const char* xdg;
        const char* home;
        std::string folder;  // "": beside the program
    } rows[] = {{"/x/cfg", "/h", "/x/cfg"},      {"/x/cfg//", nullptr, "/x/cfg"},
                {"", "/h/", "/h/.config"},       {"cfg", "/h", "/h/.config"},
                {nullptr, "/h//", "/h/.config"}, {nullptr, "", accountHome},
                {"x/", nullptr, accountHome},    {nullptr, "/", "/.config"}};
    ScopedEnv xdg("XDG_CONFIG_HOME"), home("HOME");
    for (const auto& row : rows) {
        xdg.set(row.xdg);
        home.set(row.home);
        EXPECT_EQ(SettingsFilePath("/hg"), row.folder.empty()
                                               ? "/hg/config.ini"
                                               : row.folder + "/tavrin-hushgate/config.ini")
            << (row.xdg ? row.xdg : "(unset)") << " " << (row.home ? row.home : "(unset)");
    }
#endif
}

TEST(IsLanguageName, OnlyABareNameInTheLanguageFolder) {
    for (const char* name : {"German", "Portugu\xEAs (Brasil)", "a.b", ".x"}) {
        EXPECT_TRUE(IsLanguageName(name)) << name;
    }
    for (const char* name : {"a/b", "/x", "a\\b", "..", "..x", "x..", "a/../b"}) {
        EXPECT_FALSE(IsLanguageName(name)) << name;
    }
#ifdef _WIN32
    EXPECT_FALSE(IsLanguageName("C:x"));
#endif
}

TEST(EnsureSettingsFile, WritesTheDefaultOnlyWhereThereIsNone) {
    test::TempFolder dir;
    EXPECT_TRUE(EnsureSettingsFile(dir.file("a/b/config.ini")));
    EXPECT_EQ(test::readFile(dir.file("a/b/config.ini")), "[Settings]\r\nLanguage=English\r\n\r\n");
    EXPECT_EQ(test::listing(dir.file("a/b")), Names{"config.ini"});

    const std::string path = dir.file("config.ini");
    for (const std::string old : {"", "not an ini file\xFF"}) {
        test::writeFile(path, old);
        fs::permissions(test::pathOf(path), fs::perms::owner_read);
        EXPECT_TRUE(EnsureSettingsFile(path));
        EXPECT_EQ(test::readFile(path), old);
        fs::permissions(test::pathOf(path), fs::perms::owner_read | fs::perms::owner_write);
    }
    test::writeFile(dir.file("plain"), "x");
    EXPECT_FALSE(EnsureSettingsFile(dir.file("plain/config.ini")));
    EXPECT_FALSE(EnsureSettingsFile(dir.file("a")));  // a folder
    EXPECT_FALSE(EnsureSettingsFile(""));
}

TEST(SaveSettings, ReplacesTheFileWholeKeepingItsPermissionsOrSaysWhyNot) {
    test::TempFolder dir;
    const std::string path = dir.file("new/folder/config.ini");
    std::string error = "untouched";
    EXPECT_TRUE(SaveSettings(path, "Fran\347ais", &error));
    EXPECT_EQ(test::readFile(path), "[Settings]\r\nLanguage=Fran\347ais\r\n");
    EXPECT_EQ(error, "untouched");
    test::writeFile(path, DefaultSettingsText() + "[Other]\r\nKey=a much longer old text\r\n");
#ifndef _WIN32  // Windows files carry no permission bits to keep
    ::chmod(path.c_str(), 0640);
#endif
    EXPECT_TRUE(SaveSettings(path, "English"));
    EXPECT_EQ(test::readFile(path), "[Settings]\r\nLanguage=English\r\n");
#ifndef _WIN32
    EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0640));
#endif
    EXPECT_EQ(test::listing(dir.file("new/folder")), Names{"config.ini"});
    // A failure gives a reason and leaves no temporary file.
    test::writeFile(dir.file("plain"), "x");
    fs::create_directory(test::pathOf(dir.file("config.ini")));
    for (const std::string& blocked : {dir.file("plain/config.ini"), dir.file("config.ini")}) {
        error.clear();
        EXPECT_FALSE(SaveSettings(blocked, "Deutsch", &error)) << blocked;
        EXPECT_FALSE(error.empty() || error.find('\n') != std::string::npos) << error;
    }
    EXPECT_EQ(test::listing(dir.path()), (Names{"config.ini", "new", "plain"}));
    EXPECT_TRUE(fs::is_empty(test::pathOf(dir.file("config.ini"))));
    EXPECT_EQ(test::readFile(dir.file("plain")), "x");
}

#ifndef _WIN32
// Saving where the user may not write (in a child, which gives up root
// first, as root may write anywhere) leaves the old file byte for byte; a
// new file cut short (by a file-size limit) is not left half written. The
// reason is the system's.
TEST(SaveSettings, FailureLeavesTheOldFileOrNone) {
    const std::string old = "[Settings]\r\nLanguage=Old\r\n; keep me\r\n";
    for (const bool readOnly : {true, false}) {
        test::TempFolder dir;
        const std::string folder = dir.file("locked"), path = folder + "/config.ini";
        fs::create_directory(folder);
        if (readOnly) {
            test::writeFile(path, old);
            ::chmod(dir.path().c_str(), 0755);
            ::chmod(path.c_str(), 0644);
            ::chmod(folder.c_str(), 0555);
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit limit{8, 8};
            ::signal(SIGXFSZ, SIG_IGN);
            if (readOnly ? ::geteuid() == 0 && (::setgroups(0, nullptr) != 0 ||
                                                ::setgid(65534) != 0 || ::setuid(65534) != 0)
                         : ::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                ::_exit(10);
            }
            std::string error;
            ::_exit(SaveSettings(path, "Deutsch", &error)               ? 11
                    : error != std::strerror(readOnly ? EACCES : EFBIG) ? 12
                                                                        : 0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << status << ": 10 not set up, 11 saved, 12 another reason";
        EXPECT_EQ(test::listing(folder), readOnly ? Names{"config.ini"} : Names{});
        if (readOnly) {
            EXPECT_EQ(test::readFile(path), old);
        }
    }
}
#endif

}  // namespace
}  // namespace hushgate
