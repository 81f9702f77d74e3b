#include "test_support.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "block_list.h"

namespace hushgate::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "hushgate-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempDir::listingOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        throw std::runtime_error("cannot stat " + path);
    }
    return st;
}

std::string joined(const std::vector<std::string>& lines, std::string_view terminator) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += terminator;
    }
    return text;
}

std::string allEntries(std::string_view terminator) {
    std::string text;
    for (std::string_view entry : BlockEntries()) {
        text += entry;
        text += terminator;
    }
    return text;
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

std::map<std::string, std::string> attributesOf(const std::string& path) {
    std::map<std::string, std::string> attributes;
    std::string names(65536, '\0');
    const ssize_t size = ::listxattr(path.c_str(), names.data(), names.size());
    for (std::size_t start = 0; size > 0 && start < static_cast<std::size_t>(size);) {
        const std::string name = names.c_str() + start;
        std::string value(65536, '\0');
        const ssize_t n = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        attributes[name] = value.substr(0, n < 0 ? 0 : static_cast<std::size_t>(n));
        start += name.size() + 1;
    }
    return attributes;
}

bool enterPrivateMountNamespace() {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool canUseMountNamespaces() {
    static const bool usable = ::geteuid() == 0 && runInChild([] {
        return enterPrivateMountNamespace() ? std::string() : std::string("no");
    }).empty();
    return usable;
}

}  // namespace hushgate::test
