#pragma once

// Our paths are std::string: UTF-8 on Windows, the file system's own bytes
// elsewhere. These turn them into std::filesystem paths and back.

#include <filesystem>
#include <string>

namespace hushgate {

inline std::filesystem::path FileSystemPath(const std::string& path) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
#else
    return path;
#endif
}

inline std::string FromFileSystemPath(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.string();
#endif
}

}  // namespace hushgate
