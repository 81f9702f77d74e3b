// hushgate-startup-bench: what it costs to bring up our window, beside a
// plain Qt Widgets window (hushgate-startup-minimal) started the same way.
//
// Every run is a new process, measured from its start to its first frame:
// CPU time (user + system) and peak resident memory, both from wait4. Our
// window runs in a re-executed copy of this program (`--probe HOSTS DIR`)
// that starts it as `hushgate` does, on a scratch hosts file and settings
// folder. Both probes end the process at the first frame (first_frame.h).
// Runs of the three cases (ours on a 20-line and on a 100,000-line hosts
// file, the plain window) are interleaved, on the offscreen platform and on
// xcb (a private Xvfb; skipped, and said so, when none can be started).

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "first_frame.h"
#include "message_box.h"
#include "startup.h"

extern char** environ;

namespace {

constexpr int kDefaultRuns = 11;
// Ours may cost this much more CPU time than the plain window, judged with
// the small hosts file.
constexpr double kTargetRatio = 1.25;

int probe(int argc, char** argv, const char* hostsFile, const char* scratch) {
    // What main.cpp does, with the files pointed elsewhere.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin Hushgate"));
    QApplication::setOrganizationName(QStringLiteral("Tavrin Software"));
    QGuiApplication::setDesktopFileName(QStringLiteral(HUSHGATE_APP_ID));
    hushgate::bench::ExitAfterFirstFrame();
    // A message would wait for a click that never comes.
    hushgate::MessageBox::setHandler([](const hushgate::MessageBox::Shown& shown) {
        std::fprintf(stderr, "message: %s\n", qPrintable(shown.text));
        std::_Exit(2);
        return QMessageBox::Ok;
    });
    hushgate::AppPaths paths = hushgate::AppPaths::forThisProgram();
    paths.settingsFile = QString::fromLocal8Bit(scratch) + QStringLiteral("/config.ini");
    paths.hostsFile = hostsFile;
    auto* startup = new hushgate::Startup(paths);
    if (!startup->load()) {
        return 1;
    }
    return QApplication::exec();
}

struct Sample {
    double cpuMs = 0;
    double rssMiB = 0;
};

// Starts `args` with `env` and waits for it; CPU time and peak RSS of the
// whole process.
Sample runOnce(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : env) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) {
        std::perror(argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not reach its first frame (status %d)\n", argv[0], status);
        std::exit(1);
    }
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss / 1024.0};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The environment for a probe: ours, with the platform set.
std::vector<std::string> probeEnvironment(const std::string& platform, const std::string& display,
                                          const std::string& runtimeFolder) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (text.rfind("QT_QPA_PLATFORM=", 0) != 0 && text.rfind("DISPLAY=", 0) != 0 &&
            text.rfind("WAYLAND_DISPLAY=", 0) != 0 && text.rfind("XDG_RUNTIME_DIR=", 0) != 0) {
            env.push_back(text);
        }
    }
    env.push_back("QT_QPA_PLATFORM=" + platform);
    // Qt's runtime folder, which it would otherwise complain about.
    env.push_back("XDG_RUNTIME_DIR=" + runtimeFolder);
    if (!display.empty()) {
        env.push_back("DISPLAY=" + display);
    }
    return env;
}

// A private X server; its display name, or empty when none could be started.
std::string startXvfb(pid_t& server) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return {};
    }
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                          "1280x1024x24", "-nolisten",  "tcp",      nullptr};
    const bool started = posix_spawnp(&server, "Xvfb", nullptr, nullptr,
                                      const_cast<char* const*>(argv), environ) == 0;
    ::close(fds[1]);
    std::string number;
    char c = 0;
    // Xvfb writes its display number once it accepts connections.
    while (started && ::read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    ::close(fds[0]);
    if (number.empty()) {
        if (started) {
            ::kill(server, SIGTERM);
            ::waitpid(server, nullptr, 0);
        }
        server = 0;
        return {};
    }
    return ":" + number;
}

std::string writeHostsFile(const std::string& folder, int lines) {
    const std::string path = folder + "/hosts-" + std::to_string(lines);
    std::ofstream out(path);
    out << "127.0.0.1 localhost\n::1 localhost ip6-localhost ip6-loopback\n";
    for (int i = 2; i < lines; ++i) {
        out << "0.0.0.0 ads" << i << ".tracker" << (i % 977) << ".example\n";
    }
    return path;
}

void measure(const std::string& platform, const std::string& display, const std::string& self,
             const std::string& minimal, const std::string& folder,
             const std::vector<std::string>& hosts, int runs) {
    const std::vector<std::string> env = probeEnvironment(platform, display, folder);
    struct Case {
        std::string name;
        std::vector<std::string> args;
        std::vector<double> cpu, rss;
    };
    std::vector<Case> cases = {{"plain Qt window", {minimal}, {}, {}}};
    for (const std::string& file : hosts) {
        const std::string lines = file.substr(file.rfind('-') + 1);
        cases.push_back(
            {"ours, " + lines + "-line hosts", {self, "--probe", file, folder}, {}, {}});
    }
    for (Case& c : cases) {
        runOnce(c.args, env);  // warm the caches
    }
    for (int i = 0; i < runs; ++i) {
        for (Case& c : cases) {
            const Sample s = runOnce(c.args, env);
            c.cpu.push_back(s.cpuMs);
            c.rss.push_back(s.rssMiB);
        }
    }
    const double base = median(cases[0].cpu);
    const double baseRss = median(cases[0].rss);
    std::printf("\nplatform %s, median of %d runs each, interleaved:\n", platform.c_str(), runs);
    std::printf("  %-26s %9s %9s %11s %9s\n", "", "CPU ms", "x plain", "peak MiB", "+ MiB");
    for (const Case& c : cases) {
        const double cpu = median(c.cpu), rss = median(c.rss);
        std::printf("  %-26s %9.1f %9.2f %11.1f %9.1f\n", c.name.c_str(), cpu, cpu / base, rss,
                    rss - baseRss);
    }
    const double ratio = median(cases[1].cpu) / base;
    std::printf("  target: ours (small hosts file) at most %.2fx the plain window's CPU time: %s\n",
                kTargetRatio, ratio <= kTargetRatio ? "PASS" : "MISS");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--probe") == 0) {
        return probe(argc, argv, argv[2], argv[3]);
    }
    int runs = kDefaultRuns;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0 && std::atoi(argv[2]) > 0) {
        runs = std::atoi(argv[2]);
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--runs N]\n", argv[0]);
        return 2;
    }
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::perror("/proc/self/exe");
        return 1;
    }
    self[length] = '\0';
    const std::string selfPath = self;
    const std::string minimal =
        selfPath.substr(0, selfPath.rfind('/') + 1) + "hushgate-startup-minimal";
    if (::access(minimal.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "%s is missing: build target hushgate-startup-minimal\n",
                     minimal.c_str());
        return 1;
    }
    char folderTemplate[] = "/tmp/hushgate-startup-XXXXXX";
    if (::mkdtemp(folderTemplate) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = folderTemplate;
    const std::vector<std::string> hosts = {writeHostsFile(folder, 20),
                                            writeHostsFile(folder, 100'000)};

    measure("offscreen", "", selfPath, minimal, folder, hosts, runs);
    pid_t server = 0;
    const std::string display = startXvfb(server);
    if (display.empty()) {
        std::printf("\nplatform xcb: SKIPPED, no X server could be started (Xvfb)\n");
    } else {
        measure("xcb", display, selfPath, minimal, folder, hosts, runs);
        ::kill(server, SIGTERM);
        ::waitpid(server, nullptr, 0);
    }
    for (const std::string& file : hosts) {
        std::remove(file.c_str());
    }
    std::remove((folder + "/config.ini").c_str());
    ::rmdir(folder.c_str());
    return 0;
}
