#include <memory>
#include <utility>

#include "interrupt_guard.h"
#include "win_file.h"

namespace hushgate {

namespace {

using namespace detail;

constexpr DWORD kErrorDirectoryNotSupported = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED

bool isDirectory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Flushes and closes a written file. Returns `err` or the first new Windows error.
DWORD flushAndClose(Handle& file, DWORD err) {
    err = err != 0 ? err : errorOf(FlushFileBuffers(file.get()));
    DWORD closeErr = file.close();
    return err != 0 ? err : closeErr;
}

// Puts `original` back into the open file. Returns 0 or the Windows error.
DWORD restoreInPlace(HANDLE file, std::string_view original) {
    LARGE_INTEGER start{};
    DWORD err = errorOf(SetFilePointerEx(file, start, nullptr, FILE_BEGIN));
    err = err != 0 ? err : writeAll(file, original.data(), original.size());
    err = err != 0 ? err : errorOf(SetEndOfFile(file));
    return err != 0 ? err : errorOf(FlushFileBuffers(file));
}

// The record that guards a rewrite in place: beside the file, or where the
// folder takes no new file, in the recovery folder. Held open and shared
// with no one while the rewrite runs.
void createRecord(const std::wstring& target, const std::string& shown, const WriteOptions& options,
                  Handle& record, std::wstring& path) {
    DWORD err = createOurs(folderPrefixOf(target), StemOf(windows::ToUtf8(nameOf(target))),
                           FileRole::Record, record, path);
    std::wstring folder;
    if (err == ERROR_ACCESS_DENIED && !options.recoveryFolder.empty() &&
        windows::ToUtf16(options.recoveryFolder, folder) == 0 && makeFolder(folder) == 0) {
        err = createOurs(folder + L"\\", PrivateStemOf(displayPath(target)), FileRole::Record,
                         record, path);
    }
    if (err == ERROR_ACCESS_DENIED) {
        throw HostsError(Action::Write, Kind::PermissionDenied, shown, static_cast<int>(err),
                         "its folder takes no new file, so no copy can be kept to undo an "
                         "interrupted change; nothing was written");
    }
    check(Action::Write, shown, err);
}

// Used where ReplaceFileW cannot be: a hard link, a folder that takes no new
// file, or a file system that refuses the replacement. A record of the
// original and of the intended result is on disk before the first byte
// changes, so that a later read can undo an interrupted rewrite; a failure
// we see is undone at once.
bool rewriteInPlace(const std::wstring& target, const std::string& shown, const FileStamp& expected,
                    std::string_view before, const NewContents& contents,
                    const WriteOptions& options) {
    // Readers may look on; no other writer may join in.
    DWORD err = 0;
    Handle file =
        openFile(target, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, err);
    check(Action::Write, shown, err);
    FileStamp stamp;
    check(Action::Write, shown, stampOf(file.get(), stamp));
    if (stamp != expected) {
        failChanged(shown);
    }
    const std::optional<RecordTrailer> made = RecordTrailer::ForRewrite(before, contents);
    if (!made) {
        return false;
    }
    const RecordTrailer& trailer = *made;
    Handle record;
    std::wstring recordPath;
    createRecord(target, shown, options, record, recordPath);
    RemoveOnExit removeRecord(recordPath);
    const std::string footer = trailer.encode();
    err = writeAll(record.get(), before.data(), before.size());
    err = err != 0 ? err : writeAll(record.get(), footer.data(), footer.size());
    check(Action::Write, shown, err != 0 ? err : errorOf(FlushFileBuffers(record.get())));
    if (options.hook) {
        options.hook(WriteStep::RecordSaved);
    }

    // From the final check until the file is whole again, no interrupt.
    DeferInterrupts deferred;
    check(Action::Write, shown, stampOf(file.get(), stamp));
    if (stamp != expected) {
        failChanged(shown);
    }
    if (options.hook) {
        options.hook(WriteStep::AfterFinalCheck);
    }
    // Reserve the space first: a full disk is then found before one byte of
    // the original is overwritten. Only ever grow; a smaller size would cut the file.
    FILE_ALLOCATION_INFO reserve;
    reserve.AllocationSize.QuadPart = static_cast<LONGLONG>(trailer.newSize);
    if (trailer.newSize > stamp.size &&
        kindOf(err = errorOf(SetFileInformationByHandle(file.get(), FileAllocationInfo, &reserve,
                                                        sizeof reserve))) == Kind::DiskFull) {
        fail(Action::Write, shown, err);
    }
    LARGE_INTEGER start{};
    err = errorOf(SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN));
    err = err != 0 ? err : writeContents(file.get(), contents, MemoryReader(before));
    if (err == 0 && options.hook) {
        options.hook(WriteStep::InPlaceWritten);
    }
    err = err != 0 ? err : errorOf(SetEndOfFile(file.get()));
    err = err != 0 ? err : errorOf(FlushFileBuffers(file.get()));
    if (err != 0) {
        if (restoreInPlace(file.get(), before) != 0) {
            record.close();
            removeRecord.keep();
            fail(Action::Write, shown, err, displayPath(recordPath));
        }
        fail(Action::Write, shown, err);
    }
    if ((err = file.close()) != 0) {
        record.close();
        removeRecord.keep();
        fail(Action::Write, shown, err, displayPath(recordPath));
    }
    record.close();
    return true;
}

// ReplaceFileW failed after renaming the original to `backup`
// (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2): move it back. Without a backup name
// the original would then sit under a name the system chose, or (after
// ERROR_UNABLE_TO_MOVE_REPLACEMENT) not exist at all.
void recoverOriginal(const std::wstring& target, const std::wstring& backup,
                     const std::string& shown, DWORD err) {
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
    return windows::ToUtf8(std::wstring_view(buffer, n));
}

std::string SystemHostsPath() {
    // With no system folder the result is empty, never "\drivers\etc\hosts"
    // on the current drive: readers then fail with NotFound and say why.
    std::string dir = GetSysDir();
    return dir.empty() ? std::string() : dir + "\\drivers\\etc\\hosts";
}

std::string DefaultRecoveryFolder() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"ProgramData", buffer, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string()
                                   : windows::ToUtf8(std::wstring_view(buffer, n)) + "\\hushgate";
}

bool FileExists(const std::string& path) {
    std::wstring wide;
    DWORD err = 0;
    if (path.empty() || windows::ToUtf16(path, wide) != 0) {
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

void CreateNewFile(const std::string& path, std::string_view bytes) {
    const std::wstring wide = widePath(Action::Write, path);
    DWORD err = 0;
    Handle file = openFile(wide, GENERIC_WRITE, 0, CREATE_NEW, err);
    check(Action::Write, path, err);
    err = writeAll(file.get(), bytes.data(), bytes.size());
    err = err != 0 ? err : errorOf(FlushFileBuffers(file.get()));
    err = err != 0 ? err : file.close();
    if (err != 0) {
        file.close();
        DeleteFileW(wide.c_str());
        fail(Action::Write, path, err);
    }
}

bool AppendToFile(const std::string& path, std::string_view bytes) noexcept {
    std::wstring wide;
    DWORD err = 0;
    if (!path.empty() && windows::ToUtf16(path, wide) == 0) {
        Handle file = openFile(wide, FILE_APPEND_DATA, kShareAll, OPEN_EXISTING, err);
        if (err == 0 && writeAll(file.get(), bytes.data(), bytes.size()) == 0) {
            FlushFileBuffers(file.get());
        }
    }
    return true;
}

OpenedFile::OpenedFile(const std::string& path) : path_(path) {
    const std::wstring wide = widePath(Action::Read, path);
    DWORD err = 0;
    Handle file = openFile(wide, GENERIC_READ, kShareAll, OPEN_EXISTING, err);
    if (err == ERROR_ACCESS_DENIED && isDirectory(wide)) {
        err = kErrorDirectoryNotSupported;  // not a permission problem
    }
    check(Action::Read, path, err);
    check(Action::Read, path, stampOf(file.get(), stamp_));
    handle_ = reinterpret_cast<std::intptr_t>(file.release());
}

OpenedFile::~OpenedFile() {
    Handle(reinterpret_cast<HANDLE>(handle_)).close();
}

ReadAt OpenedFile::reader() const {
    return readerOf(reinterpret_cast<HANDLE>(handle_), stamp_.size, path_, Action::Read);
}

// The new contents are made from the file as it is, read in pieces, so that
// a large file is never held in memory; the rare rewrite in place works from
// a copy. The file is closed again before the final check: another program
// cannot rename its own version over a file we hold open.
bool ReplaceFileContents(const std::string& path, const FileStamp& expected,
                         const NewContents& contents, const WriteOptions& options) {
    const std::wstring given = widePath(Action::Write, path);
    // Write through a symbolic link to the file it names, so the link stays.
    std::wstring target;
    check(Action::Write, path, resolveTarget(given, target));
    const std::string shownTarget = displayPath(target);
    const std::string shown = shownTarget == path ? path : path + " (" + shownTarget + ")";

    DWORD err = 0;
    FileStamp stamp;
    DWORD attributes = 0;
    DWORD links = 1;
    Handle file = openFile(target, GENERIC_READ, kShareAll, OPEN_EXISTING, err);
    check(Action::Write, shown, err);
    check(Action::Write, shown, stampOf(file.get(), stamp, &attributes, &links));
    if (stamp != expected) {
        failChanged(shown);
    }
    const ReadAt original = readerOf(file.get(), expected.size, shown, Action::Write);
    // A read-only file, or one whose security forbids writing, stays
    // protected even though its folder would let us replace it. Refusals are
    // for changes: one that turns out not to be needed is not refused.
    if (contents.leavesAsIs(original)) {
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        // Named by its real path: the mark is on the file a link points to.
        throw HostsError(Action::Write, Kind::MarkedReadOnly, shownTarget, ERROR_ACCESS_DENIED,
                         MarkedReadOnlyReason(shownTarget));
    }
    openFile(target, GENERIC_WRITE, kShareAll, OPEN_EXISTING, err);  // closed again at once
    check(Action::Write, shown, err);

    const std::wstring folder = folderPrefixOf(target);
    const std::string stem = StemOf(windows::ToUtf8(nameOf(target)));
    bool hookCalled = false;
    // Every name of a hard-linked file must see the change: only in place.
    Handle out;
    std::wstring temp;
    if (links <= 1 &&
        (err = createOurs(folder, stem, FileRole::New, out, temp)) != ERROR_ACCESS_DENIED) {
        // (A folder closed to us with the file itself writable: in place.)
        check(Action::Write, shown, err);
        RemoveOnExit removeTemp(temp);
        err = writeContents(out.get(), contents, original);
        if (err == static_cast<DWORD>(NewContents::kLeaveAsIs)) {
            return false;
        }
        check(Action::Write, shown, flushAndClose(out, err));
        file.close();
        hookCalled = true;
        if (options.hook) {
            options.hook(WriteStep::BeforeFinalCheck);
        }
        // ReplaceFileW gives the new file the original's attributes and
        // security (we own the new file, so we may set its ACL). The backup
        // name makes every partial failure recoverable; on success it holds
        // the version we displaced.
        const std::wstring backup = unusedName(folder, stem, FileRole::Old);
        BOOL replaced = FALSE;
        {
            // From the final check to the replacement: nothing slow, no interrupt.
            DeferInterrupts deferred;
            Handle current = openFile(target, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, err);
            if (err != 0 || stampOf(current.get(), stamp) != 0 || stamp != expected) {
                failChanged(shown);
            }
            current.close();
            if (options.hook) {
                options.hook(WriteStep::AfterFinalCheck);
            }
            replaced = ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(),
                                    REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                                    nullptr, nullptr);
            err = replaced ? 0 : GetLastError();
        }
        if (replaced) {
            removeTemp.keep();
            RemoveOnExit removeBackup(backup);
            // Another program's change made after our final check is in the
            // version we displaced.
            Handle old = openFile(backup, GENERIC_READ, kShareAll, OPEN_EXISTING, err);
            FileStamp oldStamp;
            if (err == 0 && stampOf(old.get(), oldStamp) == 0 && options.displaced &&
                (oldStamp.size != expected.size || oldStamp.modifiedNs != expected.modifiedNs)) {
                try {
                    // What we wrote, read back from where it now is.
                    Handle ours = openFile(target, GENERIC_READ, kShareAll, OPEN_EXISTING, err);
                    check(Action::Write, shown, err);
                    options.displaced(readAll(old.get(), shown, Action::Write).view(),
                                      readAll(ours.get(), shown, Action::Write).view());
                } catch (const HostsError&) {
                    // our change is made; theirs cannot be read
                }
            }
            return true;
        }
        recoverOriginal(target, backup, shown, err);
        // Other errors than the three partial ones leave both files as they were.
        // Where the file system refuses the replacement, or lets us write the
        // file but not rename it, rewrite it in place instead.
        if (err != ERROR_NOT_SAME_DEVICE && err != ERROR_NOT_SUPPORTED &&
            err != ERROR_INVALID_FUNCTION && err != ERROR_INVALID_PARAMETER &&
            err != ERROR_ACCESS_DENIED) {
            fail(Action::Write, shown, err);
        }
    }
    // In place, from a copy of the version read (its stamp is checked again
    // on the handle the rewrite opens).
    if (!file.valid()) {
        file = openFile(target, GENERIC_READ, kShareAll, OPEN_EXISTING, err);
        check(Action::Write, shown, err);
    }
    const ByteBuffer copy = readAll(file.get(), shown, Action::Write);
    file.close();
    if (!hookCalled && options.hook) {
        options.hook(WriteStep::BeforeFinalCheck);
    }
    return rewriteInPlace(target, shown, expected, copy.view(), contents, options);
}

}  // namespace hushgate
