#pragma once

#include <string_view>

namespace hushgate {

// The bytes of Language/English.lng as it was when the program was built
// (generated from the file by CMake).
std::string_view BuiltInEnglishBytes();

}  // namespace hushgate
