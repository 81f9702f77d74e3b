#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "posix_file.h"

namespace hushgate {

namespace {

using namespace detail;

// Puts `original` back into the open file. Returns 0 or errno.
int restoreInPlace(int fd, std::string_view original) {
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        return errno;
    }
    int err = writeAll(fd, original.data(), original.size());
    if (err == 0 && ::ftruncate(fd, static_cast<off_t>(original.size())) != 0) {
        err = errno;
    }
    return err == 0 ? fsyncRetrying(fd) : err;
}

// The record that guards a rewrite in place: beside the file, or where the
// folder takes no new file, in the recovery folder.
std::unique_ptr<OurFile> createRecord(const std::string& target, const std::string& shown,
                                      const WriteOptions& options) {
    auto record = std::make_unique<OurFile>(directoryOf(target), StemOf(fileNameOf(target)),
                                            FileRole::Record);
    if (record->created()) {
        return record;
    }
    int err = record->error();
    if (err != EACCES && err != EPERM && err != EROFS) {
        fail(Action::Write, shown, err);
    }
    if (!options.recoveryFolder.empty() && StateFolderUsable(options.recoveryFolder, true, shown)) {
        record = std::make_unique<OurFile>(options.recoveryFolder, PrivateStemOf(target),
                                           FileRole::Record);
        if (record->created()) {
            return record;
        }
        err = record->error();
    }
    throw HostsError(Action::Write, kindOf(err), shown, err,
                     "its folder takes no new file, so no copy can be kept to undo an interrupted "
                     "change (" +
                         std::string(std::strerror(err)) + "); nothing was written");
}

// Used where the file cannot be replaced by a new one: a bind mount (EBUSY),
// a file on another device than its folder's entry (EXDEV), a hard link, a
// folder that takes no new file, an owner, ACL or label we cannot give a
// new file, or another program that keeps the file open to append to it. A
// record of the original and of the write is on disk before the first byte
// changes, so that a later read can undo an interrupted rewrite; a failure
// we see is undone at once. Bytes another program appends meanwhile (it
// writes at the end, wherever that is) are kept after the new contents.
void rewriteInPlace(const std::string& target, const std::string& shown, int heldFd,
                    const struct stat& original, const FileStamp& expected,
                    std::optional<std::string_view> known, const LinesToWrite& contents,
                    const WriteOptions& options, bool othersWriting) {
    ByteBuffer readBack;
    if (!known) {
        readBack = readWhole(heldFd, shown, Action::Write);
        struct stat st;
        if (::fstat(heldFd, &st) != 0 || stampOf(st) != expected) {
            failChanged(shown);
        }
        known = readBack.view();
    }
    const std::string_view before = *known;

    RecordTrailer trailer = RecordTrailer::ForRewrite(before, contents);
    trailer.device = static_cast<std::uint64_t>(original.st_dev);
    trailer.inode = static_cast<std::uint64_t>(original.st_ino);
    trailer.verb = options.verb;
    std::unique_ptr<OurFile> record = createRecord(target, shown, options);
    restrictLike(record->fd(), original);
    const std::string footer = trailer.encode();
    int err = writeAll(record->fd(), before.data(), before.size());
    err = err != 0 ? err : writeAll(record->fd(), footer.data(), footer.size());
    err = err != 0 ? err : fsyncRetrying(record->fd());
    if (err != 0) {
        fail(Action::Write, shown, err);
    }
    syncDirectory(directoryOf(record->path()));
    if (options.hook) {
        options.hook(WriteStep::RecordSaved);
    }

    // From the final check until the file is whole again, no interrupt.
    DeferInterrupts deferred;
    FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        fail(Action::Write, shown, errno);
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) {
        fail(Action::Write, shown, errno);
    }
    // A program that keeps the file open to append goes on; any other change
    // means starting again from a fresh read.
    if (stampOf(st) != expected &&
        !(othersWriting && onlyAppendedTo(heldFd, st, expected, before))) {
        failChanged(shown);
    }
    if (options.hook) {
        options.hook(WriteStep::AfterFinalCheck);
    }
#ifdef __linux__
    // Reserve the space first: a full disk is then found before one byte of
    // the original is overwritten. The file is made that long at once, so
    // that what another program appends lands past what we write.
    if (trailer.newSize > 0 &&
        ::fallocate(fd.get(), 0, 0, static_cast<off_t>(trailer.newSize)) != 0 &&
        (errno == ENOSPC || errno == EDQUOT)) {
        fail(Action::Write, shown, errno);
    }
#endif
    // What was appended since our read (up to where the file was made
    // longer, which holds no line of anyone's). Later appends land past the
    // end of what we write, or past the file's end where that is further;
    // all of them go right after the new contents.
    std::string appended = bytesFrom(heldFd, before.size());
    std::uint64_t collected = before.size() + appended.size();
    if (trailer.newSize > before.size()) {
        const std::size_t grown =
            std::min(appended.size(), static_cast<std::size_t>(trailer.newSize - before.size()));
        std::size_t kept = grown;
        while (kept > 0 && appended[kept - 1] == '\0') {
            --kept;
        }
        appended.erase(kept, grown - kept);
    }
    err = writeLines(fd.get(), contents);
    if (err == 0 && options.hook) {
        options.hook(WriteStep::InPlaceWritten);
    }
    collected = std::max(collected, trailer.newSize);
    std::uint64_t end = trailer.newSize;
    for (int round = 0; err == 0 && round < 100; ++round) {
        const std::string more = bytesFrom(heldFd, collected);
        appended += more;
        collected += more.size();
        end = trailer.newSize + appended.size();
        err = writeAllAt(fd.get(), appended, trailer.newSize);
        struct stat now;
        if (err != 0 || ::fstat(fd.get(), &now) != 0 ||
            static_cast<std::uint64_t>(now.st_size) <= std::max(end, collected)) {
            break;
        }
    }
    // Cutting the file short could take a line that another program appends
    // at that moment: while one keeps it open to write, what is left over
    // becomes empty lines instead, which the next change drops.
    const bool padded = othersWriting && collected > end;
    if (err == 0 && padded) {
        err = writeAllAt(fd.get(), std::string(collected - end, '\n'), end);
    } else if (err == 0 && ::ftruncate(fd.get(), static_cast<off_t>(end)) != 0) {
        err = errno;
    }
    if (err == 0) {
        err = fsyncRetrying(fd.get());
    }
    if (err != 0) {
        if (restoreInPlace(fd.get(), before) != 0) {
            record->keep();
            fail(Action::Write, shown, err, record->path());
        }
        fail(Action::Write, shown, err);
    }
    // The new contents are on disk; an error from close can no longer mean
    // they are not.
    fd.close();
    record->removeNow();
    if ((padded || end != trailer.newSize) && options.keptAppended) {
        options.keptAppended();
    }
}

// After our new file took the hosts file's place: was the version it
// displaced still the one we checked? If another program changed it after
// our final check (appended to it, or put a new file in its place), its bytes
// go to `displaced`; and again if it changes once more before every program
// that had it open to write has let go of it (one that opened it just before
// the rename may write to it just after), which is waited for as long as
// options.wait. `displacedFd` is open on what was
// displaced, and is the only descriptor of ours on it.
void checkDisplaced(int displacedFd, const struct stat& checked, const FileStamp& expected,
                    const std::string& shown, const WriteOptions& options) {
    struct stat st;
    bool sameAsChecked = true;
    std::uint64_t seenSize = expected.size;
    std::int64_t seenModified = expected.modifiedNs;
    for (int look = 0; look < 2; ++look) {
        if (look == 1) {
            waitUntilNoOtherOpens(displacedFd, options.wait, true);
        }
        if (::fstat(displacedFd, &st) != 0) {
            return;
        }
        // Its change time moved with the rename; size and content time did not.
        const FileStamp now = stampOf(st);
        if (sameFile(st, checked) == sameAsChecked && now.size == seenSize &&
            now.modifiedNs == seenModified) {
            continue;
        }
        sameAsChecked = sameFile(st, checked);
        seenSize = now.size;
        seenModified = now.modifiedNs;
        try {
            const ByteBuffer bytes = readWhole(displacedFd, shown, Action::Write);
            if (options.displaced) {
                options.displaced(bytes.view());
            }
        } catch (const HostsError&) {
            return;  // our change is made; theirs cannot be read
        }
    }
}

}  // namespace

std::string GetSysDir() {
    return {};
}

std::string SystemHostsPath() {
#ifdef __APPLE__
    return "/private/etc/hosts";
#else
    return "/etc/hosts";
#endif
}

std::string DefaultRecoveryFolder() {
    return ::geteuid() == 0 ? "/var/lib/hushgate" : "";
}

bool FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void CreateNewFile(const std::string& path, std::string_view bytes) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        fail(Action::Write, path, errno);
    }
    int err = writeAll(fd.get(), bytes.data(), bytes.size());
    err = err != 0 ? err : fsyncRetrying(fd.get());
    err = err != 0 ? err : fd.close();
    if (err != 0) {
        ::unlink(path.c_str());
        fail(Action::Write, path, err);
    }
    syncDirectory(directoryOf(path));
}

bool AppendToFile(const std::string& path, std::string_view bytes) noexcept {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0 || writeAll(fd.get(), bytes.data(), bytes.size()) != 0) {
        return true;  // nothing more to be done
    }
    fsyncRetrying(fd.get());
    // A program that read the file before our bytes went in, to put its own
    // version in its place, is done with it once no one else has it open.
    waitUntilNoOtherOpens(fd.get());
    struct stat written, named;
    return ::fstat(fd.get(), &written) != 0 ||
           (::stat(path.c_str(), &named) == 0 && sameFile(written, named));
}

FileSnapshot ReadFileSnapshot(const std::string& path) {
    // Non-blocking, so that a FIFO put in the file's place cannot hang us.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        fail(Action::Read, path, errno);
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) {
        fail(Action::Read, path, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        failNotRegular(Action::Read, path, st);
    }
    FileSnapshot snapshot;
    snapshot.stamp = stampOf(st);
    snapshot.bytes = readWhole(fd.get(), path, Action::Read);
    return snapshot;
}

void ReplaceFileContents(const std::string& path, const FileStamp& expected,
                         std::optional<std::string_view> original, const LinesToWrite& contents,
                         const WriteOptions& options) {
    FileSizeLimitAsError sizeLimit;
    // Write through a symbolic link to the file it names, so the link stays.
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (!resolved) {
        fail(Action::Write, path, errno);
    }
    const std::string target = resolved.get();
    const std::string shown = target == path ? path : path + " (" + target + ")";
    const std::string dir = directoryOf(target);
    const WriterLock lock(target, shown, Action::Write, options);

    // Kept open: after the rename it tells whether someone wrote to it after
    // our final check.
    FileDescriptor held(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (held.get() < 0) {
        fail(Action::Write, shown, errno);
    }
    struct stat st;
    if (::fstat(held.get(), &st) != 0) {
        fail(Action::Write, shown, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        failNotRegular(Action::Write, shown, st);
    }
    // A program that has it open to write (appending, as `>>` does) is let
    // finish first. One that keeps at it goes on appending to the file in
    // place: a new file would take its later lines away from it.
    const bool othersWriting = !waitUntilNoOtherOpens(held.get(), options.wait, true);
    struct stat named;
    if (::fstat(held.get(), &st) != 0 || ::stat(target.c_str(), &named) != 0 ||
        !sameFile(st, named) ||
        (stampOf(st) != expected &&
         !(othersWriting && original && onlyAppendedTo(held.get(), st, expected, *original)))) {
        failChanged(shown);
    }
    // A file marked read-only is named as such (access() would only say
    // "not permitted"); one without write permission stays protected even
    // though its folder would let us replace it.
    refuseProtected(held.get(), dir, target, shown);
    if (::access(target.c_str(), W_OK) != 0) {
        fail(Action::Write, shown, errno);
    }

    bool hookCalled = false;
    // Every name of a hard-linked file must see the change: only in place.
    if (st.st_nlink <= 1 && !othersWriting) {
        OurFile temp(dir, StemOf(fileNameOf(target)), FileRole::New);
        if (!temp.created()) {
            const int err = temp.error();
            // A folder closed to us with the file itself writable: in place.
            if (err != EACCES && err != EPERM && err != EROFS) {
                fail(Action::Write, shown, err);
            }
        } else {
            if (int err = writeLines(temp.fd(), contents)) {
                fail(Action::Write, shown, err);
            }
            // Before the sync, so that owner, mode and attributes are as
            // durable as the bytes.
            if (copyMetadata(temp.fd(), held.get(), st)) {
                if (int err = fsyncRetrying(temp.fd())) {
                    fail(Action::Write, shown, err);
                }
                hookCalled = true;
                if (options.hook) {
                    options.hook(WriteStep::BeforeFinalCheck);
                }
                bool exchanged = false;
                int err = 0;
                {
                    // From the final check to the rename: nothing slow, no interrupt.
                    DeferInterrupts deferred;
                    if (::stat(target.c_str(), &named) != 0 || stampOf(named) != expected) {
                        failChanged(shown);
                    }
                    if (options.hook) {
                        options.hook(WriteStep::AfterFinalCheck);
                    }
#ifdef __linux__
                    // Swapping the names leaves the displaced file under our
                    // temporary name, whatever another program put there.
                    exchanged = ::renameat2(AT_FDCWD, temp.path().c_str(), AT_FDCWD, target.c_str(),
                                            RENAME_EXCHANGE) == 0;
                    err = exchanged ? 0 : errno;
                    if (err == EINVAL || err == ENOSYS || err == ENOTSUP) {
                        err = ::rename(temp.path().c_str(), target.c_str()) == 0 ? 0 : errno;
                    }
#else
                    err = ::rename(temp.path().c_str(), target.c_str()) == 0 ? 0 : errno;
#endif
                    if (err == 0 && !exchanged) {
                        temp.keep();
                    }
                }
                if (err == 0) {
                    // Our file is in place. Only one descriptor of ours stays
                    // open, on the version it displaced (which an exchange
                    // left under the temporary name, removed here).
                    FileDescriptor displaced(
                        exchanged ? ::open(temp.path().c_str(),
                                           O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK)
                                  : held.release());
                    held.close();
                    temp.removeNow();
                    syncDirectory(dir);
                    if (displaced.get() >= 0) {
                        checkDisplaced(displaced.get(), st, expected, shown, options);
                    }
                    return;
                }
                if (err != EBUSY && err != EXDEV) {
                    fail(Action::Write, shown, err);
                }
            }
            // Give its space back before the file itself is rewritten.
            temp.removeNow();
        }
    }
    if (!hookCalled && options.hook) {
        options.hook(WriteStep::BeforeFinalCheck);
    }
    rewriteInPlace(target, shown, held.get(), st, expected, original, contents, options,
                   othersWriting);
}

}  // namespace hushgate
