#include "settings_file.h"

#include <atomic>
#include <exception>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#endif

namespace hushgate {

namespace {

// Numbers the temporary files of one process, so two saves never collide.
std::atomic<unsigned> tempCounter{0};

// ---------------------------------------------------------------------------
// The operating-system part: the only code that differs between platforms.
// Each write primitive returns 0 or the system's error code.

#ifdef _WIN32

using OsError = DWORD;
constexpr char kSeparator = '\\';
constexpr const char* kSeparators = "\\/";

std::string toUtf8(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

// Our paths are UTF-8; the file functions want UTF-16. Empty on bad UTF-8.
std::wstring toWide(const std::string& text) {
    const int length = static_cast<int>(text.size());
    const int size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), size);
    return out;
}

std::string reasonOf(OsError err) {
    wchar_t buffer[512];
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, err, 0, buffer, 512, nullptr);
    std::wstring_view text(buffer, n);
    text = text.substr(0, text.find_last_not_of(L"\r\n .") + 1);
    return text.empty() ? "Windows error " + std::to_string(err) : toUtf8(text);
}

std::filesystem::path nativePath(const std::string& path) {
    return toWide(path);
}

bool isRegularFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows files carry no permission bits of their own to keep.
unsigned permissionsOf(const std::string&) {
    return 0;
}

// Creates `path` only when nothing is there, writes `text` and flushes it.
// A file it created but could not fill is deleted again.
OsError createNew(const std::string& path, std::string_view text, unsigned = 0) {
    const std::wstring wide = toWide(path);
    if (wide.empty()) {
        return ERROR_NO_UNICODE_TRANSLATION;
    }
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    OsError err = 0;
    DWORD written = 0;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        err = GetLastError();
    } else if (written != text.size()) {
        err = ERROR_WRITE_FAULT;
    } else if (!FlushFileBuffers(file)) {
        err = GetLastError();
    }
    if (!CloseHandle(file) && err == 0) {
        err = GetLastError();
    }
    if (err != 0) {
        DeleteFileW(wide.c_str());
    }
    return err;
}

// Moves the written temporary file over `path`; removes it on failure.
OsError moveOver(const std::string& tempPath, const std::string& path) {
    if (MoveFileExW(toWide(tempPath).c_str(), toWide(path).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return 0;
    }
    const OsError err = GetLastError();
    DeleteFileW(toWide(tempPath).c_str());
    return err;
}

bool alreadyExists(OsError err) {
    return err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS;
}

unsigned long processId() {
    return GetCurrentProcessId();
}

#else  // POSIX

using OsError = int;
constexpr char kSeparator = '/';
constexpr const char* kSeparators = "/";

std::string reasonOf(OsError err) {
    return std::strerror(err);
}

std::filesystem::path nativePath(const std::string& path) {
    return path;
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            errno = n < 0 ? errno : EIO;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The permission bits of the file at `path`, or 0 when there is none.
unsigned permissionsOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? (st.st_mode & 07777) : 0;
}

// Creates `path` only when nothing is there, writes `text` and flushes it.
// A file it created but could not fill is removed again. `mode` is applied
// when given; otherwise the umask decides, as for any new file.
OsError createNew(const std::string& path, std::string_view text, unsigned mode = 0) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    OsError err = 0;
    if (mode != 0) {
        // Keeping the old file's permissions is a courtesy, not worth failing for.
        (void)::fchmod(fd, static_cast<mode_t>(mode));
    }
    if (!writeAll(fd, text) || ::fsync(fd) != 0) {
        err = errno;
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
    }
    if (err != 0) {
        ::unlink(path.c_str());
    }
    return err;
}

// Renames the written temporary file over `path`; removes it on failure.
OsError moveOver(const std::string& tempPath, const std::string& path) {
    if (::rename(tempPath.c_str(), path.c_str()) != 0) {
        const OsError err = errno;
        ::unlink(tempPath.c_str());
        return err;
    }
    // Make the rename itself durable; the data is safe either way.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return 0;
}

bool alreadyExists(OsError err) {
    return err == EEXIST;
}

unsigned long processId() {
    return static_cast<unsigned long>(::getpid());
}

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

// ---------------------------------------------------------------------------

// A hidden name beside `path` that no other save of this process uses.
std::string tempPathFor(const std::string& path) {
    const std::size_t cut = path.find_last_of(kSeparators) + 1;  // 0 when there is none
    return path.substr(0, cut) + "." + path.substr(cut) + ".tmp-" + std::to_string(processId()) +
           "-" + std::to_string(tempCounter++);
}

// "" or the reason why the parent folders of `path` could not be created.
std::string createParentFolders(const std::string& path) {
    const std::filesystem::path parent = nativePath(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, ec);
    }
    return ec ? ec.message() : std::string();
}

// Writes `text` over `path` through a fresh temporary file beside it.
OsError replaceThroughTemp(const std::string& path, std::string_view text) {
    const unsigned mode = permissionsOf(path);
    OsError err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {  // steps over leftovers of a crashed run
        const std::string tempPath = tempPathFor(path);
        err = createNew(tempPath, text, mode);
        if (!alreadyExists(err)) {
            return err != 0 ? err : moveOver(tempPath, path);
        }
    }
    return err;
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
        if (isRegularFile(path)) {
            return true;  // whatever it holds
        }
        if (!createParentFolders(path).empty()) {
            return false;
        }
        // Never replaces: when another instance wrote the file meanwhile, it stays.
        return createNew(path, DefaultSettingsText()) == 0 || isRegularFile(path);
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
                const OsError err = replaceThroughTemp(path, SettingsText(language));
                if (err == 0) {
                    return true;
                }
                reason = reasonOf(err);
            }
        }
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
