#include "seams.h"

#include <shellapi.h>

#include "win32_text.h"

namespace hushgate::win32 {

namespace {

Seams& seams() {
    static Seams instance;
    return instance;
}

HANDLE logHandle() {
    static HANDLE handle = [] {
        if (seams().logFile.empty()) {
            return INVALID_HANDLE_VALUE;
        }
        return CreateFileW(seams().logFile.c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }();
    return handle;
}

const wchar_t* answerName(int answer) {
    switch (answer) {
        case IDOK:
            return L"OK";
        case IDYES:
            return L"Yes";
        case IDNO:
            return L"No";
        case IDCANCEL:
            return L"Cancel";
        default:
            return L"?";
    }
}

}  // namespace

void SetSeams(Seams value) {
    seams() = std::move(value);
}

const Seams& GetSeams() {
    return seams();
}

bool Logging() {
    return logHandle() != INVALID_HANDLE_VALUE;
}

void LogEvent(std::string_view event, std::wstring_view details) {
    if (!Logging()) {
        return;
    }
    std::wstring flat;
    for (std::size_t i = 0; i < details.size(); ++i) {
        if (details[i] == L'\r' && i + 1 < details.size() && details[i + 1] == L'\n') {
            continue;
        }
        flat += details[i] == L'\n' ? std::wstring(L"\\n") : std::wstring(1, details[i]);
    }
    std::string line(event);
    if (!flat.empty()) {
        line += ' ' + Narrow(flat);
    }
    line += '\n';
    DWORD written = 0;
    WriteFile(logHandle(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void LogShown(std::string_view window, HWND hwnd) {
    if (!Logging()) {
        return;
    }
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    const auto x11 = reinterpret_cast<ULONG_PTR>(GetPropW(hwnd, L"__wine_x11_whole_window"));
    LogEvent("shown " + std::string(window), L"x11=" + std::to_wstring(x11) + L" client=" +
                                                 std::to_wstring(origin.x) + L"," +
                                                 std::to_wstring(origin.y));
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) {
    LogEvent("message-box", title + L" | " + text);
    const int answer = MessageBoxW(owner, text.c_str(), title.c_str(), type);
    LogEvent("message-box-closed", title + L" | " + answerName(answer));
    return answer;
}

void OpenAddress(HWND owner, const std::wstring& verb, const std::wstring& address,
                 const std::wstring& folder) {
    if (Logging()) {
        LogEvent("open", address);
        return;
    }
    // Nothing is reported when the shell cannot open it.
    ShellExecuteW(owner, verb.empty() ? nullptr : verb.c_str(), address.c_str(), L"",
                  folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

}  // namespace hushgate::win32
