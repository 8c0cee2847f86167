// Link benchmark: a full read and a full write over a pseudo-terminal against
// the simulated radio, unpaced and paced at the real 9600-baud wire rate.
//   bench_link [--runs N] [--no-paced] [--rt]
// --rt asks for real-time scheduling (root or CAP_SYS_NICE) so a busy machine's
// other work does not show up in the paced ratios.
#include <algorithm>
#include <sched.h>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/link/SerialPort.h"
#include "core/link/SimulatedRadio.h"
#include "core/link/Transfer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct QuietObserver : ITransferObserver {
    void Range(int, int) override {}
    void Progress(int) override {}
    bool IsCancelled() override { return false; }
    bool PromptRetry(int, const TransferResult&) override { return false; }
    void Message(int id, const std::string& detail) override
    {
        std::fprintf(stderr, "message %d %s\n", id, detail.c_str());
    }
};

struct Run {
    double wall = 0;  // seconds
    double wire = 0;  // seconds the exchanged bytes take at 9600 baud
    bool ok = false;
};

Run Transfer(bool write, bool paced)
{
    Run run;
    CSimulatedRadio radio;
    std::string err;
    if (!radio.OpenPty(&err)) {
        std::fprintf(stderr, "openpty: %s\n", err.c_str());
        return run;
    }
    Image img{};
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i * 31 + 7);
    radio.SetMemory(img);
    radio.SetPaced(paced);
    radio.Start();
    CPosixSerialPort port;
    QuietObserver obs;
    CTransferEngine engine(port, obs);
    Image buf{};
    auto t0 = Clock::now();
    TransferResult r = write ? engine.Write(radio.SlavePath(), img) : engine.Read(radio.SlavePath(), buf);
    run.wall = std::chrono::duration<double>(Clock::now() - t0).count();
    radio.Stop();
    run.ok = r.Completed() && (write || buf == img);
    run.wire = std::chrono::duration<double>(CSimulatedRadio::kByteTime).count() *
               static_cast<double>(radio.BytesReceived() + radio.BytesSent());
    return run;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    bool paced = true;
    bool rt = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--no-paced"))
            paced = false;
        else if (!std::strcmp(argv[i], "--rt"))
            rt = true;
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
    std::printf("scheduling %s, load average %.2f\n", rt ? "real-time (SCHED_FIFO 50)" : "normal", load[0]);
    bool allOk = true;

    std::printf("(a) unpaced, pseudo-terminal, median of %d runs\n", runs);
    for (bool write : {false, true}) {
        std::vector<double> walls;
        for (int i = 0; i < runs; ++i) {
            Run r = Transfer(write, false);
            allOk = allOk && r.ok;
            walls.push_back(r.wall);
        }
        std::printf("    full %-5s  %7.1f ms  (min %.1f, max %.1f)\n", write ? "write" : "read", Median(walls) * 1000,
                    *std::min_element(walls.begin(), walls.end()) * 1000,
                    *std::max_element(walls.begin(), walls.end()) * 1000);
    }

    if (paced) {
        std::printf("(b) paced at 9600 baud (10 bits per byte, %.4f ms), one run each\n",
                    std::chrono::duration<double, std::milli>(CSimulatedRadio::kByteTime).count());
        for (bool write : {false, true}) {
            Run r = Transfer(write, true);
            allOk = allOk && r.ok;
            const double ratio = r.wall / r.wire;
            const double goal = write ? 1.10 : 1.03;
            std::printf("    full %-5s  wall %6.2f s  wire %6.2f s  ratio %.4f  (goal <= %.2f: %s)%s\n",
                        write ? "write" : "read", r.wall, r.wire, ratio, goal, ratio <= goal ? "met" : "MISSED",
                        r.ok ? "" : "  TRANSFER FAILED");
        }
    }

    // (c) The event-loop stall needs the window's transfer code: bench_link_gui measures it.
    std::printf("(c) GUI event-loop stall: run bench_link_gui\n");

    return allOk ? 0 : 1;
}
