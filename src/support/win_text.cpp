#include "win_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace hushgate::windows {

std::string ToUtf8(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    const int size = text.empty() ? 0
                                  : WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0,
                                                        nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

unsigned long ToUtf16(std::string_view text, std::wstring& out) {
    out.clear();
    if (text.find('\0') != std::string_view::npos) {
        return ERROR_INVALID_NAME;
    }
    if (text.empty()) {
        return 0;
    }
    const int length = static_cast<int>(text.size());
    const int size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (size <= 0) {
        return GetLastError();
    }
    out.resize(static_cast<std::size_t>(size));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), size);
    return 0;
}

std::wstring Decode(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) {
        std::wstring latin1(bytes.size(), L'\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            latin1[i] = static_cast<unsigned char>(bytes[i]);
        }
        return latin1;
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), size);
    return wide;
}

std::string SystemErrorText(unsigned long err) {
    wchar_t buffer[512];
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, err, 0, buffer, 512, nullptr);
    std::wstring_view text(buffer, n);
    text = text.substr(0, text.find_last_not_of(L"\r\n .") + 1);
    return text.empty() ? "Windows error " + std::to_string(err) : ToUtf8(text);
}

}  // namespace hushgate::windows
