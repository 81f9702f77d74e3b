#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "test_support.h"

namespace hushgate::test {

namespace {

std::wstring wide(const std::string& utf8) {
    return pathOf(utf8).wstring();
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr) {
            ::CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Quoted as the C runtime's parser reads it back: backslashes are doubled
// only before a quote and at the end.
std::wstring commandLineArgument(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

HANDLE inheritable(const std::wstring& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                         creation, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::uint64_t fileIdOf(const std::string& path) {
    Handle file(::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file.get(), &info)) {
        throw std::runtime_error("cannot identify " + path);
    }
    return (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
}

void PrintTo(const Metadata& metadata, std::ostream* out) {
    *out << "attributes 0x" << std::hex << metadata.attributes << std::dec;
}

Metadata metadataOf(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw std::runtime_error("cannot read the attributes of " + path);
    }
    return {attributes};
}

FileInUse::FileInUse(const std::string& path, bool othersMayRead)
    : handle_(reinterpret_cast<std::intptr_t>(
          ::CreateFileW(wide(path).c_str(), GENERIC_READ, othersMayRead ? FILE_SHARE_READ : 0,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {
    if (reinterpret_cast<HANDLE>(handle_) == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open " + path);
    }
}

FileInUse::~FileInUse() {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool dateBack(const std::string& path) {
    Handle file(::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    FILE_BASIC_INFO info{};
    if (!::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &info, sizeof info)) {
        return false;
    }
    constexpr LONGLONG kTenMinutes = 10LL * 60 * 10'000'000;  // in 100 ns ticks
    const LONGLONG old = std::max(info.LastWriteTime.QuadPart, info.ChangeTime.QuadPart) - kTenMinutes;
    info.LastWriteTime.QuadPart = old;
    info.ChangeTime.QuadPart = old;
    FILE_BASIC_INFO check{};
    return ::SetFileInformationByHandle(file.get(), FileBasicInfo, &info, sizeof info) &&
           ::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &check, sizeof check) &&
           check.ChangeTime.QuadPart == old;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const TempFolder& scratch) {
    const std::string outPath = scratch.file("out");
    const std::string errPath = scratch.file("err");
    std::wstring commandLine = commandLineArgument(wide(program));
    for (const std::string& argument : arguments) {
        commandLine += L" " + commandLineArgument(wide(argument));
    }
    ProgramRun run;
    {
        Handle in(inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING));
        Handle out(inheritable(wide(outPath), GENERIC_WRITE, CREATE_ALWAYS));
        Handle err(inheritable(wide(errPath), GENERIC_WRITE, CREATE_ALWAYS));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.get();
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(wide(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                              nullptr, nullptr, &startup, &process)) {
            throw std::runtime_error("cannot start " + program);
        }
        Handle thread(process.hThread);
        Handle child(process.hProcess);
        DWORD exitCode = 0;
        ::WaitForSingleObject(child.get(), INFINITE);
        ::GetExitCodeProcess(child.get(), &exitCode);
        run.exitCode = static_cast<int>(exitCode);
    }
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    ::DeleteFileW(wide(outPath).c_str());
    ::DeleteFileW(wide(errPath).c_str());
    return run;
}

}  // namespace hushgate::test
