#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <utility>

#include "hosts_error.h"
#include "hosts_file.h"

namespace hushgate {

namespace {

using Action = HostsError::Action;
using Kind = HostsError::Kind;

constexpr std::size_t kWriteBufferSize = 1 << 20;
constexpr DWORD kMaxIo = 1u << 30;  // one ReadFile/WriteFile call takes a DWORD count
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kErrorDirectoryNotSupported = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED

Kind kindOf(DWORD err) {
    switch (err) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return Kind::NotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_PRIVILEGE_NOT_HELD:
            return Kind::PermissionDenied;
        case ERROR_WRITE_PROTECT:
            return Kind::ReadOnlyFileSystem;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case 1295:  // ERROR_DISK_QUOTA_EXCEEDED, missing from some headers
            return Kind::DiskFull;
        default:
            return Kind::Other;
    }
}

DWORD errorOf(BOOL ok) { return ok ? 0 : GetLastError(); }

std::string toUtf8(std::wstring_view text) {
    int length = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

// The system's text for `err` in the user's language, as one line.
std::string reasonOf(DWORD err) {
    wchar_t buffer[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, err,
                             0, buffer, 512, nullptr);
    std::wstring_view text(buffer, n);
    text = text.substr(0, text.find_last_not_of(L"\r\n .") + 1);
    return text.empty() ? "Windows error " + std::to_string(err) : toUtf8(text);
}

[[noreturn]] void fail(Action action, const std::string& path, DWORD err,
                       const std::string& backup = {}) {
    throw HostsError(action, kindOf(err), path, static_cast<int>(err), reasonOf(err), backup);
}

// Throws unless `err` is 0.
void check(Action action, const std::string& path, DWORD err) {
    if (err != 0) {
        fail(action, path, err);
    }
}

[[noreturn]] void failChanged(const std::string& path) {
    throw HostsError(Action::Write, Kind::ChangedByOther, path, 0,
                     "the file was changed by another program while it was being updated",
                     {});
}

// Returns 0 or the Windows error; `text` is not empty.
DWORD toWide(const std::string& text, std::wstring& out) {
    if (text.find('\0') != std::string::npos) {
        return ERROR_INVALID_NAME;  // would silently cut the path short
    }
    int length = static_cast<int>(text.size());
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (size <= 0) {
        return GetLastError();
    }
    out.resize(static_cast<std::size_t>(size));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), size);
    return 0;
}

// An empty path is what SystemHostsPath() gives when the system folder is
// unknown; it must never turn into a file relative to the current folder.
std::wstring widePath(Action action, const std::string& path) {
    if (path.empty()) {
        throw HostsError(action, Kind::NotFound, path, ERROR_PATH_NOT_FOUND,
                         "no file name given (the Windows system folder could not be determined)");
    }
    std::wstring wide;
    check(action, path, toWide(path, wide));
    return wide;
}

// For messages: "\\?\C:\x" is shown as "C:\x", "\\?\UNC\host\share" as "\\host\share".
std::string displayPath(const std::wstring& path) {
    std::wstring_view view(path);
    if (view.starts_with(L"\\\\?\\UNC\\")) {
        return "\\" + toUtf8(view.substr(7));
    }
    return toUtf8(view.starts_with(L"\\\\?\\") ? view.substr(4) : view);
}

// The folder part of `path` including its separator ("" for a bare name).
std::wstring folderPrefixOf(const std::wstring& path) {
    auto cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring nameOf(const std::wstring& path) { return path.substr(folderPrefixOf(path).size()); }

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool isDirectory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// 100 ns ticks since 1601 to ns since 1970, clamped so that it cannot
// overflow. Zero means "not recorded" (e.g. no change time on FAT) and stays 0.
std::int64_t nsSinceUnixEpoch(std::int64_t ticks) {
    constexpr std::int64_t kEpoch = 116444736000000000LL;
    constexpr std::int64_t kLimit = INT64_MAX / 100;
    return ticks == 0 ? 0 : (std::clamp(ticks, kEpoch - kLimit, kEpoch + kLimit) - kEpoch) * 100;
}

// Returns 0 or the Windows error.
DWORD stampOf(HANDLE file, FileStamp& stamp, DWORD* attributes = nullptr) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        return GetLastError();
    }
    auto join = [](DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; };
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = join(info.nFileIndexHigh, info.nFileIndexLow);
    stamp.size = join(info.nFileSizeHigh, info.nFileSizeLow);
    stamp.modifiedNs = nsSinceUnixEpoch(static_cast<std::int64_t>(
        join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)));
    // Also catches attribute and security changes, like st_ctime.
    FILE_BASIC_INFO basic;
    stamp.changedNs = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)
                          ? nsSinceUnixEpoch(basic.ChangeTime.QuadPart)
                          : 0;
    if (attributes) {
        *attributes = info.dwFileAttributes;
    }
    return 0;
}

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    Handle& operator=(Handle&& other) noexcept {
        close();
        handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        return *this;
    }
    ~Handle() { close(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes now and reports the error.
    DWORD close() {
        DWORD err = valid() ? errorOf(CloseHandle(handle_)) : 0;
        handle_ = INVALID_HANDLE_VALUE;
        return err;
    }

private:
    HANDLE handle_;
};

// Opens `path` (symbolic links followed); `err` is 0 or the Windows error.
Handle openFile(const std::wstring& path, DWORD access, DWORD share, DWORD creation, DWORD& err) {
    HANDLE handle = CreateFileW(path.c_str(), access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    err = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    return Handle(handle);
}

// Removes a file at scope exit unless told to keep it.
class RemoveOnExit {
public:
    explicit RemoveOnExit(std::wstring path) : path_(std::move(path)) {}
    ~RemoveOnExit() {
        if (!path_.empty()) {
            DeleteFileW(path_.c_str());
        }
    }
    RemoveOnExit(const RemoveOnExit&) = delete;
    RemoveOnExit& operator=(const RemoveOnExit&) = delete;
    void keep() { path_.clear(); }

private:
    std::wstring path_;
};

// Eight hex digits that differ between calls, processes and moments. Files
// named with them are still created with CREATE_NEW; a clash only retries.
std::wstring randomTag() {
    static std::atomic<std::uint64_t> counter{0};
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    std::uint64_t x = (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32) ^
                      static_cast<std::uint64_t>(now.QuadPart) ^ (++counter * 0x9E3779B97F4A7C15ULL);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    x ^= x >> 31;
    std::wstring tag(8, L'0');
    for (auto& digit : tag) {
        digit = L"0123456789abcdef"[x & 15];
        x >>= 4;
    }
    return tag;
}

// Creates a new file named `stem`, a random tag and `ext`. Returns 0 or the Windows error.
DWORD createUnique(const std::wstring& stem, const wchar_t* ext, Handle& file, std::wstring& path) {
    DWORD err = ERROR_FILE_EXISTS;
    for (int i = 0; i < 100 && (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS); ++i) {
        path = stem + randomTag() + ext;
        file = openFile(path, GENERIC_WRITE, 0, CREATE_NEW, err);
    }
    return err;
}

std::wstring unusedName(const std::wstring& stem) {
    std::wstring path = stem + randomTag() + L".tmp";
    for (int i = 0; i < 100 && exists(path); ++i) {
        path = stem + randomTag() + L".tmp";
    }
    return path;
}

// Returns 0 or the Windows error. A write that makes no progress is reported as a full disk.
DWORD writeAll(HANDLE file, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, kMaxIo));
        if (!WriteFile(file, data, chunk, &written, nullptr)) {
            return GetLastError();
        }
        if (written == 0) {
            return ERROR_DISK_FULL;
        }
        data += written;
        size -= written;
    }
    return 0;
}

DWORD writeLines(HANDLE file, const LinesToWrite& contents) {
    std::unique_ptr<char[]> buffer(new char[kWriteBufferSize]);
    std::size_t used = 0;
    auto flush = [&]() { return writeAll(file, buffer.get(), std::exchange(used, 0)); };
    auto put = [&](std::string_view piece) -> DWORD {
        if (piece.size() > kWriteBufferSize - used) {
            if (DWORD err = flush()) {
                return err;
            }
            if (piece.size() >= kWriteBufferSize) {
                return writeAll(file, piece.data(), piece.size());
            }
        }
        std::memcpy(buffer.get() + used, piece.data(), piece.size());
        used += piece.size();
        return 0;
    };
    // Windows error codes fit an int; forEachPiece passes them through.
    if (int err = contents.forEachPiece([&](std::string_view piece) { return static_cast<int>(put(piece)); })) {
        return static_cast<DWORD>(err);
    }
    return flush();
}

// Flushes and closes a written file. Returns `err` or the first new Windows error.
DWORD flushAndClose(Handle& file, DWORD err) {
    err = err != 0 ? err : errorOf(FlushFileBuffers(file.get()));
    DWORD closeErr = file.close();
    return err != 0 ? err : closeErr;
}

// Writes `bytes` to a new file beside `target` and flushes it. Returns its path.
std::wstring saveBackup(const std::wstring& target, std::string_view bytes, const std::string& shown) {
    Handle file;
    std::wstring path;
    DWORD err = createUnique(target + L".hushgate-original-", L"", file, path);
    if (err == ERROR_ACCESS_DENIED) {
        // The folder takes no new file (often why we rewrite in place): keep
        // the copy in the user's temporary folder instead; a failure names it.
        wchar_t dir[MAX_PATH + 1];
        DWORD length = GetTempPathW(MAX_PATH + 1, dir);
        if (length > 0 && length <= MAX_PATH &&
            createUnique(std::wstring(dir, length) + nameOf(target) + L".hushgate-original-", L"",
                         file, path) == 0) {
            err = 0;
        }
    }
    check(Action::Write, shown, err);
    RemoveOnExit cleanup(path);
    check(Action::Write, shown, flushAndClose(file, writeAll(file.get(), bytes.data(), bytes.size())));
    cleanup.keep();
    return path;
}

// Puts `original` back into the open file. Returns 0 or the Windows error.
DWORD restoreInPlace(HANDLE file, std::string_view original) {
    LARGE_INTEGER start{};
    DWORD err = errorOf(SetFilePointerEx(file, start, nullptr, FILE_BEGIN));
    err = err != 0 ? err : writeAll(file, original.data(), original.size());
    err = err != 0 ? err : errorOf(SetEndOfFile(file));
    return err != 0 ? err : errorOf(FlushFileBuffers(file));
}

// Used where ReplaceFileW cannot be: the folder takes no new file, or the file
// system refuses the replacement. The original is saved first, so that a
// failed write can always be undone or recovered by hand.
void rewriteInPlace(const std::wstring& target, const std::string& shown, const FileStamp& expected,
                    std::string_view original, const LinesToWrite& contents) {
    const std::wstring backup = saveBackup(target, original, shown);
    RemoveOnExit removeBackup(backup);

    // Readers may look on; no other writer may join in.
    DWORD err = 0;
    Handle file = openFile(target, GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                           OPEN_EXISTING, err);
    check(Action::Write, shown, err);
    FileStamp stamp;
    check(Action::Write, shown, stampOf(file.get(), stamp));
    if (stamp != expected) {
        failChanged(shown);
    }

    // Reserve the space first: a full disk is then found before one byte of
    // the original is overwritten. Only ever grow; a smaller size would cut the file.
    const std::uint64_t newSize = contents.byteCount();
    FILE_ALLOCATION_INFO reserve;
    reserve.AllocationSize.QuadPart = static_cast<LONGLONG>(newSize);
    if (newSize > stamp.size &&
        kindOf(err = errorOf(SetFileInformationByHandle(file.get(), FileAllocationInfo, &reserve,
                                                        sizeof reserve))) == Kind::DiskFull) {
        fail(Action::Write, shown, err);
    }

    err = writeLines(file.get(), contents);
    err = err != 0 ? err : errorOf(SetEndOfFile(file.get()));
    err = err != 0 ? err : errorOf(FlushFileBuffers(file.get()));
    if (err != 0) {
        if (restoreInPlace(file.get(), original) != 0) {
            removeBackup.keep();
            fail(Action::Write, shown, err, displayPath(backup));
        }
        fail(Action::Write, shown, err);
    }
    if ((err = file.close()) != 0) {
        removeBackup.keep();
        fail(Action::Write, shown, err, displayPath(backup));
    }
}

// The path of the file `handle` is open on, links resolved. Returns 0 or the Windows error.
DWORD finalPathOf(HANDLE handle, std::wstring& out) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) {
            return GetLastError();
        }
        bool fits = n < buffer.size();
        buffer.resize(n);  // when too small, n is the size needed, terminator included
        if (fits) {
            out = std::move(buffer);
            return 0;
        }
    }
}

// ReplaceFileW failed after renaming the original to `backup`
// (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2): move it back. Without a backup name
// the original would then sit under a name the system chose, or (after
// ERROR_UNABLE_TO_MOVE_REPLACEMENT) not exist at all.
void recoverOriginal(const std::wstring& target, const std::wstring& backup, const std::string& shown,
                     DWORD err) {
    if (exists(backup) &&
        (exists(target) || !MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))) {
        fail(Action::Write, shown, err, displayPath(backup));
    }
}

}  // namespace

std::string GetSysDir() {
    // A name of 255 characters or more is treated as a failure rather than
    // cut short, as the program always did.
    constexpr UINT kBufferSize = 255;
    wchar_t buffer[kBufferSize];
    UINT n = GetSystemDirectoryW(buffer, kBufferSize);
    if (n == 0 || n >= kBufferSize) {
        return {};
    }
    while (n > 0 && buffer[n - 1] == L'\\') {
        --n;
    }
    return toUtf8(std::wstring_view(buffer, n));
}

std::string SystemHostsPath() {
    // With no system folder the result is empty, never "\drivers\etc\hosts"
    // on the current drive: readers then fail with NotFound and say why.
    std::string dir = GetSysDir();
    return dir.empty() ? std::string() : dir + "\\drivers\\etc\\hosts";
}

bool FileExists(const std::string& path) {
    std::wstring wide;
    DWORD err = 0;
    if (path.empty() || toWide(path, wide) != 0) {
        return false;
    }
    // Asking only for attributes never meets a sharing violation; directories
    // fail here (they open only with FILE_FLAG_BACKUP_SEMANTICS).
    Handle file = openFile(wide, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, err);
    // Hidden and system attributes do not matter; devices such as NUL do.
    BY_HANDLE_FILE_INFORMATION info;
    return err == 0 && GetFileType(file.get()) == FILE_TYPE_DISK &&
           GetFileInformationByHandle(file.get(), &info) &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileSnapshot ReadFileSnapshot(const std::string& path) {
    const std::wstring wide = widePath(Action::Read, path);
    DWORD err = 0;
    Handle file = openFile(wide, GENERIC_READ, kShareAll, OPEN_EXISTING, err);
    if (err == ERROR_ACCESS_DENIED && isDirectory(wide)) {
        err = kErrorDirectoryNotSupported;  // not a permission problem
    }
    check(Action::Read, path, err);
    FileSnapshot snapshot;
    check(Action::Read, path, stampOf(file.get(), snapshot.stamp));
    // Read to the end rather than trusting the size: the file may grow.
    std::size_t used = 0;
    snapshot.bytes.resize(static_cast<std::size_t>(snapshot.stamp.size) + 1);
    for (;;) {
        if (used == snapshot.bytes.size()) {
            snapshot.bytes.resize(snapshot.bytes.size() * 2);
        }
        DWORD n = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(snapshot.bytes.size() - used, kMaxIo));
        check(Action::Read, path,
              errorOf(ReadFile(file.get(), snapshot.bytes.data() + used, want, &n, nullptr)));
        if (n == 0) {
            break;
        }
        used += n;
    }
    snapshot.bytes.resize(used);
    return snapshot;
}

void ReplaceFileContents(const std::string& path, const FileStamp& expected,
                         std::string_view original, const LinesToWrite& contents,
                         const std::function<void()>& beforeCommit) {
    const std::wstring given = widePath(Action::Write, path);
    // Write through a symbolic link to the file it names, so the link stays.
    DWORD err = 0;
    Handle link = openFile(given, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, err);
    check(Action::Write, path, err);
    std::wstring target;
    if ((err = finalPathOf(link.get(), target)) != 0) {
        // Some file systems cannot name an open file; a path that is no link
        // is its own target.
        DWORD attributes = GetFileAttributesW(given.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            fail(Action::Write, path, err);
        }
        target = given;
    }
    const std::string shownTarget = displayPath(target);
    const std::string shown = shownTarget == path ? path : path + " (" + shownTarget + ")";

    FileStamp stamp;
    DWORD attributes = 0;
    check(Action::Write, shown, stampOf(link.get(), stamp, &attributes));
    link.close();
    if (stamp != expected) {
        failChanged(shown);
    }
    // A read-only file, or one whose security forbids writing, stays
    // protected even though its folder would let us replace it.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        fail(Action::Write, shown, ERROR_ACCESS_DENIED);
    }
    openFile(target, GENERIC_WRITE, kShareAll, OPEN_EXISTING, err);  // closed again at once
    check(Action::Write, shown, err);

    Handle out;
    std::wstring temp;
    if ((err = createUnique(target + L".hushgate-", L".tmp", out, temp)) == ERROR_ACCESS_DENIED) {
        // The folder is closed to us but the file itself is writable.
        if (beforeCommit) {
            beforeCommit();
        }
        rewriteInPlace(target, shown, expected, original, contents);
        return;
    }
    check(Action::Write, shown, err);
    RemoveOnExit removeTemp(temp);
    check(Action::Write, shown, flushAndClose(out, writeLines(out.get(), contents)));

    if (beforeCommit) {
        beforeCommit();
    }
    Handle current = openFile(target, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, err);
    if (err != 0 || stampOf(current.get(), stamp) != 0 || stamp != expected) {
        failChanged(shown);
    }
    current.close();

    // ReplaceFileW gives the new file the original's attributes and security
    // (we own the new file, so we may set its ACL). The backup name makes
    // every partial failure recoverable; on success it holds the old file.
    const std::wstring backup = unusedName(target + L".hushgate-old-");
    if (ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                     nullptr)) {
        removeTemp.keep();
        DeleteFileW(backup.c_str());
        return;
    }
    err = GetLastError();
    recoverOriginal(target, backup, shown, err);
    // Other errors than the three partial ones leave both files as they were.
    // Where the file system refuses the replacement, or lets us write the
    // file but not rename it, rewrite it in place instead.
    if (err == ERROR_NOT_SAME_DEVICE || err == ERROR_NOT_SUPPORTED || err == ERROR_INVALID_FUNCTION ||
        err == ERROR_INVALID_PARAMETER || err == ERROR_ACCESS_DENIED) {
        DeleteFileW(temp.c_str());
        removeTemp.keep();
        rewriteInPlace(target, shown, expected, original, contents);
        return;
    }
    fail(Action::Write, shown, err);
}

}  // namespace hushgate
