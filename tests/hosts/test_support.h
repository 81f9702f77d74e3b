#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace hushgate::test {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    // Names of everything in the folder, sorted, to spot left-over files.
    std::vector<std::string> listing() const { return listingOf(path_); }
    static std::vector<std::string> listingOf(const std::filesystem::path& folder);

private:
    std::filesystem::path path_;
};

void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);
struct stat statOf(const std::string& path);

// Joins lines, each followed by `terminator`.
std::string joined(const std::vector<std::string>& lines, std::string_view terminator);
// All block entries as lines, each followed by `terminator`.
std::string allEntries(std::string_view terminator);

// Runs `body` in a forked child and returns what it returned: an empty string
// for success, otherwise a description of what went wrong. Lets a test change
// process-wide state (mount namespace, resource limits) without affecting the
// rest of the run.
std::string runInChild(const std::function<std::string()>& body);

// Runs `body` in a forked child and returns its wait status: for what a
// process that is killed or interrupted part way leaves behind.
int waitStatusOfChild(const std::function<void()>& body);

// Runs a shell command quietly; true when it succeeded.
bool shell(const std::string& command);
std::string quoted(const std::string& text);

// Every extended attribute of `path` (an ACL is one) with its value.
std::map<std::string, std::string> attributesOf(const std::string& path);

// In a child: gives the process its own mount namespace, so that mounts made
// afterwards vanish with it. False where that is not allowed (not root).
bool enterPrivateMountNamespace();

// True when this process may create mount namespaces (checked in a child).
bool canUseMountNamespaces();

}  // namespace hushgate::test
