#pragma once

// Small Win32 pieces shared by the hosts file's reading, writing and
// recovery code. Not for front ends.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "hosts_error.h"
#include "hosts_file.h"
#include "hosts_recovery.h"
#include "win_text.h"

namespace hushgate::detail {

using Action = HostsError::Action;
using Kind = HostsError::Kind;

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

Kind kindOf(DWORD err);
DWORD errorOf(BOOL ok);
[[noreturn]] void fail(Action action, const std::string& path, DWORD err,
                       const std::string& backup = {});
// Throws unless `err` is 0.
void check(Action action, const std::string& path, DWORD err);
[[noreturn]] void failChanged(const std::string& path);
// An empty path never turns into a file relative to the current folder.
std::wstring widePath(Action action, const std::string& path);
// For messages: "\\?\C:\x" is shown as "C:\x", "\\?\UNC\host\share" as "\\host\share".
std::string displayPath(const std::wstring& path);
// The folder part of `path` including its separator ("" for a bare name).
std::wstring folderPrefixOf(const std::wstring& path);
std::wstring nameOf(const std::wstring& path);
bool exists(const std::wstring& path);

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
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes now and reports the error.
    DWORD close();

private:
    HANDLE handle_;
};

// Opens `path` (symbolic links followed); `err` is 0 or the Windows error.
Handle openFile(const std::wstring& path, DWORD access, DWORD share, DWORD creation, DWORD& err);
// The file a path leads to, symbolic links resolved. Returns 0 or the
// Windows error.
DWORD resolveTarget(const std::wstring& given, std::wstring& target);
// Returns 0 or the Windows error.
DWORD stampOf(HANDLE file, FileStamp& stamp, DWORD* attributes = nullptr, DWORD* links = nullptr);

// Creates a new file of ours, NamePrefix(stem, role) + six random letters
// or digits, in `folder` (ending in a separator), opened for writing and
// shared with no one: while we hold it, no other run can remove it. Returns
// 0 or the Windows error.
DWORD createOurs(const std::wstring& folder, const std::string& stem, FileRole role, Handle& file,
                 std::wstring& path);
// A name of ours not yet taken.
std::wstring unusedName(const std::wstring& folder, const std::string& stem, FileRole role);

// These return 0 or the Windows error. A write that makes no progress is
// reported as a full disk.
DWORD writeAll(HANDLE file, const char* data, std::size_t size);
// The contents made from `original`, copied into large writes.
DWORD writeContents(HANDLE file, const NewContents& contents, const ReadAt& original);
// The whole file from its start. Throws HostsError.
ByteBuffer readAll(HANDLE file, const std::string& shownPath, Action action);
// Reads the first `size` bytes of the open file at any offset, the file
// position left alone: the version whose stamp was checked. Throws HostsError.
ReadAt readerOf(HANDLE file, std::uint64_t size, const std::string& shownPath, Action action);
// Creates `folder` if it is missing. Returns 0 or the Windows error.
DWORD makeFolder(const std::wstring& folder);

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

}  // namespace hushgate::detail
