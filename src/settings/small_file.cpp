#include "small_file.h"

#include <new>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#include <system_error>

#include "native_path.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace hushgate {

namespace {

SmallFile failure(SmallFile::Outcome outcome, std::string reason) {
    SmallFile file;
    file.outcome = outcome;
    file.reason = std::move(reason);
    return file;
}

SmallFile notRegular() {
    return failure(SmallFile::Outcome::NotRegular, "not a regular file");
}

SmallFile tooLarge(std::uint64_t limit) {
    return failure(SmallFile::Outcome::TooLarge, "larger than " + std::to_string(limit) + " bytes");
}

#ifndef _WIN32
SmallFile systemFailure(int error) {
    const bool missing = error == ENOENT || error == ENOTDIR;
    return failure(missing ? SmallFile::Outcome::Missing : SmallFile::Outcome::Unreadable,
                   std::strerror(error));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};
#endif

}  // namespace

SmallFile ReadSmallFile(const std::string& path, std::uint64_t limit) {
    try {
        SmallFile file;
#ifdef _WIN32
        // No FIFOs or devices live among ordinary files here; the type is
        // checked before the file is opened.
        std::error_code error;
        const std::filesystem::path name = FileSystemPath(path);
        const auto status = std::filesystem::status(name, error);
        if (status.type() == std::filesystem::file_type::not_found) {
            return failure(SmallFile::Outcome::Missing, "file not found");
        }
        if (error) {
            return failure(SmallFile::Outcome::Unreadable, error.message());
        }
        if (status.type() != std::filesystem::file_type::regular) {
            return notRegular();
        }
        std::ifstream in(name, std::ios::binary);
        if (!in) {
            return failure(SmallFile::Outcome::Unreadable, "cannot be opened");
        }
        char chunk[16384];
        while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
            file.bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
            if (file.bytes.size() > limit) {
                return tooLarge(limit);
            }
        }
        if (in.bad()) {
            return failure(SmallFile::Outcome::Unreadable, "read error");
        }
#else
        // O_NONBLOCK: opening a FIFO without a writer would wait for one.
        const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (fd.get() < 0) {
            return systemFailure(errno);
        }
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0) {
            return systemFailure(errno);
        }
        if (!S_ISREG(info.st_mode)) {
            return notRegular();
        }
        if (static_cast<std::uint64_t>(info.st_size) > limit) {
            return tooLarge(limit);
        }
        // The size may change while we read: the limit holds whatever it does.
        char chunk[16384];
        for (;;) {
            const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return systemFailure(errno);
            }
            if (got == 0) {
                break;
            }
            file.bytes.append(chunk, static_cast<std::size_t>(got));
            if (file.bytes.size() > limit) {
                return tooLarge(limit);
            }
        }
#endif
        file.outcome = SmallFile::Outcome::Read;
        return file;
    } catch (const std::bad_alloc&) {
        return failure(SmallFile::Outcome::Unreadable, "not enough memory");
    }
}

}  // namespace hushgate
