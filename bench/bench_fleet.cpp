// Fleet benchmark: 1, 2, 4 and 8 simulated radios paced at 9600 baud, each
// written in full and read back (write --verify) by the fleet, one engine and
// thread per port. Reports the wall time of each count, its ratio to one radio
// (goal: 8 radios within 1.10 x the time of one) and the processor time the
// fleet spends per radio. The radios run in child processes of their own, so
// the figures of this process are the fleet's alone.
//   bench_fleet [--counts 1,2,4,8] [--rt]
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/link/Fleet.h"
#include "core/link/SimulatedRadio.h"

namespace {

using Clock = std::chrono::steady_clock;

Image Pattern()
{
    Image img{};
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return img;
}

// A paced radio in a child process; its device path comes back through a pipe.
struct RadioProcess {
    pid_t pid = -1;
    std::string path;
};

RadioProcess SpawnRadio()
{
    RadioProcess rp;
    int fds[2];
    if (pipe(fds) != 0)
        return rp;
    rp.pid = fork();
    if (rp.pid == 0) {
        ::close(fds[0]);
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGTERM);
        sigprocmask(SIG_BLOCK, &set, nullptr);
        CSimulatedRadio radio;
        std::string err;
        if (!radio.OpenPty(&err))
            _exit(2);
        radio.SetPaced(true);
        radio.Start();
        const std::string line = radio.SlavePath() + "\n";
        if (::write(fds[1], line.data(), line.size()) < 0)
            _exit(2);
        ::close(fds[1]);
        int sig = 0;
        sigwait(&set, &sig);
        radio.Stop();
        _exit(0);
    }
    ::close(fds[1]);
    char buf[256] = {};
    ssize_t n = 0, got = 0;
    while (got < static_cast<ssize_t>(sizeof buf) - 1 && (n = ::read(fds[0], buf + got, sizeof buf - 1 - got)) > 0) {
        got += n;
        if (std::memchr(buf, '\n', static_cast<std::size_t>(got)))
            break;
    }
    ::close(fds[0]);
    rp.path = std::string(buf, static_cast<std::size_t>(got));
    if (!rp.path.empty() && rp.path.back() == '\n')
        rp.path.pop_back();
    return rp;
}

double CpuSeconds(int who)
{
    rusage ru{};
    getrusage(who, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

struct Round {
    int radios = 0;
    double wall = 0;
    double cpu = 0;        // this process (the fleet), seconds
    double threadCpu = 0;  // sum of the ports' threads during their jobs
    double radioCpu = 0;   // the simulated radios' processes
    int verified = 0;
};

Round RunRound(int count)
{
    Round round;
    round.radios = count;
    std::vector<RadioProcess> radios;
    std::vector<std::string> ports;
    for (int i = 0; i < count; ++i) {
        radios.push_back(SpawnRadio());
        ports.push_back(radios.back().path);
    }
    FleetOptions o;
    o.write = true;
    o.verify = true;
    o.image = Pattern();
    o.makePort = [] { return std::make_unique<CSerialPort>(); };

    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    const auto t0 = Clock::now();
    {
        CFleet fleet(ports, o);
        fleet.Start();
        fleet.Join();
        round.wall = std::chrono::duration<double>(Clock::now() - t0).count();
        for (const FleetJob& j : fleet.Jobs()) {
            round.threadCpu += j.cpuSeconds;
            if (j.outcome == FleetOutcome::Verified)
                ++round.verified;
            else
                std::fprintf(stderr, "%s: %d, message %d %s\n", j.port.c_str(), static_cast<int>(j.outcome),
                             j.transfer.messageId, j.transfer.detail.c_str());
        }
    }
    round.cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
    const double child0 = CpuSeconds(RUSAGE_CHILDREN);
    for (const RadioProcess& r : radios) {
        kill(r.pid, SIGTERM);
        waitpid(r.pid, nullptr, 0);
    }
    round.radioCpu = CpuSeconds(RUSAGE_CHILDREN) - child0;
    return round;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts = {1, 2, 4, 8};
    bool rt = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--counts") && i + 1 < argc) {
            counts.clear();
            std::stringstream s(argv[++i]);
            std::string item;
            while (std::getline(s, item, ','))
                if (std::atoi(item.c_str()) > 0)
                    counts.push_back(std::atoi(item.c_str()));
        } else if (!std::strcmp(argv[i], "--rt")) {
            rt = true;
        }
    }
    if (rt) {
        sched_param sp{};
        sp.sched_priority = 50;
        if (sched_setscheduler(0, SCHED_FIFO, &sp) != 0) {
            std::perror("sched_setscheduler");
            rt = false;
        }
    }
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("fleet write --verify, paced at 9600 baud; %ld processors, load average %.2f, scheduling %s\n",
                sysconf(_SC_NPROCESSORS_ONLN), load[0], rt ? "real-time" : "normal");
    std::printf("%7s  %9s  %8s  %14s  %16s  %15s\n", "radios", "wall", "vs 1", "fleet CPU", "CPU per radio",
                "radio sims CPU");
    bool ok = true;
    double one = 0;
    std::vector<Round> rounds;
    for (int n : counts) {
        const Round r = RunRound(n);
        ok = ok && r.verified == n;
        if (n == 1)
            one = r.wall;
        rounds.push_back(r);
        std::printf("%7d  %7.2f s  %8s  %11.3f s  %11.1f ms    %11.3f s%s\n", n, r.wall,
                    one > 0 ? (std::to_string(r.wall / one).substr(0, 5)).c_str() : "-", r.cpu, r.cpu / n * 1000,
                    r.radioCpu, r.verified == n ? "" : "  NOT ALL VERIFIED");
        std::fflush(stdout);
    }
    for (const Round& r : rounds)
        if (r.radios == 8 && one > 0) {
            const double ratio = r.wall / one;
            std::printf(
                "8 radios / 1 radio: %.3f (goal <= 1.10: %s); CPU per radio %.1f ms of %.1f s wall "
                "(%.2f%%), ports' threads %.1f ms\n",
                ratio, ratio <= 1.10 ? "met" : "MISSED", r.cpu / 8 * 1000, r.wall, r.cpu / 8 / r.wall * 100,
                r.threadCpu / 8 * 1000);
        }
    return ok ? 0 : 1;
}
