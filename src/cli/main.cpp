// hushgate-cli: the hosts engine for scripts and schedules.

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "hosts_engine.h"

#ifdef _WIN32
#include "windows_console.h"
#endif

namespace {

constexpr int kExitBlocked = 0;
constexpr int kExitNotBlocked = 1;
constexpr int kExitUsage = 2;
constexpr int kExitError = 3;

constexpr std::string_view kUsage =
    "Usage: hushgate-cli [--hosts PATH] status | block | unblock | list\n"
    "       hushgate-cli --help | --version\n"
    "\n"
    "Blocks Facebook in every browser by pointing its host names at 127.0.0.1\n"
    "in the hosts file.\n"
    "\n"
    "  status   say whether Facebook is blocked (exit code 0 blocked, 1 not)\n"
    "  block    add the block entries to the hosts file\n"
    "  unblock  remove the block entries from the hosts file\n"
    "  list     show every block entry and whether the hosts file holds it\n"
    "\n"
    "  --hosts PATH  work on PATH instead of the system's hosts file\n";

int usageError(std::string_view problem) {
    std::cerr << "hushgate-cli: " << problem << '\n'
              << "Usage: hushgate-cli [--hosts PATH] status | block | unblock | list\n"
              << "Try 'hushgate-cli --help' for more.\n";
    return kExitUsage;
}

// Output is written when the work is done; whether it reached its reader is
// told apart from whether the work succeeded.
bool outputWritten() {
    errno = 0;
    if (std::cout.flush()) {
        return true;
    }
    const int err = errno;
    std::cerr << "hushgate-cli: cannot write the output"
              << (err != 0 ? std::string(": ") + std::strerror(err) : std::string()) << '\n';
    return false;
}

int report(const hushgate::HostsError& error, bool systemFile) {
    std::cerr << "hushgate-cli: " << error.what();
    // Advice to get rights the process has already would send its user in
    // a circle; a file marked read-only says itself how to clear the mark.
    if (systemFile && error.kind() == hushgate::HostsError::Kind::PermissionDenied &&
        !hushgate::RunsWithAdministratorRights()) {
#ifdef _WIN32
        std::cerr << " (run it as administrator)";
#else
        std::cerr << " (run it as root)";
#endif
    }
    std::cerr << '\n';
    return kExitError;
}

std::string shownPath(const hushgate::HostsEngine& engine) {
    return hushgate::EscapeControlCharacters(engine.hostsPath());
}

std::string countText(const hushgate::HostsEngine& engine) {
    return std::to_string(engine.FoundCount()) + " of " +
           std::to_string(engine.lvEntries().size()) + " entries present in " + shownPath(engine);
}

// Numbers go into the texts through std::to_string: the stream's own number
// output would load locale code that a short run otherwise never touches.
int run(const std::string& command, hushgate::HostsEngine& engine) {
    if (command == "status") {
        engine.LoadHostsList();
        const bool blocked = engine.CheckStatus();
        std::cout << (blocked ? "Facebook is blocked (" : "Facebook is not blocked (")
                  << countText(engine) << ")\n";
        return blocked ? kExitBlocked : kExitNotBlocked;
    }
    if (command == "block") {
        // Run again by a schedule, it must not add the entries a second time.
        if (engine.Block(hushgate::HostsEngine::BlockMode::UnlessBlocked)) {
            std::cout << "Facebook is blocked: " + std::to_string(engine.lvEntries().size()) +
                             " entries written to " + shownPath(engine) + '\n';
        } else {
            std::cout << "Facebook is already blocked (" << countText(engine)
                      << "); nothing written\n";
        }
        return 0;
    }
    if (command == "unblock") {
        const std::size_t removed = engine.Unblock();
        std::cout << "Facebook is unblocked: " + std::to_string(removed) +
                         (removed == 1 ? " entry line" : " entry lines") + " removed from " +
                         shownPath(engine) + '\n';
        return 0;
    }
    // list
    engine.LoadHostsList();
    engine.CheckStatus();
    for (const hushgate::BlockListItem& item : engine.lvEntries()) {
        std::cout << item.entry;
        if (item.found) {
            std::cout << std::string(45 - std::min<std::size_t>(item.entry.size(), 44), ' ')
                      << "Found";
        }
        std::cout << '\n';
    }
    return 0;
}

int runCli(const std::vector<std::string>& args) {
    std::string hostsPath;
    std::string command;
    bool hostsGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::cout << kUsage;
            return std::cout.flush() ? 0 : kExitError;
        }
        if (!optionsEnded && arg == "--version") {
            std::cout << "hushgate-cli " HUSHGATE_VERSION "\n";
            return std::cout.flush() ? 0 : kExitError;
        }
        if (!optionsEnded && (arg == "--hosts" || arg.rfind("--hosts=", 0) == 0)) {
            if (hostsGiven) {
                return usageError("give --hosts once");
            }
            const bool separate = arg == "--hosts";
            if (separate && i + 1 == args.size()) {
                return usageError("--hosts needs a path");
            }
            hostsPath = separate ? args[++i] : arg.substr(8);
            if (hostsPath.empty()) {
                return usageError("--hosts needs a path");
            }
            hostsGiven = true;
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (arg == "status" || arg == "block" || arg == "unblock" || arg == "list") {
            if (!command.empty()) {
                return usageError("give one command only");
            }
            command = arg;
        } else {
            return usageError("unknown argument '" + hushgate::EscapeControlCharacters(arg) + "'");
        }
    }
    if (command.empty()) {
        return usageError("no command given");
    }

    hushgate::InstallInterruptHandling();
    const bool systemFile = hostsPath.empty();
    hushgate::HostsEngine engine(systemFile ? hushgate::SystemHostsPath() : hostsPath);
    engine.setRecoveryHandler([](const hushgate::RecoveryNotice& notice) {
        std::cerr << "hushgate-cli: " << notice.message() << '\n';
    });
    try {
        const int result = run(command, engine);
        // The exit code follows the file's state and the change made; only
        // for "list", whose output is all it does, a lost output is a failure.
        if (!outputWritten() && command == "list") {
            return kExitError;
        }
        return result;
    } catch (const hushgate::HostsError& error) {
        return report(error, systemFile);
    } catch (const std::bad_alloc&) {
        std::cerr << "hushgate-cli: not enough memory to work on "
                  << hushgate::EscapeControlCharacters(engine.hostsPath()) << '\n';
        return kExitError;
    } catch (const std::exception& error) {
        std::cerr << "hushgate-cli: " << hushgate::EscapeControlCharacters(engine.hostsPath())
                  << ": " << error.what() << '\n';
        return kExitError;
    }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    const hushgate::cli::ConsoleOutput console;
    return runCli(hushgate::cli::Utf8Arguments(argc, argv));
}
#else
int main(int argc, char** argv) {
    return runCli({argv + 1, argv + argc});
}
#endif
