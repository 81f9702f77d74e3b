#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "interrupt_handling.h"
#include "test_support.h"

namespace hushgate::test {

Metadata metadataOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        throw std::runtime_error("cannot stat " + path);
    }
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

int waitStatusOfChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            body();
        } catch (...) {
            ::_exit(99);
        }
        ::_exit(::testing::Test::HasFailure() ? 98 : 0);
    }
    int status = -1;
    if (pid > 0) {
        ::waitpid(pid, &status, 0);
    }
    return status;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const TempFolder& scratch, const std::function<void()>& inChild) {
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
        if (inChild) {
            inChild();
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    });
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(outPath), readFile(errPath)};
}

std::string copyForAll(const std::string& program, const TempFolder& dir) {
    namespace fs = std::filesystem;
    const std::string copy = dir.file(utf8Of(pathOf(program).filename()));
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    fs::permissions(dir.path(), fs::perms(0755));
    return copy;
}

int cutShort(const std::string& hosts, bool block, WriteStep step, int signal,
             const std::string& recoveryFolder) {
    return waitStatusOfChild([&] {
        InstallInterruptHandling();
        HostsEngine engine(hosts, LineEnd::Lf);
        engine.setRecoveryFolder(recoveryFolder);
        raiseAt(engine, step, signal);
        block ? (void)engine.Block() : (void)engine.Unblock();
    });
}

std::string killedInPlace(const std::string& hosts) {
    std::filesystem::create_hard_link(hosts, hosts + "-link");
    cutShort(hosts, false, WriteStep::InPlaceWritten, SIGKILL);
    return entryOf(hosts.substr(0, hosts.rfind('/')), ".hosts.hushgate-rec-");
}

std::string entryOf(const std::string& folder, std::string_view prefix) {
    std::string path;
    for (const std::string& name : listing(folder)) {
        path = name.starts_with(prefix) ? folder + "/" + name : path;
    }
    return path;
}

void toClosedPipe() {
    int ends[2];
    if (::pipe(ends) == 0 && ::close(ends[0]) == 0) {
        ::dup2(ends[1], 1);
    }
}

void becomeNobody() {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
        throw std::runtime_error("cannot drop root rights");
    }
}

bool shell(const std::string& command, const std::string& file, const std::string& folder) {
    ::setenv("F", file.c_str(), 1);
    ::setenv("D", folder.c_str(), 1);
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

void enterPrivateMountNamespace() {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        throw std::runtime_error("cannot make a private mount namespace");
    }
}

void mountOrThrow(const std::string& source, const std::string& target, const char* type,
                  unsigned long flags, const char* data) {
    if (::mount(source.empty() ? nullptr : source.c_str(), target.c_str(), type, flags, data) !=
        0) {
        throw std::runtime_error("cannot mount on " + target);
    }
}

bool canUseMountNamespaces() {
    static const bool usable =
        ::geteuid() == 0 && waitStatusOfChild([] { enterPrivateMountNamespace(); }) == 0;
    return usable;
}

}  // namespace hushgate::test
