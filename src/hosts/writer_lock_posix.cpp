// Our writers of one file take turns through a lock file that only they can
// open: the file itself and its records can be opened (and locked) by anyone
// who may read them, and a lock another user holds must never stop us.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "posix_file.h"

namespace hushgate::detail {

namespace {

// The target whose lock this thread holds, so that the undoing of a record
// (which writes) goes on under the lock the read took.
thread_local std::string tHeldFor;

// The process that holds a lock on the file `st` describes, from the
// kernel's table of locks; 0 when it cannot be told.
long holderOf(const struct stat& st) {
#ifndef __linux__
    (void)st;
    return 0;
#else
    std::FILE* locks = std::fopen("/proc/locks", "re");
    if (locks == nullptr) {
        return 0;
    }
    char line[256];
    long found = 0;
    while (found == 0 && std::fgets(line, sizeof line, locks) != nullptr) {
        long pid = 0;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(line, "%*d: %*s %*s %*s %ld %x:%x:%llu", &pid, &major, &minor, &inode) ==
                4 &&
            inode == static_cast<unsigned long long>(st.st_ino) && major == major(st.st_dev) &&
            minor == minor(st.st_dev)) {
            found = pid;
        }
    }
    std::fclose(locks);
    return found;
#endif
}

}  // namespace

bool StateFolderUsable(const std::string& folder, bool create, const std::string& shown,
                       Action action) {
    if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0) {
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 07777) != 0700) {
        throw HostsError(action, Kind::Other, shown, 0,
                         "the folder for its records, " + EscapeControlCharacters(folder) +
                             ", is not a folder of " + (::geteuid() == 0 ? "root's" : "ours") +
                             " with mode 0700 (a symbolic link, another owner or other "
                             "permissions)" +
                             (action == Action::Write ? "; nothing was written" : ""));
    }
    return true;
}

WriterLock::WriterLock(const std::string& target, const std::string& shown, Action action,
                       const WriteOptions& options)
    : jobControl_(true) {
    if (tHeldFor == target) {
        return;  // taken further up this thread
    }
    // The system's file: in the state folder, which only root may enter.
    // Any other: beside the file, one per user, so that no other user's file
    // of that name can stand in for ours.
    char* system = ::realpath(SystemHostsPath().c_str(), nullptr);
    const bool systemFile = system != nullptr && target == system;
    std::free(system);
    if (systemFile && !options.recoveryFolder.empty()) {
        if (!StateFolderUsable(options.recoveryFolder, true, shown, action)) {
            return;
        }
        path_ = options.recoveryFolder + "/" + PrivateStemOf(target) + ".lock";
    } else if (appendOnlyFolder(directoryOf(target))) {
        return;  // a lock file could never be removed again
    } else {
        path_ = directoryOf(target) + "/." + StemOf(fileNameOf(target)) + ".hushgate-lock-" +
                std::to_string(::geteuid());
    }
    Deadline deadline(options.wait);
    for (;;) {
        fd_.reset(
            ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
        struct stat opened, named;
        // A folder that takes no new file, or a name someone else put there:
        // no lock, as where there are no locks at all.
        if (fd_.get() < 0 || ::fstat(fd_.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
            opened.st_uid != ::geteuid() || opened.st_nlink != 1 || (opened.st_mode & 077) != 0) {
            fd_.close();
            return;
        }
        if (::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0) {
            // The run before us may have removed the name as we opened it.
            if (::lstat(path_.c_str(), &named) == 0 && sameFile(opened, named)) {
                tHeldFor = target;
                onInterrupt_ = std::make_unique<RemoveOnInterrupt>(path_);
                return;
            }
            continue;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            fd_.close();
            return;
        }
        if (deadline.passed()) {
            const long pid = holderOf(opened);
            fd_.close();
            std::string reason = "it is held by another program";
            reason += pid > 0 ? " (pid " + std::to_string(pid) + ")" : std::string();
            reason += action == Action::Write ? "; nothing was written" : "";
            throw HostsError(action, Kind::HeldByOther, shown, static_cast<int>(pid), reason);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

WriterLock::~WriterLock() {
    if (fd_.get() < 0) {
        return;
    }
    // Removed while still held: whoever opened it meanwhile finds the name
    // gone once it has the lock, and opens it afresh.
    ::unlink(path_.c_str());
    onInterrupt_.reset();
    fd_.close();
    tHeldFor.clear();
}

}  // namespace hushgate::detail
