#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Paths are UTF-8 strings, as the program's own libraries take them, on
// every platform; pathOf() turns one into a std::filesystem::path.

namespace hushgate::test {

// A fresh folder that only this user may use, under the system's temporary
// folder (on Windows the one GetTempPathW names), removed with everything in
// it when the object goes, read-only files included.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // `name` (may hold "/", made "\\" on Windows) inside the folder.
    std::string file(std::string_view name) const;

private:
    std::string path_;
};

std::filesystem::path pathOf(std::string_view utf8Path);
std::string utf8Of(const std::filesystem::path& path);

// Whole files, byte for byte; both throw std::runtime_error on failure.
void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);

// The names in `folder`, sorted, to spot left-over files.
std::vector<std::string> listing(const std::string& folder);

// A program folder with copies of the shipped language files (all, or the
// ones named), a settings file location and a hosts file, in a temporary
// folder.
class TestProgram {
public:
    static const std::vector<std::string> kShipped;
    explicit TestProgram(const std::vector<std::string>& languages = kShipped);

    std::string file(std::string_view name) const { return dir_.file(name); }
    std::string programFolder() const { return file("program"); }
    std::string hostsPath() const { return file("hosts"); }
    std::string settingsPath() const { return file("config/config.ini"); }
    void writeHosts(std::string_view bytes) const { writeFile(hostsPath(), bytes); }
    std::string hosts() const { return readFile(hostsPath()); }
    // Writes config.ini naming `language`.
    void configure(std::string_view language) const {
        std::filesystem::create_directories(pathOf(file("config")));
        writeFile(settingsPath(), "[Settings]\r\nLanguage=" + std::string(language) + "\r\n");
    }

private:
    TempFolder dir_;
};

#ifndef _WIN32
// Makes a FIFO at `path` and runs `read`, which must never wait for a writer
// of it. True when it did: after a minute a writer came and went, which ends
// the wait, so that the test fails instead of hanging.
bool WaitedOnFifo(const std::string& path, const std::function<void()>& read);
#endif

}  // namespace hushgate::test
