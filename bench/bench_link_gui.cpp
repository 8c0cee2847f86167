// Event-loop responsiveness during transfers started from the window: the
// longest gap a 10 ms timer sees while the Process window runs a paced read,
// write and write with verify at 9600 baud and while a silent radio is tried
// 15 times; also the wall time of unpaced window reads and writes.
//   bench_link_gui [--no-paced]
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
#include "gui/link/LinkWorker.h"
#include "gui/link/ProcessDlg.h"
#include "core/link/SimulatedRadio.h"
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

Figures RunGui(bool write, bool paced, const RadioFaults& faults, bool verify = false)
{
    Figures fig;
    CSimulatedRadio radio;
    std::string err;
    if (!radio.OpenPty(&err)) {
        std::fprintf(stderr, "openpty: %s\n", err.c_str());
        return fig;
    }
    Image memory{};
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<std::uint8_t>(i * 31 + 7);
    radio.SetMemory(memory);
    radio.SetPaced(paced);
    radio.SetFaults(faults);
    radio.Start();

    int messages = 0;
    SetMessageHook([&](const MessageRequest& r) {
        ++messages;
        if (!(r.buttons & QMessageBox::Cancel))
            std::fprintf(stderr, "message: %s %s\n", qPrintable(r.text), qPrintable(r.detail));
        return (r.buttons & QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
    });

    CProgramDoc doc;
    doc.OnNewDocument();
    auto view = std::make_unique<CProgramView>(&doc);
    view->resize(900, 500);
    view->show();
    view->OnInitialUpdate();
    auto link = std::make_unique<CLinkController>(&doc, view.get());
    link->Session()->m_strPort = QString::fromStdString(radio.SlavePath());
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
    radio.Stop();
    CTransferWorker::WaitForAll();

    fig.wire = std::chrono::duration<double>(CSimulatedRadio::kByteTime).count() *
               static_cast<double>(radio.BytesReceived() + radio.BytesSent());
    std::sort(gaps.begin(), gaps.end());
    fig.ticks = static_cast<int>(gaps.size());
    if (!gaps.empty()) {
        fig.maxGap = gaps.back();
        fig.p99Gap = gaps[gaps.size() * 99 / 100];
    }
    fig.messages = messages;
    // A read replaces the image; ImageToGrid then rewrites only the selected
    // band record from Program.ini.
    Image expected = memory;
    std::copy_n(doc.m_image.begin() + mem::kSelectedBand, 3, expected.begin() + mem::kSelectedBand);
    const bool silentRun = faults.silent;
    const std::uint64_t frames = radio.FrameLog().size();
    fig.ok = silentRun ? messages == 1
             : write   ? messages == 0 && frames == (verify ? 1023u + 1024u : 1023u)
                       : (messages == 0 && doc.m_image == expected);
    SetMessageHook({});
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
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--no-paced"))
            paced = false;
    QApplication app(argc, argv);
    // Reads keep their backups in a folder of the run's own.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    theIniFile.SetString("Setup", "AppName", "BenchLinkGui");
    theIniFile.SetString("Setup", "Type1", "TR-5V");
    theIniFile.SetString("Setup", "Field1", "136-174MHz");
    CMemorySettingsStore store;
    SetAppSettingsStore(&store);

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
