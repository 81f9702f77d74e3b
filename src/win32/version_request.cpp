#include "version_request.h"

#include <memory>

namespace hushgate::win32 {

namespace {

// More than any version file needs; an answer beyond it is not one.
constexpr std::size_t kMaxBody = 64 * 1024;
constexpr int kTimeoutMs = 2000;

// Lives from the request's start to its handle's closing; WinHTTP calls back
// on its own threads, one callback at a time for one request.
struct Context {
    HWND window;
    UINT message;
    std::uint64_t check;
    std::string body;
    bool reported = false;
    char buffer[4096];
};

void report(Context& context, bool ok) {
    if (context.reported) {
        return;
    }
    context.reported = true;
    auto* answer = new VersionRequest::Answer{context.check, std::nullopt};
    if (ok) {
        answer->body = std::move(context.body);
    }
    if (!PostMessageW(context.window, context.message, 0, reinterpret_cast<LPARAM>(answer))) {
        delete answer;  // the window is gone
    }
}

void CALLBACK callback(HINTERNET request, DWORD_PTR value, DWORD status, LPVOID information,
                       DWORD length) {
    auto* context = reinterpret_cast<Context*>(value);
    if (context == nullptr) {
        return;
    }
    switch (status) {
        case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
            if (!WinHttpReceiveResponse(request, nullptr)) {
                report(*context, false);
            }
            break;
        case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE: {
            DWORD code = 0;
            DWORD size = sizeof code;
            WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                WINHTTP_HEADER_NAME_BY_INDEX, &code, &size,
                                WINHTTP_NO_HEADER_INDEX);
            if (code < 200 || code > 299 ||
                !WinHttpReadData(request, context->buffer, sizeof context->buffer, nullptr)) {
                report(*context, false);
            }
            break;
        }
        case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
            if (length == 0) {
                report(*context, true);  // the whole body is in
            } else if (context->body.size() + length > kMaxBody) {
                report(*context, false);
            } else {
                context->body.append(static_cast<const char*>(information), length);
                if (!WinHttpReadData(request, context->buffer, sizeof context->buffer, nullptr)) {
                    report(*context, false);
                }
            }
            break;
        case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
            report(*context, false);
            break;
        case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
            delete context;
            break;
        default:
            break;
    }
}

}  // namespace

VersionRequest::~VersionRequest() {
    abandon();
}

void VersionRequest::abandon() {
    if (request_ != nullptr) {
        // Callbacks still on their way may post an answer to this check;
        // the presenter ignores answers to checks it no longer waits for.
        WinHttpCloseHandle(request_);
        request_ = nullptr;
    }
    if (connection_ != nullptr) {
        WinHttpCloseHandle(connection_);
        connection_ = nullptr;
    }
    if (session_ != nullptr) {
        WinHttpCloseHandle(session_);
        session_ = nullptr;
    }
}

void VersionRequest::start(HWND window, std::uint64_t check, const std::wstring& url) {
    abandon();
    auto context = std::make_unique<Context>();
    context->window = window;
    context->message = message_;
    context->check = check;

    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[256] = {};
    wchar_t path[2048] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = 2048;
    const bool ok = WinHttpCrackUrl(url.c_str(), 0, 0, &parts) != FALSE;
    if (ok) {
        session_ = WinHttpOpen(L"Tavrin Hushgate", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    }
    if (session_ != nullptr) {
        WinHttpSetTimeouts(session_, kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
        connection_ = WinHttpConnect(session_, host, parts.nPort, 0);
    }
    if (connection_ != nullptr) {
        const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
        request_ = WinHttpOpenRequest(connection_, L"GET", path, nullptr, WINHTTP_NO_REFERER,
                                      WINHTTP_DEFAULT_ACCEPT_TYPES, secure);
    }
    if (request_ == nullptr) {
        abandon();
        report(*context, false);
        return;
    }
    WinHttpSetStatusCallback(request_, callback, WINHTTP_CALLBACK_FLAG_ALL_NOTIFICATIONS, 0);
    // From here the context belongs to the request handle: its closing
    // (HANDLE_CLOSING) frees it, whatever happens to the request.
    Context* owned = context.release();
    DWORD_PTR value = reinterpret_cast<DWORD_PTR>(owned);
    WinHttpSetOption(request_, WINHTTP_OPTION_CONTEXT_VALUE, &value, sizeof value);
    if (!WinHttpSendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                            0, value)) {
        report(*owned, false);
        abandon();
    }
}

VersionRequest::Answer VersionRequest::TakeAnswer(LPARAM lParam) {
    std::unique_ptr<Answer> answer(reinterpret_cast<Answer*>(lParam));
    return std::move(*answer);
}

}  // namespace hushgate::win32
