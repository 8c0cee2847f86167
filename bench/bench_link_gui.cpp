// Event-loop responsiveness during transfers started from the window: the
// longest gap a 10 ms timer sees while the Process window runs a paced read,
// write and write with verify at 9600 baud and while a silent radio is tried
// 15 times; also the wall time of unpaced window reads and writes.
//   bench_link_gui [--no-paced]
//   bench_link_gui --port PORT
// --port times the window's paced write, write with verify and read through a
// real port against "progtool simulate --pace" (on Windows the port Wine maps
// to the Linux simulated radio), beside the core's own transfer of the same
// bytes, whose count gives the wire's time.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "gui/app/AppContext.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/MessageBox.h"
#include "core/app/SettingsStore.h"
#include "gui/editor/ProgramView.h"
#include "gui/link/LinkController.h"
#include "gui/link/LinkSession.h"
#include "gui/link/TransferWorker.h"
#include "gui/link/ProcessDlg.h"
#include "core/link/Protocol.h"
#include "core/link/SerialPort.h"
#include "core/link/SimulatedRadio.h"
#include "core/link/Transfer.h"
#include "gui/radio/ProgramDoc.h"

namespace {

struct Figures {
    double wall = 0;    // seconds
    double wire = 0;    // seconds of the exchanged bytes at 9600 baud
    qint64 maxGap = 0;  // ms between two ticks of the 10 ms timer
    qint64 p99Gap = 0;
    int ticks = 0;
    int messages = 0;
    bool ok = false;
};

Image Pattern()
{
    Image memory{};
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<std::uint8_t>(i * 31 + 7);
    return memory;
}

// One read or write started from the window's Read or Write on port, the way
// a user starts it: the Process window's OK. doc holds what is written, and
// what was read afterwards.
Figures RunWindow(CProgramDoc& doc, const QString& port, bool write, bool verify)
{
    Figures fig;
    int messages = 0;
    SetMessageHook([&](const MessageRequest& r) {
        ++messages;
        if (!(r.buttons & QMessageBox::Cancel))
            std::fprintf(stderr, "message: %s %s\n", qPrintable(r.text), qPrintable(r.detail));
        return (r.buttons & QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
    });
    auto view = std::make_unique<CProgramView>(&doc);
    view->resize(900, 500);
    view->show();
    view->OnInitialUpdate();
    auto link = std::make_unique<CLinkController>(&doc, view.get());
    link->Session()->m_strPort = port;
    CProcessDlg* dlg = link->ProcessDlg();

    std::vector<qint64> gaps;
    QElapsedTimer clock;
    qint64 last = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed() / 1000000;
        gaps.push_back(now - last);
        last = now;
    });
    if (write)
        link->OnWrite();
    else
        link->OnRead();
    // The write alone, or with its read-back; never the backup read before it.
    dlg->BackupFirstBox()->setChecked(false);
    dlg->VerifyBox()->setChecked(verify);
    clock.start();
    timer.start(10);
    dlg->OkButton()->click();
    while (dlg->IsWindow())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    fig.wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    timer.stop();
    CTransferWorker::WaitForAll();
    std::sort(gaps.begin(), gaps.end());
    fig.ticks = static_cast<int>(gaps.size());
    if (!gaps.empty()) {
        fig.maxGap = gaps.back();
        fig.p99Gap = gaps[gaps.size() * 99 / 100];
    }
    fig.messages = messages;
    fig.ok = messages == 0;
    SetMessageHook({});
    return fig;
}

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
    std::uint64_t bytes = 0;
};

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

// The wire's time of a whole read or write: the core's transfer of the same
// frames, its bytes counted.
double WireTime(const std::string& port, bool write, const Image& image)
{
    CSerialPort real;
    CountingPort counting(real);
    QuietObserver obs;
    CTransferEngine engine(counting, obs);
    Image buf = image;
    const TransferResult r = write ? engine.Write(port, image) : engine.Read(port, buf);
    if (!r.Completed())
        return 0;
    return std::chrono::duration<double>(CSimulatedRadio::kByteTime).count() * static_cast<double>(counting.bytes);
}

void Print(const char* name, const Figures& f, bool ratio);

int OverPort(const QString& port)
{
    const std::string device = port.toStdString();
    std::printf("the window's transfers through %s against a radio answering at 9600 baud, one run each\n",
                qPrintable(port));
    const double readWire = WireTime(device, false, {});
    const double writeWire = WireTime(device, true, Pattern());
    if (readWire <= 0 || writeWire <= 0) {
        std::fprintf(stderr, "bench_link_gui: no radio answers on %s\n", qPrintable(port));
        return 1;
    }
    CProgramDoc written;
    written.OnNewDocument();
    written.LoadImage(Pattern());
    Figures w = RunWindow(written, port, true, false);
    w.wire = writeWire;
    Print("window write, paced 9600 baud", w, true);
    Figures wv = RunWindow(written, port, true, true);
    wv.wire = writeWire + readWire;  // the write, then the read that checks it
    Print("window write + verify, paced 9600 baud", wv, true);
    CProgramDoc read;
    read.OnNewDocument();
    Figures r = RunWindow(read, port, false, false);
    r.wire = readWire;
    r.ok = r.ok && std::equal(written.GetImage().begin(), written.GetImage().begin() + proto::kLastWriteAddress + 6,
                              read.GetImage().begin());
    Print("window read, paced 9600 baud", r, true);
    return w.ok && wv.ok && r.ok ? 0 : 1;
}

Figures RunGui(bool write, bool paced, const RadioFaults& faults, bool verify = false)
{
    CSimulatedRadio radio;
    std::string err;
    if (!radio.OpenPty(&err)) {
        std::fprintf(stderr, "openpty: %s\n", err.c_str());
        return {};
    }
    const Image memory = Pattern();
    radio.SetMemory(memory);
    radio.SetPaced(paced);
    radio.SetFaults(faults);
    radio.Start();

    CProgramDoc doc;
    doc.OnNewDocument();
    Figures fig = RunWindow(doc, QString::fromStdString(radio.SlavePath()), write, verify);
    radio.Stop();
    fig.wire = std::chrono::duration<double>(CSimulatedRadio::kByteTime).count() *
               static_cast<double>(radio.BytesReceived() + radio.BytesSent());
    // A read replaces the image; ImageToGrid then rewrites only the selected
    // band record from Program.ini.
    Image expected = memory;
    std::copy_n(doc.GetImage().begin() + mem::kSelectedBand, 3, expected.begin() + mem::kSelectedBand);
    const std::uint64_t frames = radio.FrameLog().size();
    fig.ok = faults.silent ? fig.messages == 1
             : write       ? fig.messages == 0 && frames == (verify ? 1023u + 1024u : 1023u)
                           : (fig.messages == 0 && doc.GetImage() == expected);
    return fig;
}

void Print(const char* name, const Figures& f, bool ratio)
{
    std::printf("%-34s wall %7.3f s", name, f.wall);
    if (ratio)
        std::printf("  wire %7.3f s  ratio %.4f", f.wire, f.wire > 0 ? f.wall / f.wire : 0.0);
    std::printf("  ticks %5d  longest gap %3lld ms  p99 %3lld ms  messages %d  %s\n", f.ticks,
                static_cast<long long>(f.maxGap), static_cast<long long>(f.p99Gap), f.messages, f.ok ? "ok" : "NOT OK");
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bool paced = true;
    QString port;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--no-paced"))
            paced = false;
        else if (!std::strcmp(argv[i], "--port") && i + 1 < argc)
            port = QString::fromLocal8Bit(argv[++i]);
    }
    QApplication app(argc, argv);
    // Reads keep their backups in a folder of the run's own.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    theIniFile.SetString("Setup", "AppName", "BenchLinkGui");
    theIniFile.SetString("Setup", "Type1", "TR-5V");
    theIniFile.SetString("Setup", "Field1", "136-174MHz");
    CMemorySettingsStore store;
    SetAppSettingsStore(&store);
    if (!port.isEmpty()) {
        const int status = OverPort(port);
        SetAppSettingsStore(nullptr);
        return status;
    }
#ifdef _WIN32
    std::fprintf(stderr,
                 "usage: bench_link_gui --port COMn (the simulated radio serves a pseudo-terminal on Linux only)\n");
    return 2;
#endif

    Print("window read, unpaced", RunGui(false, false, {}), false);
    Print("window write, unpaced", RunGui(true, false, {}), false);
    Print("window write + verify, unpaced", RunGui(true, false, {}, true), false);
    if (paced) {
        Print("window read, paced 9600 baud", RunGui(false, true, {}), true);
        Print("window write, paced 9600 baud", RunGui(true, true, {}), true);
        Print("window write + verify, paced 9600 baud", RunGui(true, true, {}, true), true);
    }
    RadioFaults silent;
    silent.silent = true;
    Print("silent radio, 15 attempts + prompt", RunGui(false, false, silent), false);
    SetAppSettingsStore(nullptr);
    return 0;
}
