#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "hosts_error.h"
#include "hosts_file.h"

#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace hushgate {

namespace {

using Action = HostsError::Action;
using Kind = HostsError::Kind;

constexpr std::size_t kWriteBufferSize = 1 << 20;

Kind kindOf(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return Kind::NotFound;
        case EACCES:
        case EPERM:
            return Kind::PermissionDenied;
        case EROFS:
            return Kind::ReadOnlyFileSystem;
        case ENOSPC:
        case EDQUOT:
            return Kind::DiskFull;
        default:
            return Kind::Other;
    }
}

[[noreturn]] void fail(Action action, const std::string& path, int err,
                       const std::string& backup = {}) {
    throw HostsError(action, kindOf(err), path, err, std::strerror(err), backup);
}

[[noreturn]] void failChanged(const std::string& path) {
    throw HostsError(Action::Write, Kind::ChangedByOther, path, 0,
                     "the file was changed by another program while it was being updated",
                     {});
}

[[noreturn]] void failNotRegular(Action action, const std::string& path, const struct stat& st) {
    if (S_ISDIR(st.st_mode)) {
        fail(action, path, EISDIR);
    }
    throw HostsError(action, Kind::Other, path, EINVAL, "not an ordinary file", {});
}

FileStamp stampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
#ifdef __APPLE__
    stamp.modifiedNs = st.st_mtimespec.tv_sec * 1000000000LL + st.st_mtimespec.tv_nsec;
    stamp.changedNs = st.st_ctimespec.tv_sec * 1000000000LL + st.st_ctimespec.tv_nsec;
#else
    stamp.modifiedNs = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    stamp.changedNs = st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec;
#endif
    return stamp;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and reports the error, which for a written file can be the
    // first sign of a failed write.
    int close() {
        int err = 0;
        if (fd_ >= 0 && ::close(fd_) != 0) {
            err = errno;
        }
        fd_ = -1;
        return err;
    }
    void reset() { close(); }

private:
    int fd_;
};

std::string directoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new file with a unique name beside `target`, removed again when this goes
// out of scope unless kept. Its name exists before the file does, so nothing
// that can fail stands between creating the file and guarding it.
class SiblingFile {
public:
    SiblingFile(const std::string& target, const char* suffix)
        : path_(directoryOf(target) + "/." + fileNameOf(target) + suffix + "XXXXXX"),
          fd_(::mkostemp(path_.data(), O_CLOEXEC)),
          remove_(fd_.get() >= 0) {}
    ~SiblingFile() {
        fd_.reset();
        if (remove_) {
            ::unlink(path_.c_str());
        }
    }
    SiblingFile(const SiblingFile&) = delete;
    SiblingFile& operator=(const SiblingFile&) = delete;

    // False when creating failed; errno then tells why.
    bool created() const { return fd_.get() >= 0 || remove_; }
    int fd() const { return fd_.get(); }
    int close() { return fd_.close(); }
    const std::string& path() const { return path_; }
    void keep() { remove_ = false; }
    void removeNow() {
        fd_.reset();
        if (std::exchange(remove_, false)) {
            ::unlink(path_.c_str());
        }
    }

private:
    std::string path_;
    FileDescriptor fd_;
    bool remove_;
};

// Returns 0 or the errno of the failure. A write that makes no progress is
// reported as a full disk.
int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return ENOSPC;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Writes in slices and, on Linux, starts writing each slice out to disk
// while the next is being written, so that the final fsync of a large file
// has little left to wait for.
class SlicedWriter {
public:
    explicit SlicedWriter(int fd) : fd_(fd) {}

    int write(const char* data, std::size_t size) {
        while (size > 0) {
            const std::size_t slice = std::min(size, kSlice - pending_);
            if (int err = writeAll(fd_, data, slice)) {
                return err;
            }
            data += slice;
            size -= slice;
            pending_ += slice;
            if (pending_ == kSlice) {
#ifdef __linux__
                ::sync_file_range(fd_, static_cast<off_t>(written_), static_cast<off_t>(pending_),
                                  SYNC_FILE_RANGE_WRITE);
#endif
                written_ += pending_;
                pending_ = 0;
            }
        }
        return 0;
    }

private:
    static constexpr std::size_t kSlice = std::size_t{8} << 20;
    int fd_;
    std::uint64_t written_ = 0;
    std::size_t pending_ = 0;
};

int writeLines(int fd, const LinesToWrite& contents) {
    std::unique_ptr<char[]> buffer(new char[kWriteBufferSize]);
    std::size_t used = 0;
    SlicedWriter out(fd);
    auto flush = [&]() {
        int err = out.write(buffer.get(), used);
        used = 0;
        return err;
    };
    auto put = [&](std::string_view piece) {
        if (piece.size() > kWriteBufferSize - used) {
            if (int err = flush()) {
                return err;
            }
            if (piece.size() >= kWriteBufferSize) {
                return out.write(piece.data(), piece.size());
            }
        }
        std::memcpy(buffer.get() + used, piece.data(), piece.size());
        used += piece.size();
        return 0;
    };
    if (int err = contents.forEachPiece(put)) {
        return err;
    }
    return flush();
}

int fsyncRetrying(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

// Makes a rename or a new file in `dir` durable. Failures are ignored: some
// file systems cannot sync a directory, and the data is already written.
void syncDirectory(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Gives the temporary file what the original has besides its bytes. Returns
// false when that is not possible (e.g. we may not give the file away to its
// owner), in which case the caller rewrites the original in place instead.
bool copyMetadata(int fd, const std::string& target, const struct stat& original) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        return false;
    }
    if ((st.st_uid != original.st_uid || st.st_gid != original.st_gid) &&
        ::fchown(fd, original.st_uid, original.st_gid) != 0) {
        return false;
    }
    // After fchown, which may clear set-id bits.
    if (::fchmod(fd, original.st_mode & 07777) != 0) {
        return false;
    }
#ifdef __linux__
    // A file system without labels is fine; a label we cannot read or copy
    // is not, since the new file would get the folder's label instead.
    constexpr const char* kSelinuxAttribute = "security.selinux";
    const ssize_t size = ::getxattr(target.c_str(), kSelinuxAttribute, nullptr, 0);
    if (size < 0) {
        return errno == ENODATA || errno == ENOTSUP;
    }
    std::string label(static_cast<std::size_t>(size), '\0');
    const ssize_t read = ::getxattr(target.c_str(), kSelinuxAttribute, label.data(), label.size());
    if (read < 0 || ::fsetxattr(fd, kSelinuxAttribute, label.data(), static_cast<std::size_t>(read), 0) != 0) {
        return false;
    }
#else
    (void)target;
#endif
    return true;
}

// Writes `bytes` into `backup` and makes it durable.
void saveBackup(SiblingFile& backup, const std::string& target, std::string_view bytes,
                const std::string& shownPath) {
    if (!backup.created()) {
        fail(Action::Write, shownPath, errno);
    }
    int err = writeAll(backup.fd(), bytes.data(), bytes.size());
    if (err == 0) {
        err = fsyncRetrying(backup.fd());
    }
    if (err == 0) {
        err = backup.close();
    }
    if (err != 0) {
        fail(Action::Write, shownPath, err);
    }
    syncDirectory(directoryOf(target));
}

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

// Used where the file cannot be replaced by a rename: a bind mount (EBUSY),
// a file on another device than its folder's entry (EXDEV), or an owner or
// security label we cannot give a new file. The original is saved beside it first, so that a
// failed write can always be undone or recovered by hand.
void rewriteInPlace(const std::string& target, const std::string& shownPath,
                    const FileStamp& expected, std::string_view original,
                    const LinesToWrite& contents) {
    SiblingFile backup(target, ".hushgate-original-");
    saveBackup(backup, target, original, shownPath);

    FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        fail(Action::Write, shownPath, errno);
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) {
        fail(Action::Write, shownPath, errno);
    }
    if (stampOf(st) != expected) {
        failChanged(shownPath);
    }

    const std::uint64_t newSize = contents.byteCount();
#ifdef __linux__
    // Reserve the space first: a full disk is then found before one byte of
    // the original is overwritten.
    if (newSize > 0 && ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(newSize)) != 0 &&
        (errno == ENOSPC || errno == EDQUOT)) {
        fail(Action::Write, shownPath, errno);
    }
#endif

    int err = writeLines(fd.get(), contents);
    if (err == 0 && ::ftruncate(fd.get(), static_cast<off_t>(newSize)) != 0) {
        err = errno;
    }
    if (err == 0) {
        err = fsyncRetrying(fd.get());
    }
    if (err != 0) {
        if (restoreInPlace(fd.get(), original) != 0) {
            backup.keep();
            fail(Action::Write, shownPath, err, backup.path());
        }
        fail(Action::Write, shownPath, err);
    }
    // The new contents are on disk; an error from close can no longer mean
    // they are not.
    fd.close();
}

}  // namespace

std::string GetSysDir() { return {}; }

std::string SystemHostsPath() {
#ifdef __APPLE__
    return "/private/etc/hosts";
#else
    return "/etc/hosts";
#endif
}

bool FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
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
    // Read to the end rather than trusting the size: the file may grow.
    std::size_t used = 0;
    snapshot.bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    for (;;) {
        if (used == snapshot.bytes.size()) {
            snapshot.bytes.resize(snapshot.bytes.size() * 2);
        }
        ssize_t n = ::read(fd.get(), snapshot.bytes.data() + used, snapshot.bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(Action::Read, path, errno);
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    snapshot.bytes.resize(used);
    return snapshot;
}

void ReplaceFileContents(const std::string& path, const FileStamp& expected,
                         std::string_view original, const LinesToWrite& contents,
                         const std::function<void()>& beforeCommit) {
    // Write through a symbolic link to the file it names, so the link stays.
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (!resolved) {
        fail(Action::Write, path, errno);
    }
    const std::string target = resolved.get();
    const std::string shown = target == path ? path : path + " (" + target + ")";

    struct stat st;
    if (::stat(target.c_str(), &st) != 0) {
        fail(Action::Write, shown, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        failNotRegular(Action::Write, shown, st);
    }
    if (stampOf(st) != expected) {
        failChanged(shown);
    }
    // A file without write permission stays protected even though its folder
    // would let us replace it.
    if (::access(target.c_str(), W_OK) != 0) {
        fail(Action::Write, shown, errno);
    }

    SiblingFile temp(target, ".hushgate-");
    if (!temp.created()) {
        fail(Action::Write, shown, errno);
    }
    int err = writeLines(temp.fd(), contents);
    if (err != 0) {
        fail(Action::Write, shown, err);
    }
    // Before the sync, so that owner, mode and label are as durable as the bytes.
    const bool metadataKept = copyMetadata(temp.fd(), target, st);
    err = fsyncRetrying(temp.fd());
    if (err == 0) {
        err = temp.close();
    }
    if (err != 0) {
        fail(Action::Write, shown, err);
    }

    if (beforeCommit) {
        beforeCommit();
    }
    if (::stat(target.c_str(), &st) != 0 || stampOf(st) != expected) {
        failChanged(shown);
    }

    if (metadataKept) {
        if (::rename(temp.path().c_str(), target.c_str()) == 0) {
            temp.keep();
            syncDirectory(directoryOf(target));
            return;
        }
        err = errno;
        if (err != EBUSY && err != EXDEV) {
            fail(Action::Write, shown, err);
        }
    }
    // Give its space back before the file itself is rewritten.
    temp.removeNow();
    rewriteInPlace(target, shown, expected, original, contents);
}

}  // namespace hushgate
