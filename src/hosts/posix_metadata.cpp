// What a file has besides its bytes: owner, permission bits, extended
// attributes and the flags that protect it.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "posix_file.h"

#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#endif

namespace hushgate::detail {

namespace {

#ifdef __linux__
// The names of the extended attributes of the file open at `fd`; false when
// they cannot be listed.
bool attributeNames(int fd, std::vector<std::string>& names) {
    names.clear();
    ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size < 0) {
        return errno == ENOTSUP;
    }
    std::string list(static_cast<std::size_t>(size), '\0');
    size = ::flistxattr(fd, list.data(), list.size());
    if (size < 0) {
        return false;
    }
    for (std::size_t start = 0; start < static_cast<std::size_t>(size);) {
        const std::size_t end = list.find('\0', start);
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

bool copyAttribute(int from, int to, const std::string& name) {
    const ssize_t size = ::fgetxattr(from, name.c_str(), nullptr, 0);
    if (size < 0) {
        return false;
    }
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t read = ::fgetxattr(from, name.c_str(), value.data(), value.size());
    return read >= 0 &&
           ::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(read), 0) == 0;
}
#endif

}  // namespace

bool copyMetadata(int fd, int originalFd, const struct stat& original) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        return false;
    }
    if ((st.st_uid != original.st_uid || st.st_gid != original.st_gid) &&
        ::fchown(fd, original.st_uid, original.st_gid) != 0) {
        return false;
    }
#ifdef __linux__
    std::vector<std::string> wanted, present;
    if (!attributeNames(originalFd, wanted) || !attributeNames(fd, present)) {
        return false;
    }
    // An ACL inherited from the folder, a label the folder gave: what the
    // original lacks, the new file must lack too.
    for (const std::string& name : present) {
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() &&
            ::fremovexattr(fd, name.c_str()) != 0) {
            return false;
        }
    }
#endif
    // After fchown, which may clear set-id bits, and before the ACL, which
    // sets the group bits from its mask.
    if (::fchmod(fd, original.st_mode & 07777) != 0) {
        return false;
    }
#ifdef __linux__
    for (const std::string& name : wanted) {
        if (!copyAttribute(originalFd, fd, name)) {
            return false;
        }
    }
#else
    (void)originalFd;
#endif
    return true;
}

bool appendOnlyFolder(const std::string& dir) {
#ifdef __linux__
    FileDescriptor folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    int flags = 0;
    return folder.get() >= 0 && ::ioctl(folder.get(), FS_IOC_GETFLAGS, &flags) == 0 &&
           (flags & FS_APPEND_FL) != 0;
#else
    (void)dir;
    return false;
#endif
}

void refuseProtected(int fd, const std::string& dir, const std::string& target,
                     const std::string& shown) {
#ifdef __linux__
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL))) {
        // Named by its real path: the mark is on the file a link points to.
        throw HostsError(Action::Write, Kind::MarkedReadOnly, target, EPERM,
                         MarkedReadOnlyReason(target));
    }
    if (appendOnlyFolder(dir)) {
        throw HostsError(Action::Write, Kind::PermissionDenied, shown, EPERM,
                         "its folder is marked append-only (chattr +a), so no file of it can be "
                         "replaced; nothing was written");
    }
#else
    (void)fd;
    (void)dir;
    (void)target;
    (void)shown;
#endif
}

void restrictLike(int fd, const struct stat& like) {
#ifdef __linux__
    // An ACL inherited from the folder could give others more than the file does.
    ::fremovexattr(fd, "system.posix_acl_access");
#endif
    if (::fchown(fd, static_cast<uid_t>(-1), like.st_gid) != 0) {
        // Not ours to give to that group: keep our own, with the same bits.
    }
    ::fchmod(fd, (like.st_mode & 0644) | 0600);
}

}  // namespace hushgate::detail
