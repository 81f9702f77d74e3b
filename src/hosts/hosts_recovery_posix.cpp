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

#include "posix_file.h"

namespace hushgate {

namespace {

using namespace detail;

struct OpenRecord {
    std::string path;
    std::unique_ptr<FileDescriptor> fd;  // holds the record's lock
    RecordTrailer trailer;
};

// Removes our leftovers for `stem` in `folder` and collects its records.
void scanFolder(const std::string& folder, const std::string& stem,
                std::vector<std::string>& records) {
    struct CloseDir {
        void operator()(DIR* dir) const { ::closedir(dir); }
    };
    std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
    if (!dir) {
        return;
    }
    const std::string ours = "." + stem + ".hushgate-";
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(ours)) {
            continue;
        }
        if (const auto role = RoleOf(name, stem)) {
            const std::string path = folder + "/" + std::string(name);
            if (*role == FileRole::Record) {
                records.push_back(path);
            } else {
                removeIfUnlocked(path);
            }
        }
    }
}

// Opens and locks a record. A writer still at work holds the lock for the
// short time its rewrite takes; then it has removed the record or died.
std::optional<OpenRecord> openRecord(const std::string& path) {
    auto fd = std::make_unique<FileDescriptor>(
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat opened, named;
    if (fd->get() < 0 || lockFile(fd->get(), LOCK_EX) != 0 || ::fstat(fd->get(), &opened) != 0 ||
        ::lstat(path.c_str(), &named) != 0 || !sameFile(opened, named) ||
        !S_ISREG(opened.st_mode)) {
        return std::nullopt;  // gone, or not ours to read
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

// Keeps `bytes` as "<name>.hushgate-torn-<time>" beside the file, or in the
// recovery folder where the file's folder takes no new file. Returns its path.
std::string keepTornCopy(const std::string& target, const std::string& shown,
                         std::string_view bytes, const struct stat& like,
                         const WriteOptions& options) {
    std::string folder = directoryOf(target);
    const std::string stem = StemOf(fileNameOf(target));
    auto copy = std::make_unique<OurFile>(folder, stem, FileRole::Copy);
    if (!copy->created() && !options.recoveryFolder.empty() &&
        makePrivateFolder(options.recoveryFolder) == 0) {
        folder = options.recoveryFolder;
        copy = std::make_unique<OurFile>(folder, stem, FileRole::Copy);
    }
    if (!copy->created()) {
        fail(Action::Write, shown, copy->error());
    }
    restrictLike(copy->fd(), like);
    int err = writeAll(copy->fd(), bytes.data(), bytes.size());
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

// Undoes what `record` guarded if the file is neither the version before
// nor the one after the rewrite. Returns the torn copy's path then.
std::optional<std::string> undo(const std::string& path, const std::string& target,
                                OpenRecord& record, const WriteOptions& options) {
    FileSnapshot now = ReadFileSnapshot(target);
    const RecordTrailer& t = record.trailer;
    const std::string_view current = now.bytes.view();
    if (current.size() == t.newSize && DigestOf(current) == t.newDigest) {
        ::unlink(record.path.c_str());
        return std::nullopt;
    }
    ByteBuffer original;
    try {
        original.resize(static_cast<std::size_t>(t.originalSize));
    } catch (const std::bad_alloc&) {
        throw HostsError::OutOfMemory(Action::Write, path, t.originalSize);
    }
    std::size_t used = 0;
    while (used < original.size()) {
        const ssize_t n = ::pread(record.fd->get(), original.data() + used, original.size() - used,
                                  static_cast<off_t>(used));
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    if (used == original.size() && original.view() == current) {
        ::unlink(record.path.c_str());
        return std::nullopt;
    }
    const std::string damaged = "an interrupted change left the file damaged";
    if (used != original.size() || DigestOf(original.view()) != t.originalDigest) {
        throw HostsError(Action::Read, Kind::Other, path, 0,
                         damaged + ", and the copy kept to undo it is damaged too", record.path);
    }
    struct stat like;
    if (::stat(target.c_str(), &like) != 0) {
        fail(Action::Read, path, errno);
    }
    try {
        const std::string torn = keepTornCopy(target, path, current, like, options);
        const std::string_view bytes = original.view();
        ReplaceFileContents(target, now.stamp, current, LinesToWrite::Bytes(bytes), options);
        ::unlink(record.path.c_str());
        syncDirectory(directoryOf(record.path));
        return torn;
    } catch (const HostsError& error) {
        throw HostsError(Action::Write, error.kind(), path, error.osError(),
                         damaged + " and it could not be put back: " + error.reason(), record.path);
    }
}

}  // namespace

std::vector<RecoveryNotice> TidyUpBeforeRead(const std::string& path, const WriteOptions& options) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (!resolved) {
        return {};  // the read that follows says why
    }
    const std::string target = resolved.get();
    std::vector<std::string> paths;
    scanFolder(directoryOf(target), StemOf(fileNameOf(target)), paths);
    if (!options.recoveryFolder.empty()) {
        scanFolder(options.recoveryFolder, PrivateStemOf(target), paths);
    }
    return UndoOldestFirst(path, paths, openRecord,
                           [&](OpenRecord& record) { return undo(path, target, record, options); });
}

}  // namespace hushgate
