// What a later run does about an earlier one that was interrupted: it
// removes the temporary files it left, and undoes a rewrite in place that
// stopped half way.

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "win_file.h"

namespace hushgate {

namespace {

using namespace detail;

struct OpenRecord {
    std::wstring path;
    std::unique_ptr<Handle> file;  // shared with no one: ours alone until closed
    ByteBuffer bytes;
    RecordTrailer trailer;
};

// A run at work closes its new file before ReplaceFileW puts it in place,
// and ReplaceFileW leaves the old file under our name for a moment: files a
// run touched (wrote or renamed) in the last minute are taken to be in use.
// Windows has no lock that outlives the close and that ReplaceFileW ignores.
bool touchedLately(const std::wstring& path) {
    DWORD err = 0;
    Handle file = openFile(path, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, err);
    FILE_BASIC_INFO info{};
    if (err != 0 || !GetFileInformationByHandleEx(file.get(), FileBasicInfo, &info, sizeof info)) {
        return true;  // when in doubt, leave it
    }
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const LONGLONG nowTicks = static_cast<LONGLONG>(
        (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    const LONGLONG newest = std::max(info.LastWriteTime.QuadPart, info.ChangeTime.QuadPart);
    constexpr LONGLONG kMinute = 60LL * 10'000'000;  // in 100 ns ticks
    return nowTicks - newest < kMinute;
}

// Removes our leftovers for `stem` in `folder` (ending in a separator) and
// collects its records. A file another run still holds open, or touched a
// moment ago, stays.
void scanFolder(const std::wstring& folder, const std::string& stem,
                std::vector<std::wstring>& records) {
    std::wstring pattern;
    if (windows::ToUtf16("." + stem + ".hushgate-*", pattern) != 0) {
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = windows::ToUtf8(found.cFileName);
        if (const auto role = RoleOf(name, stem)) {
            const std::wstring path = folder + found.cFileName;
            if (*role == FileRole::Record) {
                records.push_back(path);
            } else if (!touchedLately(path)) {
                DeleteFileW(path.c_str());
            }
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Opens a record for us alone. A writer still at work holds it for the short
// time its rewrite takes; then it has removed the record or died.
std::optional<OpenRecord> openRecord(const std::wstring& path) {
    DWORD err = 0;
    auto file = std::make_unique<Handle>();
    for (int wait = 0; wait < 3000; ++wait) {
        *file = openFile(path, GENERIC_READ | DELETE, 0, OPEN_EXISTING, err);
        if (err != ERROR_SHARING_VIOLATION) {
            break;
        }
        Sleep(10);
    }
    if (err != 0) {
        return std::nullopt;
    }
    OpenRecord record{path, std::move(file), {}, {}};
    try {
        record.bytes = readAll(record.file->get(), displayPath(path), Action::Read);
    } catch (const HostsError&) {
        return std::nullopt;
    }
    const std::string_view bytes = record.bytes.view();
    const std::size_t tail = std::min(bytes.size(), RecordTrailer::kMaxSize);
    auto trailer = RecordTrailer::decode(bytes.substr(bytes.size() - tail), bytes.size());
    if (!trailer) {
        // Never completed, so the rewrite it was to guard never began.
        record.file->close();
        DeleteFileW(path.c_str());
        return std::nullopt;
    }
    record.trailer = *trailer;
    return record;
}

void remove(OpenRecord& record) {
    record.file->close();
    DeleteFileW(record.path.c_str());
}

// Keeps `bytes` as "<name>.hushgate-torn-<time>" beside the file, or in the
// recovery folder where the file's folder takes no new file. Returns its path.
std::string keepTornCopy(const std::wstring& target, const std::string& shown,
                         std::string_view bytes, const WriteOptions& options) {
    std::wstring folder = folderPrefixOf(target);
    const std::string stem = StemOf(windows::ToUtf8(nameOf(target)));
    Handle copy;
    std::wstring copyPath;
    DWORD err = createOurs(folder, stem, FileRole::Copy, copy, copyPath);
    std::wstring privateFolder;
    if (err == ERROR_ACCESS_DENIED && !options.recoveryFolder.empty() &&
        windows::ToUtf16(options.recoveryFolder, privateFolder) == 0 &&
        makeFolder(privateFolder) == 0) {
        folder = privateFolder + L"\\";
        err = createOurs(folder, stem, FileRole::Copy, copy, copyPath);
    }
    check(Action::Write, shown, err);
    RemoveOnExit removeCopy(copyPath);
    err = writeAll(copy.get(), bytes.data(), bytes.size());
    err = err != 0 ? err : errorOf(FlushFileBuffers(copy.get()));
    const DWORD closeErr = copy.close();
    check(Action::Write, shown, err != 0 ? err : closeErr);
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    for (int attempt = 1; attempt <= 100; ++attempt) {
        std::wstring name;
        check(Action::Write, shown, windows::ToUtf16(TornCopyName(stem, now, attempt), name));
        if (MoveFileExW(copyPath.c_str(), (folder + name).c_str(), MOVEFILE_WRITE_THROUGH)) {
            removeCopy.keep();
            return displayPath(folder + name);
        }
        err = GetLastError();
        if (err != ERROR_ALREADY_EXISTS && err != ERROR_FILE_EXISTS) {
            fail(Action::Write, shown, err);
        }
    }
    fail(Action::Write, shown, ERROR_FILE_EXISTS);
}

// Undoes what `record` guarded if the file is neither the version before
// nor the one after the rewrite. Returns the torn copy's path then.
std::optional<std::string> undo(const std::string& path, const std::wstring& target,
                                OpenRecord& record, const WriteOptions& options) {
    FileSnapshot now = ReadFileSnapshot(path);
    const RecordTrailer& t = record.trailer;
    const std::string_view current = now.bytes.view();
    const std::string_view original = record.bytes.view().substr(0, t.originalSize);
    if ((current.size() == t.newSize && DigestOf(current) == t.newDigest) || current == original) {
        remove(record);
        return std::nullopt;
    }
    const std::string damaged = "an interrupted change left the file damaged";
    if (DigestOf(original) != t.originalDigest) {
        throw HostsError(Action::Read, Kind::Other, path, 0,
                         damaged + ", and the copy kept to undo it is damaged too",
                         displayPath(record.path));
    }
    try {
        const std::string torn = keepTornCopy(target, path, current, options);
        ReplaceFileContents(path, now.stamp, NewContents::Bytes(original), options);
        remove(record);
        return torn;
    } catch (const HostsError& error) {
        throw HostsError(Action::Write, error.kind(), path, error.osError(),
                         damaged + " and it could not be put back: " + error.reason(),
                         displayPath(record.path));
    }
}

}  // namespace

std::vector<RecoveryNotice> TidyUpBeforeRead(const std::string& path, const WriteOptions& options,
                                             const std::function<void(const OpenedFile&)>& thenRead,
                                             const std::function<void()>& thenChange) {
    std::wstring given;
    std::wstring target;
    if (path.empty() || windows::ToUtf16(path, given) != 0 || resolveTarget(given, target) != 0) {
        if (thenRead) {
            thenRead(OpenedFile(path));  // says why
        }
        if (thenChange) {
            thenChange();  // the file came after all
        }
        return {};
    }
    std::vector<std::wstring> paths;
    scanFolder(folderPrefixOf(target), StemOf(windows::ToUtf8(nameOf(target))), paths);
    std::wstring privateFolder;
    if (!options.recoveryFolder.empty() &&
        windows::ToUtf16(options.recoveryFolder, privateFolder) == 0) {
        scanFolder(privateFolder + L"\\", PrivateStemOf(displayPath(target)), paths);
    }
    auto notices = UndoOldestFirst(paths, openRecord,
                                   [&](OpenRecord& record) -> std::optional<RecoveryNotice> {
                                       if (auto torn = undo(path, target, record, options)) {
                                           return RecoveryNotice{path, *torn};
                                       }
                                       return std::nullopt;
                                   });
    if (thenRead) {
        thenRead(OpenedFile(path));
    }
    if (thenChange) {
        thenChange();
    }
    return notices;
}

}  // namespace hushgate
