// Link benchmark: a full read and a full write over a pseudo-terminal against
// the simulated radio, unpaced and paced at the real 9600-baud wire rate.
//   bench_link [--runs N] [--no-paced] [--rt] [--trace-memory]
//   bench_link --port PORT
// --rt asks for real-time scheduling (root or CAP_SYS_NICE) so a busy machine's
// other work does not show up in the paced ratios. --port measures the paced
// write and read through PORT instead, against a radio served there by
// "progtool simulate --pace" (the Windows build, with the port mapped by Wine).
// --trace-memory traces every transfer into memory, as progtool's transfers do
// (for the support report of a failed handshake), to show what that costs.
#include <algorithm>
#ifndef _WIN32
#include <sched.h>
#endif
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "core/link/Protocol.h"
#include "core/link/SerialPort.h"
#include "core/link/SimulatedRadio.h"
#include "core/link/Trace.h"
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

// Counts the bytes both ways, for the time they take on the wire.
struct CountingPort : ISerialPort {
    explicit CountingPort(ISerialPort& port) : port(port) {}
    bool Open(const std::string& device) override { return port.Open(device); }
    bool IsOpen() const override { return port.IsOpen(); }
    void Close() override { port.Close(); }
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override
    {
        const bool ok = port.Read(buf, n, got);
        bytes += got;
        return ok;
    }
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override
    {
        const bool ok = port.Write(buf, n, written);
        bytes += written;
        return ok;
    }
    void PurgeAbort() override { port.PurgeAbort(); }
    void PurgeClear() override { port.PurgeClear(); }
    bool IsLost() const override { return port.IsLost(); }
    std::string ErrorText() const override { return port.ErrorText(); }
    std::string DevicePath() const override { return port.DevicePath(); }

    ISerialPort& port;
    std::size_t bytes = 0;
};

Image Pattern()
{
    Image img{};
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i * 31 + 7);
    return img;
}

// A paced write of the pattern to the radio on `device`, then a read that must
// give it back (but for the bytes a write leaves in the radio).
int OverPort(const std::string& device)
{
    const double byteTime = std::chrono::duration<double>(CSimulatedRadio::kByteTime).count();
    const Image img = Pattern();
    bool allOk = true;
    std::printf("paced through %s against a radio answering at 9600 baud, one run each\n", device.c_str());
    for (bool write : {true, false}) {
        CSerialPort real;
        CountingPort port(real);
        QuietObserver obs;
        CTransferEngine engine(port, obs);
        Image buf{};
        const auto t0 = Clock::now();
        const TransferResult r = write ? engine.Write(device, img) : engine.Read(device, buf);
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const bool ok = r.Completed() &&
                        (write || std::equal(img.begin(), img.begin() + proto::kLastWriteAddress + 6, buf.begin()));
        allOk = allOk && ok;
        const double wire = byteTime * static_cast<double>(port.bytes);
        std::printf("    full %-5s  wall %6.2f s  wire %6.2f s  ratio %.4f  (goal <= 1.05: %s)%s\n",
                    write ? "write" : "read", wall, wire, wall / wire, wall / wire <= 1.05 ? "met" : "MISSED",
                    ok ? "" : "  TRANSFER FAILED");
    }
    return allOk ? 0 : 1;
}

#ifndef _WIN32
bool g_traceMemory = false;

Run Transfer(bool write, bool paced)
{
    Run run;
    CSimulatedRadio radio;
    std::string err;
    if (!radio.OpenPty(&err)) {
        std::fprintf(stderr, "openpty: %s\n", err.c_str());
        return run;
    }
    const Image img = Pattern();
    radio.SetMemory(img);
    radio.SetPaced(paced);
    radio.Start();
    CSerialPort serial;
    std::ostringstream memory;
    CTracingPort traced(serial, memory, {"bench_link"});
    ISerialPort& port = g_traceMemory ? static_cast<ISerialPort&>(traced) : serial;
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
#endif

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "--port"))
            return OverPort(argv[i + 1]);
#ifdef _WIN32
    std::fprintf(stderr,
                 "usage: bench_link --port COMn (the simulated radio serves a pseudo-terminal on Linux only)\n");
    return 2;
#else
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
        else if (!std::strcmp(argv[i], "--trace-memory"))
            g_traceMemory = true;
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
    std::printf("scheduling %s, load average %.2f%s\n", rt ? "real-time (SCHED_FIFO 50)" : "normal", load[0],
                g_traceMemory ? ", every transfer traced into memory" : "");
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
#endif
}
