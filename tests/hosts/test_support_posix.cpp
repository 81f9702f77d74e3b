#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "test_support.h"

namespace hushgate::test {

std::uint64_t fileIdOf(const std::string& path) {
    return statOf(path).st_ino;
}

void PrintTo(const Metadata& m, std::ostream* out) {
    *out << "mode " << std::oct << m.mode << std::dec << ", owner " << m.uid << ':' << m.gid << ", "
         << m.extended.size() << " extended attributes";
}

Metadata metadataOf(const std::string& path) {
    const struct stat st = statOf(path);
    Metadata metadata{st.st_mode, st.st_uid, st.st_gid, {}};
    std::string names(65536, '\0');
    const ssize_t size = ::listxattr(path.c_str(), names.data(), names.size());
    for (std::size_t start = 0; size > 0 && start < static_cast<std::size_t>(size);) {
        const std::string name = names.c_str() + start;
        std::string value(65536, '\0');
        const ssize_t n = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        metadata.extended[name] = value.substr(0, n < 0 ? 0 : static_cast<std::size_t>(n));
        start += name.size() + 1;
    }
    return metadata;
}

FileInUse::FileInUse(const std::string& path, bool)
    : handle_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (handle_ < 0 || ::flock(static_cast<int>(handle_), LOCK_EX) != 0) {
        throw std::runtime_error("cannot lock " + path);
    }
}

FileInUse::~FileInUse() {
    ::close(static_cast<int>(handle_));
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const TempFolder& scratch) {
    const std::string outPath = scratch.file("out");
    const std::string errPath = scratch.file("err");
    const int status = waitStatusOfChild([&] {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
            ::dup2(err, 2) < 0) {
            ::_exit(126);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    });
    ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(outPath),
                   readFile(errPath)};
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return run;
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        throw std::runtime_error("cannot stat " + path);
    }
    return st;
}

std::string runInChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return "pipe failed";
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        return "fork failed";
    }
    if (pid == 0) {
        ::close(fds[0]);
        std::string result;
        try {
            result = body();
        } catch (const std::exception& e) {
            result = std::string("exception: ") + e.what();
        }
        if (!result.empty() && ::write(fds[1], result.data(), result.size()) < 0) {
            ::_exit(2);
        }
        ::_exit(result.empty() ? 0 : 1);
    }
    ::close(fds[1]);
    std::string message;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) {
        message.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) {
        return "child ended abnormally";
    }
    if (WEXITSTATUS(status) != 0 && message.empty()) {
        return "child failed without a message";
    }
    return message;
}

int waitStatusOfChild(const std::function<void()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        try {
            body();
        } catch (...) {
            ::_exit(99);
        }
        ::_exit(0);
    }
    int status = -1;
    if (pid > 0) {
        ::waitpid(pid, &status, 0);
    }
    return status;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

bool shell(const std::string& command) {
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

bool enterPrivateMountNamespace() {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool canUseMountNamespaces() {
    static const bool usable = ::geteuid() == 0 && runInChild([] {
                                                       return enterPrivateMountNamespace()
                                                                  ? std::string()
                                                                  : std::string("no");
                                                   }).empty();
    return usable;
}

}  // namespace hushgate::test
