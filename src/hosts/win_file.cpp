#include "win_file.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

#include "buffered_io.h"

namespace hushgate::detail {

namespace {

constexpr DWORD kMaxIo = 1u << 30;  // one ReadFile/WriteFile call takes a DWORD count

// 100 ns ticks since 1601 to ns since 1970, clamped so that it cannot
// overflow. Zero means "not recorded" (e.g. no change time on FAT) and stays 0.
std::int64_t nsSinceUnixEpoch(std::int64_t ticks) {
    constexpr std::int64_t kEpoch = 116444736000000000LL;
    constexpr std::int64_t kLimit = INT64_MAX / 100;
    return ticks == 0 ? 0 : (std::clamp(ticks, kEpoch - kLimit, kEpoch + kLimit) - kEpoch) * 100;
}

// Letters and digits that differ between calls, processes and moments.
// Files named with them are still created with CREATE_NEW; a clash only retries.
std::wstring randomTag() {
    static std::atomic<std::uint64_t> counter{0};
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    std::uint64_t x = (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32) ^
                      static_cast<std::uint64_t>(now.QuadPart) ^
                      (++counter * 0x9E3779B97F4A7C15ULL);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    x ^= x >> 31;
    std::wstring tag(kRandomLength, L'0');
    for (auto& c : tag) {
        c = L"0123456789abcdefghijklmnopqrstuvwxyz"[x % 36];
        x /= 36;
    }
    return tag;
}

std::wstring prefixOf(const std::wstring& folder, const std::string& stem, FileRole role) {
    std::wstring prefix;
    windows::ToUtf16(NamePrefix(stem, role), prefix);
    return folder + prefix;
}

}  // namespace

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
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return Kind::OutOfMemory;
        default:
            return Kind::Other;
    }
}

DWORD errorOf(BOOL ok) {
    return ok ? 0 : GetLastError();
}

void fail(Action action, const std::string& path, DWORD err, const std::string& backup) {
    throw HostsError(action, kindOf(err), path, static_cast<int>(err),
                     windows::SystemErrorText(err), backup);
}

void check(Action action, const std::string& path, DWORD err) {
    if (err != 0) {
        fail(action, path, err);
    }
}

void failChanged(const std::string& path) {
    throw HostsError(Action::Write, Kind::ChangedByOther, path, 0,
                     "the file was changed by another program while it was being updated", {});
}

std::wstring widePath(Action action, const std::string& path) {
    if (path.empty()) {
        throw HostsError(action, Kind::NotFound, path, ERROR_PATH_NOT_FOUND,
                         "no file name given (the Windows system folder could not be determined)");
    }
    std::wstring wide;
    check(action, path, windows::ToUtf16(path, wide));
    return wide;
}

std::string displayPath(const std::wstring& path) {
    std::wstring_view view(path);
    if (view.starts_with(L"\\\\?\\UNC\\")) {
        return "\\" + windows::ToUtf8(view.substr(7));
    }
    return windows::ToUtf8(view.starts_with(L"\\\\?\\") ? view.substr(4) : view);
}

std::wstring folderPrefixOf(const std::wstring& path) {
    auto cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring nameOf(const std::wstring& path) {
    return path.substr(folderPrefixOf(path).size());
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD Handle::close() {
    DWORD err = valid() ? errorOf(CloseHandle(handle_)) : 0;
    handle_ = INVALID_HANDLE_VALUE;
    return err;
}

Handle openFile(const std::wstring& path, DWORD access, DWORD share, DWORD creation, DWORD& err) {
    HANDLE handle =
        CreateFileW(path.c_str(), access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    err = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    return Handle(handle);
}

namespace {

// The path of the file `handle` is open on, links resolved. Returns 0 or the Windows error.
DWORD finalPathOf(HANDLE handle, std::wstring& out) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n =
            GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
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

}  // namespace

DWORD resolveTarget(const std::wstring& given, std::wstring& target) {
    DWORD err = 0;
    Handle link = openFile(given, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, err);
    if (err != 0) {
        return err;
    }
    if ((err = finalPathOf(link.get(), target)) != 0) {
        // Some file systems cannot name an open file; a path that is no link
        // is its own target.
        DWORD attributes = GetFileAttributesW(given.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            return err;
        }
        target = given;
    }
    return 0;
}

DWORD stampOf(HANDLE file, FileStamp& stamp, DWORD* attributes, DWORD* links) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        return GetLastError();
    }
    auto join = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
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
    if (links) {
        *links = info.nNumberOfLinks;
    }
    return 0;
}

DWORD createOurs(const std::wstring& folder, const std::string& stem, FileRole role, Handle& file,
                 std::wstring& path) {
    const std::wstring prefix = prefixOf(folder, stem, role);
    DWORD err = ERROR_FILE_EXISTS;
    for (int i = 0; i < 100 && (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS); ++i) {
        path = prefix + randomTag();
        file = openFile(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, err);
    }
    return err;
}

std::wstring unusedName(const std::wstring& folder, const std::string& stem, FileRole role) {
    const std::wstring prefix = prefixOf(folder, stem, role);
    std::wstring path = prefix + randomTag();
    for (int i = 0; i < 100 && exists(path); ++i) {
        path = prefix + randomTag();
    }
    return path;
}

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

DWORD writeContents(HANDLE file, const NewContents& contents, const ReadAt& original) {
    return WriteBuffered(contents, original, [&](const char* data, std::size_t size) {
        return writeAll(file, data, size);
    });
}

ByteBuffer readAll(HANDLE file, const std::string& shownPath, Action action) {
    FileStamp stamp;
    check(action, shownPath, stampOf(file, stamp));
    return ReadToEnd(stamp.size, shownPath, action, readerOf(file, UINT64_MAX, shownPath, action));
}

ReadAt readerOf(HANDLE file, std::uint64_t size, const std::string& shownPath, Action action) {
    return [file, size, shownPath, action](std::uint64_t at, char* data,
                                           std::size_t room) -> std::size_t {
        if (at >= size) {
            return 0;
        }
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::uint64_t>({room, size - at, kMaxIo}));
        if (!ReadFile(file, data, want, &n, &where) && GetLastError() != ERROR_HANDLE_EOF) {
            fail(action, shownPath, GetLastError());
        }
        return n;
    };
}

DWORD makeFolder(const std::wstring& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
        return 0;
    }
    return GetLastError();
}

}  // namespace hushgate::detail
