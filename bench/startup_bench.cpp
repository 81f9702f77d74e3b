// hushgate-startup-bench: time from process start to the main window shown,
// with a hosts file of 100,000 lines.
//
// The program re-executes itself (`--probe HOSTS`) for each run. The probe
// starts the program the way `hushgate` does (start-up step, checks, main
// window), writes one byte to its standard output as soon as the window is
// shown and the event loop has run once, and exits. The parent's clock runs
// from spawn to that byte, so process start, library loading and the whole
// load step are counted. Without a display the offscreen platform is used.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "message_box.h"
#include "startup.h"

extern char** environ;

namespace {

constexpr int kLines = 100'000;
constexpr int kRuns = 11;
constexpr double kTargetMs = 300;

int probe(int argc, char** argv, const char* hostsFile) {
    QApplication app(argc, argv);
    hushgate::MessageBox::setHandler([](const hushgate::MessageBox::Shown& shown) {
        std::fprintf(stderr, "message: %s\n", qPrintable(shown.text));
        return QMessageBox::Ok;
    });
    QTemporaryDir scratch;
    hushgate::AppPaths paths = hushgate::AppPaths::forThisProgram();
    paths.settingsFile = scratch.filePath(QStringLiteral("config.ini"));
    paths.hostsFile = hostsFile;
    auto* startup = new hushgate::Startup(paths);
    if (!startup->load()) {
        return 1;
    }
    QTimer::singleShot(0, [] {
        if (::write(STDOUT_FILENO, "!", 1) != 1) {
            std::_Exit(1);
        }
        std::_Exit(0);
    });
    return QApplication::exec();
}

// Milliseconds from spawn to the probe's signal.
double timeOneStart(const std::string& self, const std::string& hosts) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<std::string> args = {self, "--probe", hosts};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    ::close(pipeFds[1]);
    char signal = 0;
    const bool shown = ::read(pipeFds[0], &signal, 1) == 1;
    const auto end = std::chrono::steady_clock::now();
    ::close(pipeFds[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!shown || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the probe did not show the window\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--probe") {
        return probe(argc, argv, argv[2]);
    }
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    char dirTemplate[] = "/tmp/hushgate-startup-XXXXXX";
    if (::mkdtemp(dirTemplate) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string hosts = std::string(dirTemplate) + "/hosts";
    {
        std::ofstream out(hosts);
        out << "127.0.0.1 localhost\n::1 localhost\n";
        for (int i = 2; i < kLines; ++i) {
            out << "0.0.0.0 ads" << i << ".tracker" << (i % 977) << ".example\n";
        }
    }
    const std::string self = argv[0];
    timeOneStart(self, hosts);  // warm the caches once
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        times.push_back(timeOneStart(self, hosts));
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("Start to main window shown, %d-line hosts file, platform %s, %d runs:\n", kLines,
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default", kRuns);
    std::printf("  median %.1f ms (min %.1f, max %.1f); target under %.0f ms: %s\n", median,
                times.front(), times.back(), kTargetMs, median < kTargetMs ? "PASS" : "MISS");
    std::remove(hosts.c_str());
    ::rmdir(dirTemplate);
    return 0;
}
