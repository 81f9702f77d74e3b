#include <atomic>
#include <cstring>

#include "interrupt_guard.h"
#include "interrupt_handling.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace hushgate {

namespace {

// Temporary files to remove on an interrupt. Plain slots, so that a signal
// handler can read them safely.
constexpr int kSlots = 8;
constexpr std::size_t kPathRoom = 4096;
struct Slot {
    std::atomic<int> state{0};  // 0 free, 1 being filled, 2 holds a path
    char path[kPathRoom] = {};
};
// Zero from the start: no code runs for them before main.
constinit Slot gSlots[kSlots];

void removeRegistered();

}  // namespace

namespace detail {

RemoveOnInterrupt::RemoveOnInterrupt(const std::string& path) {
    if (path.size() >= kPathRoom) {
        return;  // left for the next run to remove
    }
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (gSlots[i].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
            gSlots[i].state.store(2);
            slot_ = i;
            return;
        }
    }
}

void RemoveOnInterrupt::release() {
    if (slot_ >= 0) {
        gSlots[slot_].state.store(0);
        slot_ = -1;
    }
}

}  // namespace detail

#ifndef _WIN32

namespace {

constexpr int kInterrupts[3] = {SIGINT, SIGTERM, SIGHUP};
// Held back in a critical step: the interrupts above, a quit (which would
// leave a core and the file half written), and job control, which would
// stop us part way with the writers' lock held. Job control alone is held
// for as long as that lock is.
constexpr int kHeld[7] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP, SIGTTIN, SIGTTOU};
constexpr int kJobControlFrom = 4;
volatile std::sig_atomic_t gPending[7] = {};

void removeRegistered() {
    for (Slot& slot : gSlots) {
        if (slot.state.load() == 2) {
            ::unlink(slot.path);
        }
    }
}

extern "C" void onInterrupt(int signal) {
    removeRegistered();
    ::_exit(128 + signal);
}

extern "C" void noteInterrupt(int signal) {
    for (int i = 0; i < 7; ++i) {
        if (kHeld[i] == signal) {
            gPending[i] = 1;
        }
    }
}

struct sigaction actionOf(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    return action;
}

}  // namespace

void InstallInterruptHandling() {
    const struct sigaction interrupt = actionOf(onInterrupt);
    for (int signal : kInterrupts) {
        ::sigaction(signal, &interrupt, nullptr);
    }
    const struct sigaction ignore = actionOf(SIG_IGN);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

namespace detail {

DeferInterrupts::DeferInterrupts(bool jobControlOnly) {
    const struct sigaction note = actionOf(noteInterrupt);
    for (int i = jobControlOnly ? kJobControlFrom : 0; i < 7; ++i) {
        // An ignored signal stays ignored.
        if (::sigaction(kHeld[i], nullptr, &saved_[i]) == 0 && saved_[i].sa_handler != SIG_IGN) {
            replaced_[i] = ::sigaction(kHeld[i], &note, nullptr) == 0;
        }
    }
}

DeferInterrupts::~DeferInterrupts() {
    for (int i = 0; i < 7; ++i) {
        if (replaced_[i]) {
            ::sigaction(kHeld[i], &saved_[i], nullptr);
            // Taken back now, as it would have been (an outer hold notes it again).
            if (gPending[i]) {
                gPending[i] = 0;
                ::raise(kHeld[i]);
            }
        }
    }
}

FileSizeLimitAsError::FileSizeLimitAsError() {
    const struct sigaction ignore = actionOf(SIG_IGN);
    replaced_ = ::sigaction(SIGXFSZ, &ignore, &saved_) == 0;
}

FileSizeLimitAsError::~FileSizeLimitAsError() {
    if (replaced_) {
        ::sigaction(SIGXFSZ, &saved_, nullptr);
    }
}

}  // namespace detail

#else  // _WIN32

namespace {

std::atomic<int> gDeferring{0};

void removeRegistered() {
    for (Slot& slot : gSlots) {
        if (slot.state.load() != 2) {
            continue;
        }
        wchar_t wide[kPathRoom];
        if (MultiByteToWideChar(CP_UTF8, 0, slot.path, -1, wide, static_cast<int>(kPathRoom)) > 0) {
            DeleteFileW(wide);  // fails while the file is still open; the next run removes it
        }
    }
}

// Runs on a thread of its own: waits until no new file is being put in place.
BOOL WINAPI onConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    while (gDeferring.load() > 0) {
        Sleep(10);
    }
    removeRegistered();
    ExitProcess(130);
}

}  // namespace

void InstallInterruptHandling() {
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

namespace detail {

DeferInterrupts::DeferInterrupts(bool jobControlOnly) : jobControlOnly_(jobControlOnly) {
    if (!jobControlOnly_) {
        ++gDeferring;
    }
}
DeferInterrupts::~DeferInterrupts() {
    if (!jobControlOnly_) {
        --gDeferring;
    }
}
FileSizeLimitAsError::FileSizeLimitAsError() {}
FileSizeLimitAsError::~FileSizeLimitAsError() {}

}  // namespace detail

#endif

}  // namespace hushgate
