// Start-up against Qt's own floor: starts the window program with a document,
// a bare maximized QMainWindow with one label (bench_bare_window) and the same
// look built from Qt's stock widgets alone (bench_bare_frame), in turn, several
// times, on the running X display. Every 5 ms it looks whether the
// window has painted (the "first-paint" line both write to stderr under
// PROG_FIRST_PAINT_MARK, gui/app/FirstPaintMark.h) and reads its resident
// memory (VmRSS) at that moment; then it kills the program. Prints the medians
// side by side and their ratios.
//
//   bench_startup [--runs N] [--program PATH] [--bare PATH] [--frame PATH] [--file FILE.dat]
// (--frame "" leaves the same-look row out; bench/startup_wine.sh times the
// Windows builds under Wine through it.)
//
// Settings, backups and caches go to a temporary home, the same for both.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto kPoll = std::chrono::milliseconds(5);
constexpr auto kTimeout = std::chrono::seconds(20);

struct Sample {
    double ms = 0;
    double rssMiB = 0;   // VmRSS: everything resident, the libraries' pages too
    double anonMiB = 0;  // RssAnon: the process's own memory
};

// A "Name:   1234 kB" line of /proc/PID/status, in MiB.
double StatusMiB(pid_t pid, const std::string& name)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(name + ":", 0) == 0)
            return std::strtod(line.c_str() + name.size() + 1, nullptr) / 1024.0;
    return 0;
}

// One start: the time from fork to the poll that saw the first paint, and the memory then.
bool StartOnce(const std::vector<std::string>& argv, Sample& out, std::string& error)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDERR_FILENO);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        std::fprintf(stderr, "cannot run %s: %s\n", args[0], std::strerror(errno));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        error = std::strerror(errno);
        return false;
    }
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    std::string text;
    bool painted = false, ended = false;
    for (Clock::time_point tick = start + kPoll; !painted && !ended && tick - start < kTimeout; tick += kPoll) {
        std::this_thread::sleep_until(tick);
        char buf[4096];
        for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
            text.append(buf, static_cast<size_t>(n));
        if (text.find("first-paint") != std::string::npos) {  // a Windows program ends it with CR LF
            out.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            out.rssMiB = StatusMiB(pid, "VmRSS");
            out.anonMiB = StatusMiB(pid, "RssAnon");
            painted = true;
        } else {
            ended = waitpid(pid, nullptr, WNOHANG) == pid;
        }
    }
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(fds[0]);
    if (!painted)
        error = (ended ? argv[0] + " ended before it painted" : argv[0] + " did not paint in 20 s") +
                (text.empty() ? std::string() : ":\n" + text);
    return painted;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Median, minimum and maximum.
struct Figure {
    double median, min, max;
};

Figure Summarise(const std::vector<Sample>& samples, double Sample::*field)
{
    std::vector<double> v;
    for (const Sample& s : samples)
        v.push_back(s.*field);
    return {Median(v), *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end())};
}

void PrintRow(const char* what, const std::vector<Sample>& samples)
{
    const Figure ms = Summarise(samples, &Sample::ms), rss = Summarise(samples, &Sample::rssMiB),
                 anon = Summarise(samples, &Sample::anonMiB);
    std::printf("%-26s %6.0f [%4.0f-%4.0f] %7.1f [%4.1f-%4.1f] %7.1f [%4.1f-%4.1f]\n", what, ms.median, ms.min, ms.max,
                rss.median, rss.min, rss.max, anon.median, anon.min, anon.max);
}
}  // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe").parent_path();
    std::string program = (self / "Program").string();
    std::string bare = (self / "bench_bare_window").string();
    std::string frame = (self / "bench_bare_frame").string();
    std::string file = PROG_SOURCE_DIR "/res/samples/sample.dat";
    int runs = 8;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--runs" && hasValue)
            runs = std::atoi(argv[++i]);
        else if (a == "--program" && hasValue)
            program = argv[++i];
        else if (a == "--bare" && hasValue)
            bare = argv[++i];
        else if (a == "--frame" && hasValue)
            frame = argv[++i];
        else if (a == "--file" && hasValue)
            file = argv[++i];
        else {
            std::fprintf(stderr,
                         "usage: %s [--runs N] [--program PATH] [--bare PATH] [--frame PATH] [--file FILE.dat]\n",
                         argv[0]);
            return 2;
        }
    }
    if (runs < 1 || !std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_startup: needs an X display (DISPLAY) and at least one run\n");
        return 2;
    }

    char home[] = "/tmp/bench_startup.XXXXXX";
    if (!mkdtemp(home)) {
        std::perror("bench_startup: mkdtemp");
        return 1;
    }
    setenv("HOME", home, 1);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        unsetenv(name);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("PROG_FIRST_PAINT_MARK", "1", 1);

    const std::vector<std::string> programArgs{program, file}, bareArgs{bare}, frameArgs{frame};
    std::vector<Sample> programRuns, bareRuns, frameRuns;
    std::string error;
    bool ok = true;
    // One start of each first, not counted: it fills the file cache and the temporary home.
    for (int i = -1; ok && i < runs; ++i) {
        Sample p, b, f;
        ok = StartOnce(programArgs, p, error) && StartOnce(bareArgs, b, error) &&
             (frame.empty() || StartOnce(frameArgs, f, error));
        if (ok && i >= 0) {
            programRuns.push_back(p);
            bareRuns.push_back(b);
            if (!frame.empty())
                frameRuns.push_back(f);
        }
    }
    std::filesystem::remove_all(home);
    if (!ok) {
        std::fprintf(stderr, "bench_startup: %s\n", error.c_str());
        return 1;
    }

    std::printf("Start-up to the first paint, %d runs each, polled every 5 ms: median [min-max]\n", runs);
    std::printf("%-26s %18s %19s %19s\n", "", "time (ms)", "VmRSS (MiB)", "RssAnon (MiB)");
    PrintRow("Program + document", programRuns);
    PrintRow("bare QMainWindow + label", bareRuns);
    if (!frame.empty())
        PrintRow("same look, Qt widgets only", frameRuns);
    const auto median = [](const std::vector<Sample>& v, double Sample::*f) { return Summarise(v, f).median; };
    const auto ratio = [&](const char* what, const std::vector<Sample>& x, const std::vector<Sample>& y) {
        std::printf("%-26s %8.2f x %+17.1f %+19.1f\n", what, median(x, &Sample::ms) / median(y, &Sample::ms),
                    median(x, &Sample::rssMiB) - median(y, &Sample::rssMiB),
                    median(x, &Sample::anonMiB) - median(y, &Sample::anonMiB));
    };
    ratio("Program against bare", programRuns, bareRuns);
    if (!frame.empty()) {
        ratio("same look against bare", frameRuns, bareRuns);
        ratio("Program against same look", programRuns, frameRuns);
    }
    return 0;
}
