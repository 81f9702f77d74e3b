// What a later run does about an earlier one that was interrupted: it
// removes the temporary files it left, and undoes a rewrite in place that
// stopped half way.

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "buffered_io.h"
#include "posix_file.h"

namespace hushgate {

namespace {

using namespace detail;

struct OpenRecord {
    std::string path;
    std::unique_ptr<FileDescriptor> fd;  // holds the record's lock
    RecordTrailer trailer;
};

// Calls f(name) for each name in `folder`. On Linux through a buffer on the
// stack: opendir's own, 32 KiB taken from the heap and given back, costs a
// short run more than reading the folder does.
template <typename F>
void forEachName(const std::string& folder, F f) {
#ifdef __linux__
    const FileDescriptor dir(
        ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK));
    if (dir.get() < 0) {
        return;
    }
    alignas(struct dirent64) char buffer[4096];
    for (;;) {
        const ssize_t n = ::getdents64(dir.get(), buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
            f(std::string_view(entry->d_name));
            at += entry->d_reclen;
        }
    }
#else
    struct CloseDir {
        void operator()(DIR* dir) const { ::closedir(dir); }
    };
    const std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
    while (dir) {
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            return;
        }
        f(std::string_view(entry->d_name));
    }
#endif
}

// Removes our leftovers for `stem` in `folder` and collects its records.
void scanFolder(const std::string& folder, const std::string& stem,
                std::vector<std::string>& records) {
    const std::string ours = "." + stem + ".hushgate-";
    forEachName(folder, [&](std::string_view name) {
        if (!name.starts_with(ours)) {
            return;
        }
        if (const auto role = RoleOf(name, stem)) {
            const std::string path = folder + "/" + std::string(name);
            if (*role == FileRole::Record) {
                records.push_back(path);
            } else {
                removeIfUnlocked(path);
            }
        }
    });
}

// Whether a record may be used at all: a file of ours (or root's), with one
// name, that no one else may write, in a folder where no one else can have
// put it (or a sticky one, and it belongs to the hosts file's owner).
bool trusted(const struct stat& record, const struct stat& folder, const struct stat& file) {
    const bool owner = record.st_uid == ::geteuid() || record.st_uid == 0;
    const bool folderSafe = (folder.st_mode & S_IWOTH) == 0 ||
                            ((folder.st_mode & S_ISVTX) != 0 && record.st_uid == file.st_uid);
    return S_ISREG(record.st_mode) && record.st_nlink == 1 && owner &&
           (record.st_mode & (S_IWGRP | S_IWOTH)) == 0 && folderSafe;
}

// Opens a record that can be trusted; tells of one that cannot. Without our
// writers' lock, a record still locked is a writer's at work, and left to it.
std::optional<OpenRecord> openRecord(const std::string& path, const struct stat& file, bool locked,
                                     std::vector<RecoveryNotice>& told, const std::string& shown) {
    auto fd = std::make_unique<FileDescriptor>(
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat opened, named, folder;
    if (fd->get() < 0 || ::fstat(fd->get(), &opened) != 0 || ::lstat(path.c_str(), &named) != 0 ||
        !sameFile(opened, named) || ::stat(directoryOf(path).c_str(), &folder) != 0) {
        return std::nullopt;  // gone, or not ours to read
    }
    if (!S_ISREG(opened.st_mode)) {
        return std::nullopt;  // only named like one
    }
    if (!trusted(opened, folder, file)) {
        told.push_back({shown, path, RecoveryNotice::What::Ignored});
        return std::nullopt;
    }
    if (!locked && ::flock(fd->get(), LOCK_EX | LOCK_NB) != 0) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(opened.st_size);
    const std::size_t tailSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, RecordTrailer::kMaxSize));
    std::string tail(tailSize, '\0');
    const ssize_t n =
        ::pread(fd->get(), tail.data(), tail.size(), static_cast<off_t>(size - tailSize));
    auto trailer =
        n == static_cast<ssize_t>(tailSize) ? RecordTrailer::decode(tail, size) : std::nullopt;
    if (!trailer) {
        // Never completed, so the rewrite it was to guard never began.
        ::unlink(path.c_str());
        return std::nullopt;
    }
    return OpenRecord{path, std::move(fd), *trailer};
}

std::int64_t unixSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Exactly the `size` bytes `read` gives, copied a piece at a time, whatever
// original they are asked to be made from: an error (EIO) when those bytes
// end early, so that no copy cut short passes for a whole one.
NewContents copyOf(const ReadAt& read, std::uint64_t size) {
    return {[&read, size](const ReadAt&, PieceSink& out) {
        const std::unique_ptr<char[]> piece(new char[kWriteBufferSize]);
        std::uint64_t at = 0;
        while (const std::size_t n = read(at, piece.get(), kWriteBufferSize)) {
            int err = out.put(std::string_view(piece.get(), n));
            if (err != 0 || (err = out.release()) != 0) {
                return err;
            }
            at += n;
        }
        return at == size ? 0 : EIO;
    }};
}

// Keeps the `size` bytes `read` gives as "<name>.hushgate-torn-<time>" beside the
// file, or in the recovery folder where the file's folder takes no new file.
// Returns its path.
std::string keepTornCopy(const std::string& target, const std::string& shown, const ReadAt& read,
                         std::uint64_t size, const struct stat& like, const WriteOptions& options) {
    std::string folder = directoryOf(target);
    const std::string stem = StemOf(fileNameOf(target));
    auto copy = std::make_unique<OurFile>(folder, stem, FileRole::Copy);
    if (!copy->created() && !options.recoveryFolder.empty() &&
        StateFolderUsable(options.recoveryFolder, true, shown)) {
        folder = options.recoveryFolder;
        copy = std::make_unique<OurFile>(folder, stem, FileRole::Copy);
    }
    if (!copy->created()) {
        fail(Action::Write, shown, copy->error());
    }
    restrictLike(copy->fd(), like);
    int err = writeContents(copy->fd(), copyOf(read, size), read);
    err = err != 0 ? err : fsyncRetrying(copy->fd());
    if (err != 0) {
        fail(Action::Write, shown, err);
    }
    const std::int64_t now = unixSeconds();
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::string name = folder + "/" + TornCopyName(stem, now, attempt);
        if (::link(copy->path().c_str(), name.c_str()) == 0) {
            copy->removeNow();
            syncDirectory(folder);
            return name;
        }
        if (errno != EEXIST) {
            fail(Action::Write, shown, errno);
        }
    }
    fail(Action::Write, shown, EEXIST);
}

// Leaves the file alone and renames the record out of the way.
RecoveryNotice setAside(const std::string& path, const OpenRecord& record) {
    const std::string stale = record.path + ".stale";
    ::rename(record.path.c_str(), stale.c_str());
    syncDirectory(directoryOf(record.path));
    return {path, stale, RecoveryNotice::What::SetAside};
}

// Undoes what `record` guarded if the file is still the one it names and
// holds what the interrupted write could have left, other than its result.
// The file, the record and the result are read in pieces, never held whole.
std::optional<RecoveryNotice> undo(const std::string& path, const std::string& target,
                                   OpenRecord& record, const WriteOptions& options) {
    auto file = std::make_unique<OpenedFile>(target);
    const FileStamp stamp = file->stamp();
    const RecordTrailer& t = record.trailer;
    if (t.inode != 0 && (stamp.device != t.device || stamp.inode != t.inode)) {
        return setAside(path, record);
    }
    const ReadAt now = file->reader();
    const Measured current = MeasureOf(now);
    // The record's copy of the original; nothing when it is shorter or unreadable.
    const int recordFd = record.fd->get();
    const std::optional<std::uint64_t> kept = digestOfStart(recordFd, t.originalSize);
    if (current == Measured{t.newSize, t.newDigest} ||
        (kept && current == Measured{t.originalSize, *kept})) {
        ::unlink(record.path.c_str());
        return std::nullopt;
    }
    const std::string damaged = "an interrupted change left the file damaged";
    if (kept != t.originalDigest) {
        // Kept for whoever mends the file by hand; no later run can use it.
        throw HostsError(Action::Read, Kind::Other, path, 0,
                         damaged + ", and the copy kept to undo it, " +
                             EscapeControlCharacters(record.path) +
                             ", is damaged too; both are left as they are");
    }
    const ReadAt original = readerOf(recordFd, t.originalSize, record.path, Action::Read);
    const std::optional<NewContents> result =
        options.resultOf && !t.verb.empty() ? options.resultOf(t.verb) : std::nullopt;
    if (!result || MeasureOf(*result, original) != Measured{t.newSize, t.newDigest} ||
        !FitsInterruptedRewrite(now, current.size, original, t.originalSize, *result)) {
        return setAside(path, record);
    }
    struct stat like;
    if (::stat(target.c_str(), &like) != 0) {
        fail(Action::Read, path, errno);
    }
    try {
        const std::string torn = keepTornCopy(target, path, now, current.size, like, options);
        file.reset();  // let go of it before it is written, as a whole read did
        // The original from the record, in pieces; should the record have been
        // cut short since, the write fails and the file stays as it is.
        const NewContents restored = copyOf(original, t.originalSize);
        WriteOptions restore = options;
        restore.verb.clear();
        ReplaceFileContents(target, stamp, restored, restore);
        ::unlink(record.path.c_str());
        syncDirectory(directoryOf(record.path));
        return RecoveryNotice{path, torn};
    } catch (const HostsError& error) {
        throw HostsError(Action::Write, error.kind(), path, error.osError(),
                         damaged + " and it could not be put back: " + error.reason(), record.path);
    }
}

}  // namespace

std::vector<RecoveryNotice> TidyUpBeforeRead(const std::string& path, const WriteOptions& options,
                                             const std::function<void(const OpenedFile&)>& thenRead,
                                             const std::function<void()>& thenChange) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    struct stat file;
    if (!resolved || ::stat(resolved.get(), &file) != 0) {
        if (thenRead) {
            thenRead(OpenedFile(path));  // says why
        }
        if (thenChange) {
            thenChange();  // the file came after all
        }
        return {};
    }
    const std::string target = resolved.get();
    const WriterLock lock(target, path, Action::Read, options);
    std::vector<std::string> paths;
    scanFolder(directoryOf(target), StemOf(fileNameOf(target)), paths);
    if (!options.recoveryFolder.empty() &&
        StateFolderUsable(options.recoveryFolder, false, path, Action::Read)) {
        scanFolder(options.recoveryFolder, PrivateStemOf(target), paths);
    }
    std::vector<RecoveryNotice> told;
    auto notices = UndoOldestFirst(
        paths,
        [&](const std::string& recordPath) {
            return openRecord(recordPath, file, lock.held(), told, path);
        },
        [&](OpenRecord& record) { return undo(path, target, record, options); });
    if (thenRead) {
        thenRead(OpenedFile(path));
    }
    if (thenChange) {
        thenChange();
    }
    notices.insert(notices.begin(), told.begin(), told.end());
    return notices;
}

}  // namespace hushgate
