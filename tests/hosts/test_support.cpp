#include "test_support.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <stdexcept>
#endif

namespace hushgate::test {

#ifdef _WIN32
Metadata metadataOf(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(pathOf(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw std::runtime_error("cannot read the attributes of " + path);
    }
    return {attributes};
}
#endif

}  // namespace hushgate::test
