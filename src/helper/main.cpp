// hushgate-helper: the only part of Tavrin Hushgate that runs as root. The
// window starts it through pkexec to block or unblock on the system's hosts
// file. It takes one verb and nothing else: no path, no option, nothing from
// the environment, so whoever may run it can do no more than those two
// changes to that one file.
//
// Exit codes: 0 done, 2 bad usage, 3 the hosts file could not be changed
// (one line on standard error naming the file and the reason), 4 not run as
// root. Never 126 or 127: pkexec uses those for "dismissed" and "not
// authorised", and the window must be able to tell them apart.

#include <fcntl.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "hosts_engine.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitError = 3;
constexpr int kExitNotRoot = 4;

// A test build points the helper at a file fixed when it is built; the
// installed helper always works on the system's hosts file.
std::string hostsPath() {
#ifdef HUSHGATE_HELPER_TEST_HOSTS
    return HUSHGATE_HELPER_TEST_HOSTS;
#else
    return hushgate::SystemHostsPath();
#endif
}

// pkexec names the caller in PKEXEC_UID. It is only written to the log, and
// only when it is a plain number, so nothing the caller controls is trusted.
std::string callerForLog() {
    const char* uid = std::getenv("PKEXEC_UID");
    if (uid == nullptr || *uid == '\0' || std::strlen(uid) > 10 ||
        std::strspn(uid, "0123456789") != std::strlen(uid)) {
        return "unknown";
    }
    return uid;
}

int change(std::string_view verb) {
    hushgate::HostsEngine engine(hostsPath());
    // The window re-reads the file afterwards; the log keeps the undo on record.
    engine.setRecoveryHandler([](const hushgate::RecoveryNotice& notice) {
        std::cerr << "hushgate-helper: " << notice.message() << '\n';
        syslog(LOG_WARNING, "%s", notice.message().c_str());
    });
    if (verb == "block") {
        // The window offers Block only when the file is not blocked, but
        // something else may have blocked it since: never add a second set.
        if (engine.Block(hushgate::HostsEngine::BlockMode::UnlessBlocked)) {
            std::cout << "Facebook is blocked: " << engine.lvEntries().size()
                      << " entries written to " << engine.hostsPath() << '\n';
        } else {
            std::cout << "Facebook is already blocked in " << engine.hostsPath() << '\n';
        }
    } else {
        const std::size_t removed = engine.Unblock();
        std::cout << "Facebook is unblocked: " << removed
                  << (removed == 1 ? " entry line" : " entry lines") << " removed from "
                  << engine.hostsPath() << '\n';
    }
    syslog(LOG_NOTICE, "%s of %s done for uid %s", verb == "block" ? "block" : "unblock",
           engine.hostsPath().c_str(), callerForLog().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A caller may start us with standard descriptors closed. The next file
    // we open would take their number, and our output would go into it: the
    // log socket, or worse a temporary copy of the hosts file.
    int fd = ::open("/dev/null", O_RDWR);
    while (fd >= 0 && fd <= 2) {
        fd = ::open("/dev/null", O_RDWR);
    }
    if (fd > 2) {
        ::close(fd);
    }
    // An interrupt removes our temporary files and never cuts the file's
    // replacement short.
    hushgate::InstallInterruptHandling();
    // Messages in plain English whatever locale the caller passed on.
    setenv("LC_ALL", "C", 1);
    std::setlocale(LC_ALL, "C");
    umask(022);

    if (argc != 2 || (std::strcmp(argv[1], "block") != 0 && std::strcmp(argv[1], "unblock") != 0)) {
        std::cerr << "Usage: hushgate-helper block | unblock\n";
        return kExitUsage;
    }
    if (geteuid() != 0) {
        std::cerr << "hushgate-helper: must be run as root (through pkexec); nothing was changed\n";
        return kExitNotRoot;
    }

    openlog("hushgate-helper", LOG_PID, LOG_AUTHPRIV);
    const std::string_view verb = argv[1];
    try {
        const int result = change(verb);
        // The exit code tells what happened to the file, not to our output.
        if (!std::cout.flush()) {
            std::cerr << "hushgate-helper: cannot write the output\n";
        }
        return result;
    } catch (const hushgate::HostsError& error) {
        std::cerr << "hushgate-helper: " << error.what() << '\n';
        syslog(LOG_WARNING, "%s failed for uid %s: %s", verb == "block" ? "block" : "unblock",
               callerForLog().c_str(), error.what());
    } catch (const std::exception& error) {
        std::cerr << "hushgate-helper: " << hostsPath() << ": " << error.what() << '\n';
    }
    return kExitError;
}
