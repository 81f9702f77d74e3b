// The rewrite in place, for a hosts file that cannot be replaced by a new
// one: guarded by a recovery record, undone at once when it fails.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "buffered_io.h"
#include "posix_file.h"

namespace hushgate::detail {

namespace {

// Writes what `read` gives from offset `copied` (0 when called) on to `fd`
// at the same offsets, adding it to `digest`, through a buffer of fixed
// size. Returns 0 or errno; `copied` says how far it got. Throws HostsError
// when a read fails.
int copyInto(int fd, const ReadAt& read, std::uint64_t& copied, Digest* digest = nullptr) {
    const std::unique_ptr<char[]> buffer(new char[kWriteBufferSize]);
    while (const std::size_t n = read(copied, buffer.get(), kWriteBufferSize)) {
        const std::string_view bytes(buffer.get(), n);
        if (digest != nullptr) {
            digest->update(bytes);
        }
        if (const int err = writeAllAt(fd, bytes, copied)) {
            return err;
        }
        copied += n;
    }
    return 0;
}

// Runs `write`, which reads the original back from its record: a failed
// read, or memory that runs out, is an error of the write. Returns 0 or errno.
template <class Write>
int readingBack(Write write) {
    try {
        return write();
    } catch (const HostsError& error) {
        return error.osError() != 0 ? error.osError() : EIO;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
}

// Puts the original, of `size` bytes, back into the open file from its
// record, followed by what others appended meanwhile. Returns 0 or errno.
int restoreInPlace(int fd, const ReadAt& original, std::uint64_t size, std::string_view appended) {
    std::uint64_t copied = 0;
    int err = readingBack([&] { return copyInto(fd, original, copied); });
    err = err != 0 ? err : copied != size ? EIO : writeAllAt(fd, appended, size);
    if (err == 0 && ::ftruncate(fd, static_cast<off_t>(size + appended.size())) != 0) {
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

}  // namespace

// Used where the file cannot be replaced by a new one: a bind mount (EBUSY),
// a file on another device than its folder's entry (EXDEV), a hard link, a
// folder that takes no new file, an owner, ACL or label we cannot give a
// new file, or another program that keeps the file open to append to it. A
// record of the original and of the write is on disk before the first byte
// changes, so that a later read can undo an interrupted rewrite; a failure
// we see is undone at once. Bytes another program appends meanwhile (it
// writes at the end, wherever that is) are kept after the new contents.
bool rewriteInPlace(const std::string& target, const std::string& shown, int heldFd,
                    const struct stat& original, const FileStamp& expected,
                    std::optional<std::uint64_t> originalDigest, const NewContents& contents,
                    const WriteOptions& options, bool othersWriting, bool announce) {
    if (contents.leavesAsIs(readerOf(heldFd, expected.size, shown, Action::Write))) {
        return false;
    }
    if (announce && options.hook) {
        options.hook(WriteStep::BeforeFinalCheck);
    }
    // The original is overwritten as the new contents are written: they are
    // made from its copy in the record, read back as they go, so that no
    // copy of a large file is ever held in memory. They are measured from
    // that copy too, so that the record describes exactly what is written.
    std::unique_ptr<OurFile> record = createRecord(target, shown, options);
    restrictLike(record->fd(), original);
    Digest copied;
    std::uint64_t before = 0;
    int err = copyInto(record->fd(), readerOf(heldFd, expected.size, shown, Action::Write), before,
                       &copied);
    if (err != 0) {
        fail(Action::Write, shown, err);
    }
    const ReadAt originalCopy = readerOf(record->fd(), before, shown, Action::Write);
    std::optional<RecordTrailer> made = RecordTrailer::ForRewrite(originalCopy, contents);
    if (!made) {
        failChanged(shown);  // what was looked at first needed a change
    }
    RecordTrailer& trailer = *made;
    trailer.originalSize = before;
    trailer.originalDigest = copied.value();
    trailer.device = static_cast<std::uint64_t>(original.st_dev);
    trailer.inode = static_cast<std::uint64_t>(original.st_ino);
    trailer.verb = options.verb;
    const std::string footer = trailer.encode();
    err = writeAllAt(record->fd(), footer, trailer.originalSize);
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
    // The record must hold the version read. A program that keeps the file
    // open to append goes on; any other change means starting again from a
    // fresh read.
    if (trailer.originalSize != expected.size ||
        (stampOf(st) != expected && !(othersWriting && originalDigest == trailer.originalDigest &&
                                      onlyAppendedTo(heldFd, st, expected, originalDigest)))) {
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
        const int full = errno;
        // It may have made the file longer all the same; with no one else
        // writing, only we did.
        struct stat now;
        const bool grown =
            !othersWriting && ::fstat(fd.get(), &now) == 0 && now.st_size > st.st_size;
        [[maybe_unused]] const int cut = grown ? ::ftruncate(fd.get(), st.st_size) : 0;
        fail(Action::Write, shown, full);  // the cause, whether the cut worked or not
    }
#endif
    std::string appended;  // by others, since our read
    std::uint64_t end = trailer.newSize;
    bool padded = false;
    const auto rewrite = [&]() -> int {
        // What was appended since our read (up to where the file was made
        // longer, which holds no line of anyone's). Later appends land past the
        // end of what we write, or past the file's end where that is further;
        // all of them go right after the new contents.
        appended = bytesFrom(heldFd, before);
        std::uint64_t collected = before + appended.size();
        if (trailer.newSize > before) {
            const std::size_t grown =
                std::min(appended.size(), static_cast<std::size_t>(trailer.newSize - before));
            std::size_t kept = grown;
            while (kept > 0 && appended[kept - 1] == '\0') {
                --kept;
            }
            appended.erase(kept, grown - kept);
        }
        int err = readingBack([&] { return writeContents(fd.get(), contents, originalCopy); });
        // What is now in the file must be what the record says will be there.
        if (err == 0 && digestOfStart(heldFd, trailer.newSize) != trailer.newDigest) {
            err = EIO;
        }
        if (err == 0 && options.hook) {
            options.hook(WriteStep::InPlaceWritten);
        }
        collected = std::max(collected, trailer.newSize);
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
        padded = othersWriting && collected > end;
        if (err == 0 && padded) {
            err = writeAllAt(fd.get(), std::string(collected - end, '\n'), end);
        } else if (err == 0 && ::ftruncate(fd.get(), static_cast<off_t>(end)) != 0) {
            err = errno;
        }
        return err == 0 ? fsyncRetrying(fd.get()) : err;
    };
    try {
        err = rewrite();
    } catch (...) {
        // Out of memory part way, say: put the original back as for an error.
        if (restoreInPlace(fd.get(), originalCopy, before, appended) != 0) {
            record->keep();
        }
        throw;
    }
    if (err != 0) {
        if (restoreInPlace(fd.get(), originalCopy, before, appended) != 0) {
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
    return true;
}

}  // namespace hushgate::detail
