#include "windows_console.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <iostream>

#include "win_text.h"

namespace hushgate::cli {

namespace {

// How many leading bytes of `text` end on a whole UTF-8 character; a
// character cut by a flush waits for its remaining bytes.
std::size_t wholeCharacters(const std::string& text) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, text.size()); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if (byte < 0x80) {
            break;
        }
        if (byte >= 0xC0) {
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            return length > back ? text.size() - back : text.size();
        }
    }
    return text.size();
}

// Collects UTF-8 and writes it to the console as UTF-16 on each flush.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            pending_ += traits_type::to_char_type(c);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize n) override {
        pending_.append(text, static_cast<std::size_t>(n));
        return n;
    }
    int sync() override {
        const std::size_t whole = wholeCharacters(pending_);
        const int length = static_cast<int>(whole);
        // Bytes that are no UTF-8 are shown as U+FFFD.
        const int size = ::MultiByteToWideChar(CP_UTF8, 0, pending_.data(), length, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, pending_.data(), length, wide.data(), size);
        pending_.erase(0, whole);
        for (std::size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
            if (!::WriteConsoleW(console_, wide.data() + done, chunk, &written, nullptr) ||
                written == 0) {
                return -1;
            }
            done += written;
        }
        return 0;
    }

private:
    HANDLE console_;
    std::string pending_;
};

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(windows::ToUtf8(argv[i]));
    }
    return arguments;
}

struct ConsoleOutput::Stream {
    Stream(std::ostream& stream, std::streambuf* original, HANDLE handle)
        : stream(stream), original(original), console(handle) {}
    std::ostream& stream;
    std::streambuf* original;
    ConsoleBuffer console;
};

ConsoleOutput::ConsoleOutput() {
    const std::pair<std::ostream*, DWORD> outputs[] = {{&std::cout, STD_OUTPUT_HANDLE},
                                                       {&std::cerr, STD_ERROR_HANDLE}};
    for (const auto& [stream, which] : outputs) {
        const HANDLE handle = ::GetStdHandle(which);
        DWORD mode = 0;
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
            ::GetConsoleMode(handle, &mode)) {
            stream->flush();
            streams_.push_back(std::make_unique<Stream>(*stream, stream->rdbuf(), handle));
            stream->rdbuf(&streams_.back()->console);
        }
    }
}

ConsoleOutput::~ConsoleOutput() {
    for (const auto& stream : streams_) {
        stream->stream.flush();
        stream->stream.rdbuf(stream->original);
    }
}

}  // namespace hushgate::cli
