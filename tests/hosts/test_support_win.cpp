#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <stdexcept>

#include "test_support.h"

namespace hushgate::test {

namespace {

// Opened for its attributes, shared with everyone; closed when it goes.
struct AttributeHandle {
    HANDLE handle;
    explicit AttributeHandle(const std::string& path)
        : handle(::CreateFileW(pathOf(path).c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~AttributeHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
};

}  // namespace

std::uint64_t fileIdOf(const std::string& path) {
    AttributeHandle file(path);
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file.handle, &info)) {
        throw std::runtime_error("cannot identify " + path);
    }
    return (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
}

Metadata metadataOf(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(pathOf(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw std::runtime_error("cannot read the attributes of " + path);
    }
    return {attributes};
}

FileInUse::FileInUse(const std::string& path, bool othersMayRead)
    : handle_(reinterpret_cast<std::intptr_t>(
          ::CreateFileW(pathOf(path).c_str(), GENERIC_READ, othersMayRead ? FILE_SHARE_READ : 0,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {
    if (reinterpret_cast<HANDLE>(handle_) == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open " + path);
    }
}

FileInUse::~FileInUse() {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace hushgate::test
