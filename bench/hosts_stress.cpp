// hushgate-stress: other programs edit the hosts file while we block and
// unblock it over and over; afterwards every line they wrote must still be
// there. Prints the lines lost per 10,000 written. A program, not a test: it
// runs for a set time and reports, it does not judge.
//
// The other programs are appenders, which add a line as the shell's `>>`
// does (open for appending, write, close), slow appenders, which keep the
// file open for half a second while they add ten lines (as `curl ... >>`
// does), and `sed -i '$a ...'`, which writes a new file and renames it over
// the old one. They take turns among
// themselves through a lock file of their own, which we know nothing of, so
// every line that goes missing was lost by us.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "hosts_engine.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: hushgate-stress [--seconds S] [--appenders N] [--slow N] [--seds N] [--lines N]\n"
    "                       [--wait MS] [--in-place] [--naive] [--show-lost]\n"
    "  Blocks and unblocks a generated hosts file of N lines (default 10000) for\n"
    "  S seconds (default 10) while N appenders (default 2), N slow appenders\n"
    "  (default 1, each keeps the file open 0.5 s) and N sed -i writers (default 2)\n"
    "  add lines to it, then counts the lines they wrote that are missing. --wait\n"
    "  is how long we wait for a program that has the file open to write (default\n"
    "  5000 ms; shorter than 500 makes us rewrite in place while a slow appender\n"
    "  writes). --in-place gives the file a second name, so that every write is in\n"
    "  place (use it with --seds 0: sed -i would undo that). --naive puts a plain\n"
    "  read-change-rename loop in our place, to show that the count does catch lost\n"
    "  lines. --show-lost names each lost line.";

struct Options {
    double seconds = 10;
    int appenders = 2;
    int seds = 2;
    int slow = 1;
    int waitMs = 5000;
    bool inPlace = false;
    std::size_t lines = 10000;
    bool naive = false;
    bool showLost = false;
};

int parseInt(const char* text) {
    int value = 0;
    const char* end = text + std::strlen(text);
    auto [stop, err] = std::from_chars(text, end, value);
    if (err != std::errc() || stop != end || value < 0) {
        throw std::invalid_argument(std::string("bad number ") + text);
    }
    return value;
}

// Holds the writers' own lock while alive.
class WritersLock {
public:
    explicit WritersLock(int fd) : fd_(fd) { ::flock(fd_, LOCK_EX); }
    ~WritersLock() { ::flock(fd_, LOCK_UN); }

private:
    int fd_;
};

bool stopped(const std::string& stopFile) {
    return ::access(stopFile.c_str(), F_OK) == 0;
}

// A child: adds lines "stress <name> <i>" until told to stop; exits with
// nothing but writes how many it added to `countFile`.
enum class Writer { Append, Slow, Sed };
void runWriter(const std::string& name, Writer kind, const std::string& hosts,
               const std::string& lockFile, const std::string& stopFile,
               const std::string& countFile) {
    const int lock = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    long added = 0;
    while (!stopped(stopFile)) {
        const std::string line = "stress " + name + " " + std::to_string(added);
        bool done = false;
        {
            WritersLock turn(lock);
            if (kind == Writer::Slow) {
                // Ten lines over half a second through one descriptor.
                const int fd = ::open(hosts.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
                for (int i = 0; fd >= 0 && i < 10; ++i) {
                    const std::string text = "stress " + name + " " + std::to_string(added) + "\n";
                    added +=
                        ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size())
                            ? 1
                            : 0;
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
                if (fd >= 0) {
                    ::close(fd);
                }
            } else if (kind == Writer::Sed) {
                const pid_t pid = ::fork();
                if (pid == 0) {
                    const std::string script = "$a " + line;
                    ::execlp("sed", "sed", "-i", script.c_str(), hosts.c_str(),
                             static_cast<char*>(nullptr));
                    ::_exit(127);
                }
                int status = 0;
                done = pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                       WEXITSTATUS(status) == 0;
            } else {
                const int fd = ::open(hosts.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
                const std::string text = line + "\n";
                done = fd >= 0 &&
                       ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
                if (fd >= 0) {
                    ::close(fd);
                }
            }
        }
        added += done ? 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(kind == Writer::Sed ? 2 : 1));
    }
    std::ofstream(countFile) << added << "\n";
}

// A child: our block/unblock loop (or the naive one) until told to stop.
void runOurs(const Options& options, const std::string& hosts, const std::string& stopFile,
             const std::string& countFile) {
    long operations = 0;
    long givenUp = 0;
    long failed = 0;
    hushgate::HostsEngine engine(hosts, hushgate::LineEnd::Lf);
    engine.setWait(std::chrono::milliseconds(options.waitMs));
    while (!stopped(stopFile)) {
        if (options.naive) {
            // Read, change, write a new file, rename: what a careless tool does.
            std::string text = hushgate::ReadFileText(hosts);
            const std::string marker = "127.0.0.1 naive.example\n";
            const auto at = text.find(marker);
            at == std::string::npos ? (void)text.append(marker)
                                    : (void)text.erase(at, marker.size());
            std::ofstream(hosts + ".naive", std::ios::binary) << text;
            fs::rename(hosts + ".naive", hosts);
        } else {
            try {
                operations % 2 == 0 ? (void)engine.Block() : (void)engine.Unblock();
            } catch (const hushgate::HostsError& error) {
                ++(error.kind() == hushgate::HostsError::Kind::ChangedByOther ? givenUp : failed);
                if (failed == 1 && error.kind() != hushgate::HostsError::Kind::ChangedByOther) {
                    std::fprintf(stderr, "hushgate-stress: %s\n", error.what());
                }
            }
        }
        ++operations;
    }
    std::ofstream(countFile) << operations << " " << givenUp << " " << failed << "\n";
}

pid_t spawn(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    return pid;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int run(const Options& options) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/hushgate-stress-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create " + pattern);
    }
    const std::string dir = pattern;
    const std::string hosts = dir + "/hosts";
    const std::string stopFile = dir + "/stop";
    const std::string lockFile = dir + "/writers.lock";
    {
        std::ofstream out(hosts, std::ios::binary);
        out << "127.0.0.1 localhost\n::1 localhost\n";
        for (std::size_t i = 2; i < options.lines; ++i) {
            out << "0.0.0.0 tracker" << i << ".example\n";
        }
    }

    std::vector<pid_t> children;
    std::vector<std::pair<std::string, std::string>> writers;  // name, count file
    if (options.inPlace) {
        fs::create_hard_link(hosts, dir + "/second-name");
    }
    for (int k = 0; k < options.appenders + options.slow + options.seds; ++k) {
        const Writer kind = k < options.appenders                  ? Writer::Append
                            : k < options.appenders + options.slow ? Writer::Slow
                                                                   : Writer::Sed;
        const char* names[] = {"append", "slow", "sed"};
        const std::string name = names[static_cast<int>(kind)] + std::to_string(k);
        const std::string countFile = dir + "/count-" + name;
        writers.emplace_back(name, countFile);
        children.push_back(
            spawn([&] { runWriter(name, kind, hosts, lockFile, stopFile, countFile); }));
    }
    const std::string oursFile = dir + "/count-ours";
    children.push_back(spawn([&] { runOurs(options, hosts, stopFile, oursFile); }));

    std::this_thread::sleep_for(std::chrono::duration<double>(options.seconds));
    std::ofstream(stopFile) << "stop\n";
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }

    std::set<std::string> present;
    std::istringstream text(readAll(hosts));
    for (std::string line; std::getline(text, line);) {
        if (line.starts_with("stress ")) {
            present.insert(line);
        }
    }
    long written = 0;
    long lost = 0;
    for (const auto& [name, countFile] : writers) {
        const long count = std::atol(readAll(countFile).c_str());
        written += count;
        for (long i = 0; i < count; ++i) {
            const std::string line = "stress " + name + " " + std::to_string(i);
            if (!present.count(line)) {
                ++lost;
                if (options.showLost) {
                    std::fprintf(stderr, "lost: %s\n", line.c_str());
                }
            }
        }
    }
    long operations = 0, givenUp = 0, failed = 0;
    std::istringstream(readAll(oursFile)) >> operations >> givenUp >> failed;
    std::printf(
        "hushgate-stress: %.0f s, %d appenders (>>), %d slow appenders and %d sed -i writers "
        "against %s on a %zu-line file%s, wait %d ms\n",
        options.seconds, options.appenders, options.slow, options.seds,
        options.naive ? "a naive read-change-rename loop" : "block/unblock", options.lines,
        options.inPlace ? " with a second name (in place)" : "", options.waitMs);
    std::printf("  %s: %ld operations", options.naive ? "naive loop" : "block/unblock", operations);
    if (!options.naive) {
        std::printf(", %ld given up after %d attempts (file kept changing), %ld failed otherwise",
                    givenUp, hushgate::HostsEngine::kMaxAttempts, failed);
    }
    std::printf(
        "\n  other programs' lines: %ld written, %ld lost = %.2f per 10,000\n", written, lost,
        written > 0 ? 10000.0 * static_cast<double>(lost) / static_cast<double>(written) : 0.0);
    fs::remove_all(dir);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            const bool hasValue = i + 1 < argc;
            if (arg == "--help") {
                std::printf("%s\n", kUsage);
                return 0;
            } else if (arg == "--show-lost") {
                options.showLost = true;
            } else if (arg == "--naive") {
                options.naive = true;
            } else if (arg == "--seconds" && hasValue) {
                options.seconds = parseInt(argv[++i]);
            } else if (arg == "--appenders" && hasValue) {
                options.appenders = parseInt(argv[++i]);
            } else if (arg == "--in-place") {
                options.inPlace = true;
            } else if (arg == "--slow" && hasValue) {
                options.slow = parseInt(argv[++i]);
            } else if (arg == "--wait" && hasValue) {
                options.waitMs = parseInt(argv[++i]);
            } else if (arg == "--seds" && hasValue) {
                options.seds = parseInt(argv[++i]);
            } else if (arg == "--lines" && hasValue) {
                options.lines = static_cast<std::size_t>(std::max(parseInt(argv[++i]), 2));
            } else {
                throw std::invalid_argument("unknown argument " + arg + "\n" + kUsage);
            }
        }
        return run(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "hushgate-stress: %s\n", error.what());
        return 1;
    }
}
