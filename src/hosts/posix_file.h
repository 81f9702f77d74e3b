#pragma once

// Small POSIX pieces shared by the hosts file's reading, writing and
// recovery code. Not for front ends.

#include <sys/stat.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "hosts_error.h"
#include "hosts_file.h"
#include "hosts_recovery.h"
#include "interrupt_guard.h"

namespace hushgate::detail {

using Action = HostsError::Action;
using Kind = HostsError::Kind;

Kind kindOf(int err);
[[noreturn]] void fail(Action action, const std::string& path, int err,
                       const std::string& backup = {});
[[noreturn]] void failChanged(const std::string& path);
[[noreturn]] void failNotRegular(Action action, const std::string& path, const struct stat& st);

FileStamp stampOf(const struct stat& st);
bool sameFile(const struct stat& a, const struct stat& b);

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    // Closes now and reports the error, which for a written file can be the
    // first sign of a failed write.
    int close();

private:
    int fd_;
};

std::string directoryOf(const std::string& path);
std::string fileNameOf(const std::string& path);

// These return 0 or the errno of the failure. A write that makes no
// progress is reported as a full disk.
int writeAll(int fd, const char* data, std::size_t size);
// `bytes` at `offset`, the file position left as it was.
int writeAllAt(int fd, std::string_view bytes, std::uint64_t offset);
// The contents made from `original`, gathered into few large writes.
int writeContents(int fd, const NewContents& contents, const ReadAt& original);
int fsyncRetrying(int fd);
// flock(), waiting through signals.
int lockFile(int fd, int operation);

// True when the file open at `fd` (described by `st`) is the version read,
// whose bytes have `digest`, with bytes added at its end since: what a
// program appending to it (as `>>` does) leaves.
bool onlyAppendedTo(int fd, const struct stat& st, const FileStamp& expected,
                    std::optional<std::uint64_t> digest);
// The digest of the first `size` bytes of the file open at `fd`; nothing
// when it is shorter or cannot be read.
std::optional<std::uint64_t> digestOfStart(int fd, std::uint64_t size);
// Reads the first `size` bytes of the file open at `fd`: the version whose
// stamp was checked, whatever was appended since. Throws HostsError.
ReadAt readerOf(int fd, std::uint64_t size, const std::string& shownPath, Action action);
// The bytes of the file open at `fd` from `from` to its end.
std::string bytesFrom(int fd, std::uint64_t from);

// Makes a rename or a new file in `dir` durable. Failures are ignored: some
// file systems cannot sync a directory, and the data is already written.
void syncDirectory(const std::string& dir);

// The whole file open at `fd`, read from its start to its end (which may lie
// beyond the size it had when we looked). Throws HostsError.
ByteBuffer readWhole(int fd, const std::string& shownPath, Action action);

// Used where the file open at `heldFd` (described by `original`) cannot be
// replaced by a new one: rewrites it in place, guarded by a recovery record.
// False when the contents leave it as it is. With `announce`, calls the
// hook's BeforeFinalCheck once the new contents are known to differ.
bool rewriteInPlace(const std::string& target, const std::string& shown, int heldFd,
                    const struct stat& original, const FileStamp& expected,
                    std::optional<std::uint64_t> originalDigest, const NewContents& contents,
                    const WriteOptions& options, bool othersWriting, bool announce);

// Gives the new file at `fd` what the original (open at `originalFd`) has
// besides its bytes: owner, permission bits and every extended attribute
// (ACL, security label, user attributes), and nothing more. Returns false
// when any of it cannot be given; the caller then rewrites the original in
// place instead.
bool copyMetadata(int fd, int originalFd, const struct stat& original);

// Refuses what no safe write can handle: a file marked append-only or
// immutable, and a folder marked append-only (a new file could be put there
// but never removed again). `shown` names the file in the error, `target`
// (the file a link points to) the file that is marked.
void refuseProtected(int fd, const std::string& dir, const std::string& target,
                     const std::string& shown);
// True when `dir` is marked append-only: a file put there stays for good.
bool appendOnlyFolder(const std::string& dir);

// Gives `fd`, a file holding a copy of the file described by `like`, no more
// access than that file: its group, its read bits, no ACL of its own.
void restrictLike(int fd, const struct stat& like);

// A new file of ours named NamePrefix(stem, role) + six random characters in
// `folder`, locked for as long as we hold it and removed at scope exit (or
// on an interrupt) unless kept. A run that finds such a file unlocked knows
// its maker is gone.
class OurFile {
public:
    OurFile(const std::string& folder, const std::string& stem, FileRole role);
    ~OurFile() { removeNow(); }
    OurFile(const OurFile&) = delete;
    OurFile& operator=(const OurFile&) = delete;

    // False when creating failed; error() tells why.
    bool created() const { return fd_.get() >= 0; }
    int error() const { return error_; }
    int fd() const { return fd_.get(); }
    const std::string& path() const { return path_; }
    // The name is no longer ours to remove (renamed away, or to be kept).
    void keep();
    // Removes the name, then lets go of the file and its lock.
    void removeNow();

private:
    std::string path_;
    FileDescriptor fd_;
    int error_ = 0;
    bool remove_ = false;
    std::unique_ptr<RemoveOnInterrupt> onInterrupt_;
};

// A time `wait` after it is first asked about: a retry loop asks only after
// a try failed, so a run that never has to wait never reads the clock (whose
// pages a short run would otherwise map for nothing).
class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds wait) : wait_(wait) {}
    bool passed() {
        const auto now = std::chrono::steady_clock::now();
        if (!at_) {
            at_ = now + wait_;
        }
        return now >= *at_;
    }

private:
    std::chrono::milliseconds wait_;
    std::optional<std::chrono::steady_clock::time_point> at_;
};

// Waits at most `wait` until no other process has the file open at `fd`
// (when `writersOnly`, open to write), so that a program that opened it to
// write has finished. Returns false when one still has it open at the end.
// Where that cannot be told (not Linux, a file system without leases, a file
// we do not own without CAP_LEASE) it returns true at once.
bool waitUntilNoOtherOpens(int fd, std::chrono::milliseconds wait = std::chrono::milliseconds(100),
                           bool writersOnly = false);

// Removes `path` unless a running process holds its lock. Never throws.
void removeIfUnlocked(const std::string& path);

// True when `folder` (created first, mode 0700, when `create`) is there for
// our records and locks; false when it is missing or cannot be made. Throws
// HostsError for `action` on `shown` when it is there but not a folder of
// ours (root's, for root) with mode 0700: a symbolic link, another owner or
// other permissions would let someone else plant or remove what we keep there.
bool StateFolderUsable(const std::string& folder, bool create, const std::string& shown,
                       Action action = Action::Write);

// While alive, this process is the one run of ours that reads or writes
// `target` (nested takes in one thread are free), and job control waits. The
// lock file is the system file's in the state folder, any other's beside it
// (one per user); where none can be made, there is no lock. Waits at most
// `options.wait` for another run, then throws HostsError (Kind::HeldByOther).
class WriterLock {
public:
    WriterLock(const std::string& target, const std::string& shown, Action action,
               const WriteOptions& options);
    ~WriterLock();
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    bool held() const { return fd_.get() >= 0; }

private:
    DeferInterrupts jobControl_;
    std::string path_;
    FileDescriptor fd_;
    std::unique_ptr<RemoveOnInterrupt> onInterrupt_;
};

}  // namespace hushgate::detail
