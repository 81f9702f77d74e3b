#include "settings_file.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "hosts_error.h"
#include "hosts_file.h"
#include "native_path.h"

#ifdef _WIN32
#include "win_text.h"
#else
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#endif

namespace hushgate {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';

std::string withoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// The folder for user settings under the XDG base-directory rules, or ""
// when the account has no home folder at all.
std::string configHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {  // the rules say to ignore relative paths
        return withoutTrailingSlashes(xdg);
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* account = ::getpwuid(::getuid());  // start-up only, one thread
        home = account != nullptr ? account->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    return withoutTrailingSlashes(home) + "/.config";
}
#endif

// The system's words for a failure it reported, as the user knows them from
// other programs; the engine's own reason where the system reported none.
std::string reasonOf(const HostsError& error) {
    if (error.osError() == 0) {
        return error.reason();
    }
#ifdef _WIN32
    return windows::SystemErrorText(static_cast<unsigned long>(error.osError()));
#else
    return std::strerror(error.osError());
#endif
}

// "" or the reason why the parent folders of `path` could not be created.
std::string createParentFolders(const std::string& path) {
    const std::filesystem::path parent = FileSystemPath(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, ec);
    }
    return ec ? ec.message() : std::string();
}

// The settings file gets the hosts file's guarantees: a new file is flushed
// before it takes the old one's place (with its owner, permissions and
// attributes), and where it cannot, the rewrite in place is guarded by a
// record beside it. A save that races another program's is tried again on
// the version that program left.
void replaceSettings(const std::string& path, const std::string& text) {
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        if (!FileExists(path)) {
            try {
                CreateNewFile(path, text);
                return;
            } catch (const HostsError&) {
                if (!FileExists(path)) {
                    throw;  // not because another save was first
                }
            }
        }
        TidyUpBeforeRead(path, {});
        const FileSnapshot old = ReadFileSnapshot(path);
        try {
            ReplaceFileContents(path, old.stamp, NewContents::Bytes(text));
            return;
        } catch (const HostsError& e) {
            if (e.kind() != HostsError::Kind::ChangedByOther || attempt == kAttempts) {
                throw;
            }
        }
    }
}

}  // namespace

std::string DefaultSettingsText() {
    return "[Settings]\r\nLanguage=English\r\n\r\n";
}

std::string SettingsText(std::string_view language) {
    return "[Settings]\r\nLanguage=" + std::string(language) + "\r\n";
}

std::string SettingsFilePath(const std::string& programFolder) {
#ifdef _WIN32
    return programFolder + "\\config.ini";
#else
    const std::string folder = configHome();
    if (folder.empty()) {
        return programFolder + "/config.ini";  // no home folder: beside the program
    }
    return folder + "/tavrin-hushgate/config.ini";
#endif
}

bool EnsureSettingsFile(const std::string& path) {
    try {
        if (path.empty()) {
            return false;
        }
        if (FileExists(path)) {
            return true;  // whatever it holds
        }
        if (!createParentFolders(path).empty()) {
            return false;
        }
        // Never replaces: when another instance wrote the file meanwhile, it stays.
        CreateNewFile(path, DefaultSettingsText());
        return true;
    } catch (const HostsError&) {
        return FileExists(path);
    } catch (const std::exception&) {
        return false;
    }
}

bool SaveSettings(const std::string& path, std::string_view language, std::string* error) {
    std::string reason;
    try {
        if (path.empty()) {
            reason = "no file name given";
        } else {
            reason = createParentFolders(path);
            if (reason.empty()) {
                replaceSettings(path, SettingsText(language));
                return true;
            }
        }
    } catch (const HostsError& e) {
        reason = reasonOf(e);
    } catch (const std::exception& e) {
        reason = e.what();
    }
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

bool IsLanguageName(std::string_view language) {
#ifdef _WIN32
    constexpr const char* kNotInNames = "/\\:";  // a colon names a drive or a stream
#else
    constexpr const char* kNotInNames = "/\\";
#endif
    return language.find_first_of(kNotInNames) == std::string_view::npos &&
           language.find("..") == std::string_view::npos;
}

std::string LanguageFilePath(const std::string& programFolder, std::string_view language) {
    return programFolder + kSeparator + "Language" + kSeparator + std::string(language) + ".lng";
}

}  // namespace hushgate
