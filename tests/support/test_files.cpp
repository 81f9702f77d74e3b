#include "test_files.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>
#include <iterator>
#include <random>
#include <stdexcept>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace hushgate::test {

namespace fs = std::filesystem;

namespace {

// Random names until creating one succeeds, which it does only for a name
// nobody holds (MinGW has no mkdtemp).
fs::path makeUniqueFolder(const fs::path& parent) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = parent / ("hushgate-test-" + std::to_string(random() % 1000000000));
        std::error_code error;
        if (fs::create_directory(folder, error)) {
            fs::permissions(folder, fs::perms::owner_all, error);
            return folder;
        }
    }
    throw std::runtime_error("cannot create a temporary folder in " + utf8Of(parent));
}

}  // namespace

fs::path pathOf(std::string_view utf8Path) {
    return fs::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

TempFolder::TempFolder() : path_(utf8Of(makeUniqueFolder(fs::temp_directory_path()))) {}

TempFolder::~TempFolder() {
    // Write permission back everywhere first: POSIX needs it on folders to
    // delete what is in them, Windows on read-only files to delete them.
    std::error_code ignored;
    const fs::path root = pathOf(path_);
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(root, ignored);
}

std::string TempFolder::file(std::string_view name) const {
    // Windows' own separator, so that paths compare and show as Windows gives them.
    const char separator = static_cast<char>(fs::path::preferred_separator);
    std::string path = path_ + separator + std::string(name);
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(path_.size()), path.end(), '/',
                 separator);
    return path;
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(pathOf(folder))) {
        names.push_back(utf8Of(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::string> TestProgram::kShipped = {
    "English", "German",  "French",    "Spanish", "Italian", "Portuguese",
    "Polish",  "Russian", "Ukrainian", "Greek",   "Turkish"};

TestProgram::TestProgram(const std::vector<std::string>& languages) {
    fs::create_directories(pathOf(file("program/Language")));
    for (const std::string& name : languages) {
        writeFile(file("program/Language/" + name + ".lng"),
                  readFile(HUSHGATE_LANGUAGE_DIR "/" + name + ".lng"));
    }
}

}  // namespace hushgate::test

#ifndef _WIN32
bool hushgate::test::WaitedOnFifo(const std::string& path, const std::function<void()>& read) {
    if (::mkfifo(path.c_str(), 0600) != 0) {
        throw std::runtime_error("cannot make the FIFO " + path);
    }
    auto done = std::async(std::launch::async, read);
    const bool waited = done.wait_for(std::chrono::minutes(1)) == std::future_status::timeout;
    if (waited) {
        const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            ::close(writer);
        }
    }
    done.get();
    return waited;
}
#endif
