#include "posix_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

#ifdef __linux__
#include <sys/xattr.h>
#endif

#include "buffered_io.h"
#include "hosts_recovery.h"

namespace hushgate::detail {

namespace {

// Gathers pieces into one writev() each time they are released, and on
// Linux starts writing each slice out to disk while the next is being
// written, so that the final fsync of a large file has little left to wait for.
class GatheringWriter : public PieceSink {
public:
    // The pieces are kept on the heap: 16 KiB on the stack would push the
    // pass that fills them onto stack pages a short run never needs.
    explicit GatheringWriter(int fd)
        : fd_(fd), pieces_(std::make_unique_for_overwrite<iovec[]>(kMaxPieces)) {}

    int put(std::string_view piece) override {
        if (count_ == kMaxPieces) {
            if (int err = release()) {
                return err;
            }
        }
        if (!piece.empty()) {
            pieces_[count_++] = {const_cast<char*>(piece.data()), piece.size()};
        }
        return 0;
    }

    int release() override {
        iovec* next = pieces_.get();
        int left = std::exchange(count_, 0);
        while (left > 0) {
            const ssize_t n = ::writev(fd_, next, left);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return n < 0 ? errno : ENOSPC;
            }
            pending_ += static_cast<std::size_t>(n);
            for (auto done = static_cast<std::size_t>(n); done > 0;) {
                const std::size_t step = std::min(done, next->iov_len);
                next->iov_base = static_cast<char*>(next->iov_base) + step;
                next->iov_len -= step;
                done -= step;
                if (next->iov_len == 0) {
                    ++next;
                    --left;
                }
            }
        }
        if (pending_ >= kSlice) {
#ifdef __linux__
            ::sync_file_range(fd_, static_cast<off_t>(written_), static_cast<off_t>(pending_),
                              SYNC_FILE_RANGE_WRITE);
#endif
            written_ += pending_;
            pending_ = 0;
        }
        return 0;
    }

private:
    static constexpr std::size_t kSlice = std::size_t{8} << 20;
    static constexpr int kMaxPieces = 1024;  // IOV_MAX on Linux and macOS
    int fd_;
    std::unique_ptr<iovec[]> pieces_;
    int count_ = 0;
    std::uint64_t written_ = 0;
    std::size_t pending_ = 0;
};

}  // namespace

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
        case ENOMEM:
            return Kind::OutOfMemory;
        default:
            return Kind::Other;
    }
}

void fail(Action action, const std::string& path, int err, const std::string& backup) {
    throw HostsError(action, kindOf(err), path, err, std::strerror(err), backup);
}

void failChanged(const std::string& path) {
    throw HostsError(Action::Write, Kind::ChangedByOther, path, 0,
                     "the file was changed by another program while it was being updated", {});
}

void failNotRegular(Action action, const std::string& path, const struct stat& st) {
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

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int FileDescriptor::close() {
    int err = 0;
    if (fd_ >= 0 && ::close(fd_) != 0) {
        err = errno;
    }
    fd_ = -1;
    return err;
}

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

int writeAllAt(int fd, std::string_view bytes, std::uint64_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : ENOSPC;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return 0;
}

std::optional<std::uint64_t> digestOfStart(int fd, std::uint64_t size) {
    try {
        const Measured start = MeasureOf(readerOf(fd, size, {}, Action::Write));
        return start.size == size ? std::optional(start.digest) : std::nullopt;
    } catch (const HostsError&) {
        return std::nullopt;
    }
}

bool onlyAppendedTo(int fd, const struct stat& st, const FileStamp& expected,
                    std::optional<std::uint64_t> digest) {
    const FileStamp now = stampOf(st);
    return digest && now.device == expected.device && now.inode == expected.inode &&
           now.size >= expected.size && digestOfStart(fd, expected.size) == digest;
}

ReadAt readerOf(int fd, std::uint64_t size, const std::string& shownPath, Action action) {
    return [fd, size, shownPath, action](std::uint64_t at, char* data,
                                         std::size_t room) -> std::size_t {
        if (at >= size) {
            return 0;
        }
        room = static_cast<std::size_t>(std::min<std::uint64_t>(room, size - at));
        for (;;) {
            const ssize_t n = ::pread(fd, data, room, static_cast<off_t>(at));
            if (n >= 0) {
                return static_cast<std::size_t>(n);
            }
            if (errno != EINTR) {
                fail(action, shownPath, errno);
            }
        }
    };
}

std::string bytesFrom(int fd, std::uint64_t from) {
    std::string bytes;
    char buffer[65536];
    for (off_t at = static_cast<off_t>(from);;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
}

int writeContents(int fd, const NewContents& contents, const ReadAt& original) {
    GatheringWriter out(fd);
    const int err = contents.produce(original, out);
    return err != 0 ? err : out.release();
}

int fsyncRetrying(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

int lockFile(int fd, int operation) {
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

void syncDirectory(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

ByteBuffer readWhole(int fd, const std::string& shownPath, Action action) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        fail(action, shownPath, errno);
    }
    // No limit: a file that grew while it was read is read to its new end.
    return ReadToEnd(static_cast<std::uint64_t>(st.st_size), shownPath, action,
                     readerOf(fd, UINT64_MAX, shownPath, action));
}

OurFile::OurFile(const std::string& folder, const std::string& stem, FileRole role) {
    const std::string pattern = folder + "/" + NamePrefix(stem, role) + "XXXXXX";
    // A run that tidies up may find the new file before it is locked, and
    // remove it; then make another.
    for (int attempt = 0; attempt < 10; ++attempt) {
        path_ = pattern;
        FileDescriptor fd(::mkostemp(path_.data(), O_CLOEXEC));
        if (fd.get() < 0) {
            error_ = errno;
            return;
        }
        onInterrupt_ = std::make_unique<RemoveOnInterrupt>(path_);
        // Where the file system has no locks, go on without.
        struct stat opened, named;
        const bool locked = lockFile(fd.get(), LOCK_EX) == 0;
        if (!locked || (::fstat(fd.get(), &opened) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
                        sameFile(opened, named))) {
            fd_.reset(fd.release());
            remove_ = true;
            error_ = 0;
            return;
        }
        onInterrupt_.reset();
    }
    error_ = EEXIST;
}

void OurFile::keep() {
    remove_ = false;
    onInterrupt_.reset();
}

void OurFile::removeNow() {
    if (std::exchange(remove_, false)) {
        ::unlink(path_.c_str());
    }
    onInterrupt_.reset();
    fd_.close();
}

bool waitUntilNoOtherOpens(int fd, std::chrono::milliseconds wait, bool writersOnly) {
#ifdef __linux__
    // A write lease is granted only while no one else has the file open, a
    // read lease while no one has it open to write. It is let go at once;
    // should someone open the file in that instant, the kernel's notice
    // comes as SIGURG, which is ignored unless handled.
    if (::fcntl(fd, F_SETSIG, SIGURG) != 0) {
        return true;
    }
    Deadline deadline(wait);
    for (;;) {
        if (::fcntl(fd, F_SETLEASE, writersOnly ? F_RDLCK : F_WRLCK) == 0) {
            ::fcntl(fd, F_SETLEASE, F_UNLCK);
            return true;
        }
        if (errno != EAGAIN) {
            return true;
        }
        if (deadline.passed()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
#else
    (void)fd;
    (void)wait;
    (void)writersOnly;
    return true;
#endif
}

void removeIfUnlocked(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat opened, named;
    if (fd.get() >= 0 && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 &&
        ::fstat(fd.get(), &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
        sameFile(opened, named)) {
        ::unlink(path.c_str());
    }
}

}  // namespace hushgate::detail
