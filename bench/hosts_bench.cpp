// hushgate-bench: the CPU time and peak memory of `hushgate-cli --hosts FILE
// status|block|unblock` beside hushgate-yardstick, a plain C program that does
// the same file work with the least effort (bench/yardstick.c), on generated
// hosts files from a few lines to millions.
//
// Every run is a child process; its CPU time (user + system) and peak RSS are
// what the kernel reports for it in wait4, so other programs on the machine
// change them far less than they change a clock. Inputs are copied afresh
// before every run, outside what is measured; runs of all cases of a size are
// interleaved, and every file written is compared byte for byte with the
// yardstick's.

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "block_list.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr double kRatioTarget = 1.25;  // our CPU time / the yardstick's
constexpr std::size_t kRatioJudgedFrom = 200'000;
constexpr double kStartTarget = 1.3;  // our CPU time / that of `hushgate-cli --version`
constexpr std::size_t kStartJudgedUpTo = 20;
constexpr double kRssTarget = 16.0 * (1 << 20);
constexpr std::size_t kRssJudgedFrom = 2'000'000;

constexpr const char* kUsage =
    "usage: hushgate-bench [--sizes 20,10000,200000,2000000] [--repeat N] [--markdown]\n"
    "                      [--cli PATH] [--yardstick PATH] [--any-cpu]\n"
    "  CPU time (user + sys) and peak RSS of hushgate-cli status, block and\n"
    "  unblock beside hushgate-yardstick on generated hosts files of the given\n"
    "  line counts; N interleaved runs each (default 5), medians shown.\n"
    "  Every run is kept on the processor the bench starts on; --any-cpu lets\n"
    "  the system place each one. --markdown also prints the table as Markdown.\n"
    "  Exits 0 unless something failed to run or a file written differs from\n"
    "  the yardstick's.";

struct Run {
    int exitCode = 0;
    double cpuMs = 0;
    double peakBytes = 0;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `args` with its standard output sent to `output`, through
// hushgate-measure (see bench/measure.c), which reports the child's figures
// in `report`.
Run measure(const std::string& measurer, const std::vector<std::string>& args,
            const std::string& output, const std::string& report) {
    std::vector<char*> argv{const_cast<char*>(measurer.c_str()), const_cast<char*>(output.c_str())};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, report.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int err = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        throw std::runtime_error("cannot start " + measurer + ": " + std::strerror(err));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
        }
    }
    Run run;
    long long cpuMicroseconds = 0, peakKib = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(readAll(report).c_str(), "%d %lld %lld", &run.exitCode, &cpuMicroseconds,
                    &peakKib) != 3) {
        throw std::runtime_error("cannot measure " + args[0]);
    }
    if (run.exitCode < 0) {
        throw std::runtime_error(args[0] + " " + args[1] + " ended by signal " +
                                 std::to_string(-run.exitCode));
    }
    run.cpuMs = static_cast<double>(cpuMicroseconds) / 1e3;
    run.peakBytes = static_cast<double>(peakKib) * 1024;  // KiB on Linux
    return run;
}

// Where two files first differ, or -1 when they hold the same bytes. Read in
// pieces: the files run to tens of MiB.
long long firstDifference(const std::string& a, const std::string& b) {
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    if (!fa || !fb) {
        throw std::runtime_error("cannot read " + (fa ? b : a));
    }
    std::vector<char> pa(1 << 20), pb(1 << 20);
    for (long long offset = 0;;) {
        fa.read(pa.data(), static_cast<std::streamsize>(pa.size()));
        fb.read(pb.data(), static_cast<std::streamsize>(pb.size()));
        const std::size_t na = static_cast<std::size_t>(fa.gcount());
        const std::size_t nb = static_cast<std::size_t>(fb.gcount());
        const auto [ia, ib] =
            std::mismatch(pa.begin(), pa.begin() + static_cast<long>(std::min(na, nb)), pb.begin());
        if (ia != pa.begin() + static_cast<long>(std::min(na, nb)) || na != nb) {
            return offset + (ia - pa.begin());
        }
        if (na == 0) {
            return -1;
        }
        offset += static_cast<long long>(na);
    }
}

// A file written in pieces of about 1 MiB.
class Writer {
public:
    explicit Writer(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {
        if (!out_) {
            throw std::runtime_error("cannot create " + path);
        }
        buffer_.reserve(kPiece + 256);
    }
    Writer& operator<<(std::string_view text) {
        buffer_ += text;
        if (buffer_.size() >= kPiece) {
            flush();
        }
        return *this;
    }
    void close() {
        flush();
        if (!out_.flush()) {
            throw std::runtime_error("cannot write the generated files");
        }
    }

private:
    static constexpr std::size_t kPiece = 1 << 20;
    void flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
    std::ofstream out_;
    std::string buffer_;
};

// A hosts file of `lines` lines as a system's file with a public block list
// pasted in: a few header lines, then "0.0.0.0 hostN.example" lines with a
// tenth on 127.0.0.1 (which the entry lookup cannot rule out by prefix),
// section comments, blank lines, lines ending in CR LF, and a last line
// without a line end. `blocked` is the same with the 68 entries spread through
// it, every fourth one ending in CR LF.
void makeHosts(std::size_t lines, const std::string& unblocked, const std::string& blocked) {
    static constexpr std::string_view kHeader[] = {"# Static table of host names",
                                                   "127.0.0.1\tlocalhost",
                                                   "127.0.1.1\tbenchhost",
                                                   "::1\tlocalhost ip6-localhost ip6-loopback",
                                                   "",
                                                   "# Block list follows"};
    const auto& entries = hushgate::BlockEntries();
    Writer plain(unblocked), withEntries(blocked);
    std::size_t nextEntry = 0;
    std::string line;
    for (std::size_t i = 0; i < lines; ++i) {
        while (nextEntry < entries.size() && (nextEntry + 1) * lines / (entries.size() + 1) == i) {
            withEntries << entries[nextEntry] << (nextEntry % 4 == 3 ? "\r\n" : "\n");
            ++nextEntry;
        }
        const std::size_t j = i - std::size(kHeader);
        if (i < std::size(kHeader)) {
            line = kHeader[i];
        } else if (j % 200 == 0) {
            line = "# ---- part " + std::to_string(j / 200) + " ----";
        } else if (j % 50 == 13) {
            line.clear();
        } else {
            line =
                (j % 10 == 7 ? "127.0.0.1 host" : "0.0.0.0 host") + std::to_string(j) + ".example";
        }
        const std::string_view end = i + 1 == lines ? "" : i % 8 == 5 ? "\r\n" : "\n";
        plain << line << end;
        withEntries << line << end;
    }
    plain.close();
    withEntries.close();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string format(const char* pattern, double value) {
    char text[48];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string mib(double bytes) {
    return format("%.1f MiB", bytes / (1 << 20));
}

std::string withCommas(std::size_t n) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

// One line of the table.
struct Row {
    std::size_t lines = 0;
    std::string op;
    double oursMs = 0, oursRss = 0;
    double yardstickMs = -1, yardstickRss = -1;  // -1: no yardstick (the start)
    // Ours / yardstick: the median of the rounds' own ratios, and the middle
    // half of them (from the lower to the upper quartile), which shows how
    // far a verdict near its target can be trusted.
    double ratio = -1, ratioLow = -1, ratioHigh = -1;
    std::string targets{}, results{};  // for Markdown: each in its column, "; " between
    std::string verdicts{};            // for the plain table: target and result, ", " between
};

std::string ratioText(const Row& row) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2fx (%.2f-%.2f)", row.ratio, row.ratioLow, row.ratioHigh);
    return text;
}

// The operations as both programs are given them.
struct Operation {
    const char* name;
    bool onBlocked;  // input: the file holding the entries
    bool writes;
};
// Every run must exit with 0; for status, that is "blocked".
constexpr Operation kOperations[] = {
    {"status", true, false}, {"block", false, true}, {"unblock", true, true}};

class Bench {
public:
    Bench(std::string measurer, std::string cli, std::string yardstick, std::string dir, int repeat)
        : measurer_(std::move(measurer)),
          cli_(std::move(cli)),
          yardstick_(std::move(yardstick)),
          dir_(std::move(dir)),
          repeat_(repeat),
          work_(dir_ + "/hosts"),
          output_(dir_ + "/output.txt"),
          report_(dir_ + "/report.txt") {}

    // The yardstick lists the entries from the engine's source; a list that
    // went astray would make every comparison below meaningless.
    void checkEntries() {
        std::string expected;
        for (std::string_view entry : hushgate::BlockEntries()) {
            (expected += entry) += '\n';
        }
        const Run run = measured({yardstick_, "entries"});
        if (run.exitCode != 0 || readAll(output_) != expected) {
            throw std::runtime_error(yardstick_ + " lists other block entries than the engine");
        }
    }

    // Small files where the rules are easy to get wrong, and lines that cross
    // the yardstick's 1 MiB buffer, which the generated files may miss: both
    // programs must give the same exit code and leave the same bytes.
    void checkEdges() {
        const std::string entry(hushgate::BlockEntries().front());
        std::string all;
        for (std::string_view e : hushgate::BlockEntries()) {
            (all += e) += '\n';
        }
        const std::string buffer(1 << 20, 'x');  // one yardstick buffer exactly
        const std::string inputs[] = {"",
                                      "\n",
                                      "a",
                                      "a\r",
                                      "\r\n\r\n",
                                      "a\r\n\nb\n\r\nc",
                                      "a\r\r\nb\n",
                                      "a\n" + entry,
                                      "a\r\n" + entry + "\r\nb\n",
                                      entry + " \n" + entry + "\t\n" + entry.substr(1) + "\n",
                                      all + "\n",
                                      "x\n" + all,
                                      buffer + "\n" + entry + "\n",
                                      "a\n" + buffer,
                                      "a\n" + buffer + "yy\r\nb\n",
                                      buffer.substr(5) + "\n" + entry + "\r\n\n"};
        const std::string reference = dir_ + "/edge.yardstick";
        for (std::size_t i = 0; i < std::size(inputs); ++i) {
            for (const Operation& op : kOperations) {
                writeWork(inputs[i]);
                const Run yardstick = measured({yardstick_, op.name, work_});
                fs::rename(work_, reference);
                writeWork(inputs[i]);
                const Run ours = measured({cli_, "--hosts", work_, op.name});
                if (ours.exitCode != yardstick.exitCode || firstDifference(work_, reference) >= 0) {
                    throw std::runtime_error("hushgate-cli " + std::string(op.name) +
                                             " and the yardstick differ on small file " +
                                             std::to_string(i + 1) + " (exit codes " +
                                             std::to_string(ours.exitCode) + " and " +
                                             std::to_string(yardstick.exitCode) + ")");
                }
            }
        }
        fs::remove(reference);
    }

    void runSize(std::size_t lines) {
        const std::string unblocked = dir_ + "/unblocked.src", blocked = dir_ + "/blocked.src";
        makeHosts(lines, unblocked, blocked);

        struct Case {
            const Operation* op;  // null: the start, `hushgate-cli --version`
            bool ours;
            std::vector<std::string> argv;
            std::vector<double> ms, rss;
        };
        std::vector<Case> cases{{nullptr, true, {cli_, "--version"}, {}, {}}};
        for (const Operation& op : kOperations) {
            // The yardstick first: in the unmeasured first round, its files
            // become what every later one is compared with.
            cases.push_back({&op, false, {yardstick_, op.name, work_}, {}, {}});
            cases.push_back({&op, true, {cli_, "--hosts", work_, op.name}, {}, {}});
        }
        for (int r = -1; r < repeat_; ++r) {
            // Every other round backwards, so that no case always follows the same one.
            for (std::size_t k = 0; k < cases.size(); ++k) {
                Case& c = cases[r > 0 && r % 2 ? cases.size() - 1 - k : k];
                const Operation* op = c.op;
                if (op != nullptr) {
                    prepare(op->onBlocked ? blocked : unblocked);
                }
                const Run run = measured(c.argv);
                const std::string what = (c.ours ? "hushgate-cli " : "hushgate-yardstick ") +
                                         std::string(op ? op->name : "--version") + " at " +
                                         withCommas(lines) + " lines";
                if (run.exitCode != 0) {
                    throw std::runtime_error(what + ": exit code " + std::to_string(run.exitCode));
                }
                if (op != nullptr && op->writes) {
                    const std::string reference = dir_ + "/" + op->name + ".yardstick";
                    if (r < 0 && !c.ours) {
                        fs::rename(work_, reference);
                    } else if (long long at = firstDifference(work_, reference); at >= 0) {
                        throw std::runtime_error(what +
                                                 ": the file written differs from the "
                                                 "yardstick's from byte " +
                                                 std::to_string(at));
                    }
                }
                if (r >= 0) {
                    c.ms.push_back(run.cpuMs);
                    c.rss.push_back(run.peakBytes);
                }
            }
        }

        const Case* start = &*std::find_if(cases.begin(), cases.end(),
                                           [](const Case& c) { return c.op == nullptr; });
        // Ours and the yardstick run next to each other in every round; their
        // ratio is taken within each round and the median shown, so that a
        // slow spell of the machine slows both sides of a ratio alike. The
        // start runs first or last in a round, far from most cases: against
        // it, medians are compared.
        const auto ratios = [](const std::vector<double>& ours, const std::vector<double>& other) {
            std::vector<double> each;
            for (std::size_t r = 0; r < ours.size(); ++r) {
                each.push_back(ours[r] / other[r]);
            }
            std::sort(each.begin(), each.end());
            return each;
        };
        const double startMs = median(start->ms);
        rows_.push_back({.lines = lines,
                         .op = "start (--version)",
                         .oursMs = startMs,
                         .oursRss = median(start->rss)});
        for (const Operation& op : kOperations) {
            const auto find = [&](bool ours) {
                return std::find_if(cases.begin(), cases.end(),
                                    [&](const Case& c) { return c.op == &op && c.ours == ours; });
            };
            const Case &ours = *find(true), &yardstick = *find(false);
            Row row{.lines = lines,
                    .op = op.name,
                    .oursMs = median(ours.ms),
                    .oursRss = median(ours.rss),
                    .yardstickMs = median(yardstick.ms),
                    .yardstickRss = median(yardstick.rss),
                    .ratio = median(ratios(ours.ms, yardstick.ms))};
            const std::vector<double> each = ratios(ours.ms, yardstick.ms);
            row.ratioLow = each[each.size() / 4];
            row.ratioHigh = each[each.size() * 3 / 4];
            judge(row, lines <= kStartJudgedUpTo, row.oursMs / startMs, kStartTarget,
                  "<= 1.3x start");
            judge(row, lines >= kRatioJudgedFrom, row.ratio, kRatioTarget, "<= 1.25x yardstick");
            judge(row, lines >= kRssJudgedFrom, row.oursRss / kRssTarget, 1, "RSS <= 16 MiB");
            rows_.push_back(row);
        }
        printPlain(lines, fs::file_size(unblocked), fs::file_size(blocked));
        fs::remove(unblocked);
        fs::remove(blocked);
        for (const Operation& op : kOperations) {
            fs::remove(dir_ + "/" + op.name + ".yardstick");
        }
    }

    void printMarkdown() const {
        std::printf(
            "| lines | operation | ours CPU ms | yardstick CPU ms | ours / yardstick (middle half) "
            "| "
            "ours peak RSS | yardstick peak RSS | target | result |\n"
            "|---:|---|---:|---:|---:|---:|---:|---|---|\n");
        for (const Row& row : rows_) {
            const bool y = row.yardstickMs >= 0;
            std::printf(
                "| %s | %s | %.2f | %s | %s | %s | %s | %s | %s |\n", withCommas(row.lines).c_str(),
                row.op.c_str(), row.oursMs, y ? format("%.2f", row.yardstickMs).c_str() : "",
                y ? ratioText(row).c_str() : "", mib(row.oursRss).c_str(),
                y ? mib(row.yardstickRss).c_str() : "", row.targets.c_str(), row.results.c_str());
        }
    }

    int passed() const { return passed_; }
    int missed() const { return missed_; }

private:
    // A fresh copy of the input, on disk like the file it stands for, so
    // that no run pays for the writeback of another's input.
    void prepare(const std::string& source) {
        fs::copy_file(source, work_, fs::copy_options::overwrite_existing);
        const int fd = ::open(work_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            throw std::runtime_error("cannot sync " + work_ + ": " + std::strerror(errno));
        }
        ::close(fd);
    }

    void writeWork(std::string_view bytes) {
        Writer out(work_);
        out << bytes;
        out.close();
    }

    void judge(Row& row, bool judged, double ratio, double limit, const char* target) {
        if (!judged) {
            return;
        }
        const bool pass = ratio <= limit;
        ++(pass ? passed_ : missed_);
        std::string result = pass ? "PASS" : "MISS";
        if (std::string_view(target).ends_with("start")) {
            result += format(" (%.2fx)", ratio);
        }
        const bool first = row.targets.empty();
        row.targets += (first ? "" : "; ") + std::string(target);
        row.results += (first ? "" : "; ") + result;
        row.verdicts += (first ? "" : ", ") + std::string(target) + " " + result;
    }

    void printPlain(std::size_t lines, std::uintmax_t unblockedSize,
                    std::uintmax_t blockedSize) const {
        std::printf("%s lines (%s bytes; with the entries %s lines, %s bytes), median of %d:\n",
                    withCommas(lines).c_str(), withCommas(unblockedSize).c_str(),
                    withCommas(lines + hushgate::kBlockEntryCount).c_str(),
                    withCommas(blockedSize).c_str(), repeat_);
        std::printf("  %-18s %9s %9s %-18s %10s %10s  %s\n", "operation", "ours ms", "yard ms",
                    " ratio (mid half)", "ours RSS", "yard RSS", "targets");
        for (const Row& row : rows_) {
            if (row.lines != lines) {
                continue;
            }
            const bool y = row.yardstickMs >= 0;
            std::printf("  %-18s %9.2f %9s %18s %10s %10s  %s\n", row.op.c_str(), row.oursMs,
                        y ? format("%.2f", row.yardstickMs).c_str() : "-",
                        y ? ratioText(row).c_str() : "-", mib(row.oursRss).c_str(),
                        y ? mib(row.yardstickRss).c_str() : "-", row.verdicts.c_str());
        }
        std::printf("\n");
        std::fflush(stdout);
    }

    Run measured(const std::vector<std::string>& args) const {
        return measure(measurer_, args, output_, report_);
    }

    std::string measurer_, cli_, yardstick_, dir_;
    int repeat_;
    std::string work_, output_, report_;
    std::vector<Row> rows_;
    int passed_ = 0, missed_ = 0;
};

// A whole number of at least `minimum`; throws on anything else.
std::size_t parseCount(const std::string& text, std::size_t minimum) {
    std::size_t value = 0;
    const char* end = text.data() + text.size();
    auto [stop, err] = std::from_chars(text.data(), end, value);
    if (text.empty() || err != std::errc() || stop != end || value < minimum) {
        throw std::invalid_argument("bad number '" + text + "' (at least " +
                                    std::to_string(minimum) + ")");
    }
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir;
    try {
        std::vector<std::size_t> sizes{20, 10'000, 200'000, 2'000'000};
        int repeat = 5;
        bool markdown = false;
        bool anyCpu = false;
        std::string cli = HUSHGATE_CLI_PATH, yardstick = HUSHGATE_YARDSTICK_PATH;
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            const bool hasValue = i + 1 < argc;
            if (arg == "--help") {
                std::printf("%s\n", kUsage);
                return 0;
            }
            if (arg == "--markdown") {
                markdown = true;
            } else if (arg == "--any-cpu") {
                anyCpu = true;
            } else if (arg == "--repeat" && hasValue) {
                repeat = static_cast<int>(std::min<std::size_t>(parseCount(argv[++i], 1), 1000));
            } else if (arg == "--cli" && hasValue) {
                cli = fs::absolute(argv[++i]).string();
            } else if (arg == "--yardstick" && hasValue) {
                yardstick = fs::absolute(argv[++i]).string();
            } else if (arg == "--sizes" && hasValue) {
                const std::string list = argv[++i];
                sizes.clear();
                for (std::size_t start = 0; start <= list.size();) {
                    const std::size_t comma = std::min(list.find(',', start), list.size());
                    sizes.push_back(parseCount(list.substr(start, comma - start), 1));
                    start = comma + 1;
                }
            } else {
                throw std::invalid_argument("unknown argument " + arg + "\n" + kUsage);
            }
        }
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/hushgate-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create " + pattern + ": " + std::strerror(errno));
        }
        dir = pattern;
        // One processor for the bench and every program it starts: a run that
        // waits for the disk may go on on the other one, with its caches cold,
        // and what that costs depends on where the runs before it were put.
        const int cpu = anyCpu ? -1 : ::sched_getcpu();
        if (cpu >= 0) {
            cpu_set_t one;
            CPU_ZERO(&one);
            CPU_SET(cpu, &one);
            if (::sched_setaffinity(0, sizeof one, &one) != 0) {
                throw std::runtime_error(std::string("cannot keep to one processor: ") +
                                         std::strerror(errno));
            }
            std::printf("hushgate-bench: every run on processor %d (--any-cpu: anywhere)\n", cpu);
        }
        std::printf(
            "hushgate-bench: %s beside %s; files in %s\n"
            "CPU ms = user + sys of the child (wait4); peak RSS = its ru_maxrss\n\n",
            cli.c_str(), yardstick.c_str(), dir.c_str());
        Bench bench(HUSHGATE_MEASURE_PATH, cli, yardstick, dir, repeat);
        bench.checkEntries();
        bench.checkEdges();
        for (std::size_t lines : sizes) {
            bench.runSize(lines);
        }
        if (markdown) {
            bench.printMarkdown();
            std::printf("\n");
        }
        std::printf("Targets: %d PASS, %d MISS\n", bench.passed(), bench.missed());
        fs::remove_all(dir);
        return 0;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "hushgate-bench: %s\n", error.what());
        if (!dir.empty()) {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
        return 1;
    }
}
