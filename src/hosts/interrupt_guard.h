#pragma once

// The engine's side of interrupt handling (see interrupt_handling.h).

#include <string>

#ifndef _WIN32
#include <csignal>
#endif

namespace hushgate::detail {

// While alive, an interrupt handled by InstallInterruptHandling removes the
// file at `path` before the program ends.
class RemoveOnInterrupt {
public:
    explicit RemoveOnInterrupt(const std::string& path);
    ~RemoveOnInterrupt() { release(); }
    RemoveOnInterrupt(const RemoveOnInterrupt&) = delete;
    RemoveOnInterrupt& operator=(const RemoveOnInterrupt&) = delete;
    void release();

private:
    int slot_ = -1;
};

// While alive, Ctrl-C, SIGTERM, SIGHUP, SIGQUIT and job control (Ctrl-Z,
// SIGTTIN, SIGTTOU) wait, or job control alone when `jobControlOnly`; one
// that came in takes effect, as it would have, when this ends. Process-wide,
// so it holds in programs with several threads too.
class DeferInterrupts {
public:
    explicit DeferInterrupts(bool jobControlOnly = false);
    ~DeferInterrupts();
    DeferInterrupts(const DeferInterrupts&) = delete;
    DeferInterrupts& operator=(const DeferInterrupts&) = delete;

private:
#ifndef _WIN32
    struct sigaction saved_[7] = {};
    bool replaced_[7] = {};
#else
    bool jobControlOnly_;
#endif
};

// While alive, writing past the file-size limit fails with "File too large"
// instead of ending the process.
class FileSizeLimitAsError {
public:
    FileSizeLimitAsError();
    ~FileSizeLimitAsError();
    FileSizeLimitAsError(const FileSizeLimitAsError&) = delete;
    FileSizeLimitAsError& operator=(const FileSizeLimitAsError&) = delete;

private:
#ifndef _WIN32
    struct sigaction saved_ = {};
    bool replaced_ = false;
#endif
};

}  // namespace hushgate::detail
