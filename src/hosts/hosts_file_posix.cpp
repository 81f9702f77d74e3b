#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "buffered_io.h"
#include "posix_file.h"

namespace hushgate {

namespace {

using namespace detail;

// After our new file took the hosts file's place: was the version it
// displaced still the one we checked? If another program changed it after
// our final check (appended to it, or put a new file in its place), its bytes
// go to `displaced`; and again if it changes once more before every program
// that had it open to write has let go of it (one that opened it just before
// the rename may write to it just after), which is waited for as long as
// options.wait. `displacedFd` is open on what was displaced, and is the only
// descriptor of ours on it; `oursFd` on our new file, of `oursSize` bytes.
void checkDisplaced(int displacedFd, const struct stat& checked, const FileStamp& expected,
                    const std::string& shown, const WriteOptions& options, int oursFd,
                    std::uint64_t oursSize) {
    struct stat st;
    bool sameAsChecked = true;
    std::uint64_t seenSize = expected.size;
    std::int64_t seenModified = expected.modifiedNs;
    std::optional<ByteBuffer> ours;  // read once, when first needed
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
            if (!ours) {
                ours = ReadToEnd(oursSize, shown, Action::Write,
                                 readerOf(oursFd, oursSize, shown, Action::Write));
            }
            if (options.displaced) {
                options.displaced(bytes.view(), ours->view());
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

OpenedFile::OpenedFile(const std::string& path) : path_(path) {
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
    stamp_ = stampOf(st);
    handle_ = fd.release();
}

OpenedFile::~OpenedFile() {
    FileDescriptor(static_cast<int>(handle_)).close();
}

ReadAt OpenedFile::reader() const {
    return readerOf(static_cast<int>(handle_), stamp_.size, path_, Action::Read);
}

bool ReplaceFileContents(const std::string& path, const FileStamp& expected,
                         const NewContents& contents, const WriteOptions& options) {
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
    // place: a new file would take its later lines away from it. What it
    // appends meanwhile is told from the version read by that version's
    // digest, taken first.
    std::optional<std::uint64_t> originalDigest;
    bool othersWriting = false;
    if (!waitUntilNoOtherOpens(held.get(), std::chrono::milliseconds(0), true)) {
        if (stampOf(st) == expected) {
            originalDigest = digestOfStart(held.get(), expected.size);
        }
        othersWriting = !waitUntilNoOtherOpens(held.get(), options.wait, true);
    }
    struct stat named;
    if (::fstat(held.get(), &st) != 0 || ::stat(target.c_str(), &named) != 0 ||
        !sameFile(st, named) ||
        (stampOf(st) != expected &&
         !(othersWriting && onlyAppendedTo(held.get(), st, expected, originalDigest)))) {
        failChanged(shown);
    }
    // A file marked read-only is named as such (access() would only say
    // "not permitted"); one without write permission stays protected even
    // though its folder would let us replace it. Refusals are for changes:
    // one that turns out not to be needed is not refused.
    try {
        refuseProtected(held.get(), dir, target, shown);
        if (::access(target.c_str(), W_OK) != 0) {
            fail(Action::Write, shown, errno);
        }
    } catch (const HostsError&) {
        if (contents.leavesAsIs(readerOf(held.get(), expected.size, shown, Action::Write))) {
            return false;
        }
        throw;
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
            // Made from the file as it is: the version read, as its stamp shows.
            const ReadAt original = readerOf(held.get(), expected.size, shown, Action::Write);
            struct stat written;
            if (int err = writeContents(temp.fd(), contents, original)) {
                if (err == NewContents::kLeaveAsIs) {
                    return false;
                }
                fail(Action::Write, shown, err);
            }
            if (::fstat(temp.fd(), &written) != 0) {
                fail(Action::Write, shown, errno);
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
                    // Read back should another program's version be displaced;
                    // its lock is of no use any more.
                    ::flock(temp.fd(), LOCK_UN);
                    const FileDescriptor ours(::dup(temp.fd()));
                    temp.removeNow();
                    syncDirectory(dir);
                    if (displaced.get() >= 0) {
                        checkDisplaced(displaced.get(), st, expected, shown, options, ours.get(),
                                       static_cast<std::uint64_t>(written.st_size));
                    }
                    return true;
                }
                if (err != EBUSY && err != EXDEV) {
                    fail(Action::Write, shown, err);
                }
            }
            // Give its space back before the file itself is rewritten.
            temp.removeNow();
        }
    }
    return rewriteInPlace(target, shown, held.get(), st, expected, originalDigest, contents,
                          options, othersWriting, !hookCalled);
}

}  // namespace hushgate
