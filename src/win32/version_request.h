#pragma once

#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <optional>
#include <string>

namespace hushgate::win32 {

// The update check's request: an asynchronous WinHTTP GET with 2-second
// time-outs for name resolution, connecting, sending and receiving, so the
// window never waits for the network. The answer is posted to the window as
// `message` with an Answer* in lParam, which the window takes over
// (TakeAnswer). Starting another request abandons the one running; so does
// destroying this object.
class VersionRequest {
public:
    struct Answer {
        std::uint64_t check = 0;
        // The body of a 2xx answer; nothing when the request failed.
        std::optional<std::string> body;
    };

    VersionRequest(UINT message) : message_(message) {}
    ~VersionRequest();
    VersionRequest(const VersionRequest&) = delete;
    VersionRequest& operator=(const VersionRequest&) = delete;

    void start(HWND window, std::uint64_t check, const std::wstring& url);
    void abandon();

    static Answer TakeAnswer(LPARAM lParam);

private:
    UINT message_;
    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
};

}  // namespace hushgate::win32
