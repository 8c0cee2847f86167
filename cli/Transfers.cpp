#include "cli/Transfers.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>

#include "cli/Args.h"
#include "cli/FileChecks.h"
#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "cli/TransferTrace.h"
#include "core/app/Globals.h"
#include "core/app/SupportState.h"
#include "core/files/FileIO.h"
#include "core/link/Ports.h"
#include "core/link/SerialPort.h"
#include "core/link/Trace.h"
#include "core/link/Transfer.h"
#include "core/link/TransferText.h"
#include "core/platform/Console.h"
#include "core/platform/Files.h"

namespace cli {

namespace {

// --trace: every transfer of the command goes there. Opened without waiting
// for a FIFO's reader; a write that fails is remembered, not lost silently.
struct Trace {
    std::string path;
    int fd = -1;
    std::unique_ptr<CCheckedFdBuf> buffer;
    std::unique_ptr<std::ostream> stream;
    bool ended = false;
    std::string lost;  // why it could not be written, once ended
};
Trace g_trace;

// The Process window without a window: progress on stderr, no questions.
class CCliObserver : public ITransferObserver {
public:
    CCliObserver(bool write, int retries) : m_bWrite(write), m_nRetries(retries), m_bTty(IsTerminal(StdStream::Err)) {}

    void Range(int, int) override { m_start = Clock::now(); }
    void Progress(int) override {}
    void Frames(int done, int total) override
    {
        m_nFrames = done;
        m_nFramesTotal = total;
        if (!m_bTty)
            return;
        const auto now = Clock::now();
        if (done < total && now - m_lastDraw < std::chrono::milliseconds(100))
            return;
        m_lastDraw = now;
        Draw(now);
    }
    bool IsCancelled() override { return Interrupted(); }
    bool PromptRetry(int, const TransferResult& sofar) override
    {
        if (m_nRetries <= 0)
            return false;
        --m_nRetries;
        EndLine();
        std::cerr << HandshakeFaultText(sofar, g_bChinese != 0) << Tr("; trying again (", "; 再试一次 (还剩 ")
                  << m_nRetries << Tr(" more series left)\n", " 轮)\n");
        return true;
    }
    void Message(int, const std::string&) override {}  // the result carries it

    void EndLine()
    {
        if (m_bDrawn)
            std::cerr << "\n";
        m_bDrawn = false;
    }
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }

private:
    using Clock = std::chrono::steady_clock;
    void Draw(Clock::time_point now)
    {
        const int span = m_nFramesTotal, done = m_nFrames;
        const int width = 30;
        const int fill = span > 0 ? done * width / span : width;
        const double secs = std::chrono::duration<double>(now - m_start).count();
        const double rate = secs > 0 ? done * 8.0 / secs : 0;  // bytes per second
        char left[32] = "--:--";
        if (done > 0 && span > done) {
            const int s = static_cast<int>(secs * (span - done) / done + 0.5);
            std::snprintf(left, sizeof left, "%d:%02d", s / 60, s % 60);
        } else if (done >= span) {
            std::snprintf(left, sizeof left, "0:00");
        }
        std::fprintf(stderr,
                     Tr("\r%s [%s%s] %4d/%d frames  %6.0f B/s  %s left ", "\r%s [%s%s] %4d/%d 帧  %6.0f B/s  剩余 %s "),
                     m_bWrite ? Tr("write", "写入") : Tr("read ", "读取"),
                     std::string(static_cast<std::size_t>(fill), '#').c_str(),
                     std::string(static_cast<std::size_t>(width - fill), '.').c_str(), done, span, rate, left);
        std::fflush(stderr);
        m_bDrawn = true;
    }

    bool m_bWrite;
    int m_nRetries;
    bool m_bTty;
    bool m_bDrawn = false;
    int m_nFrames = 0, m_nFramesTotal = 0;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastDraw{};
};

}  // namespace

bool RunTransfer(bool write, const ResolvedPort& port, Image& image, int retries)
{
    if (const std::string unmapped = UnmappedComNameText(port.name, false); !unmapped.empty()) {
        Error(unmapped + Tr(" (progtool ports lists them)", " (progtool ports 列出它们)"));
        return false;
    }
    CCliObserver observer(write, retries);
    TransferResult r;
    std::string trace;
    {
        // A closed terminal (SIGHUP) stops the transfer as Ctrl+C does: the
        // port is released and no partial file is written.
        const CInterruptGuard interrupt;
        // Traced into memory always (and into --trace's file): a failed
        // handshake's record is kept for a support report.
        CTransferTracePort serial(
            std::make_unique<CSerialPort>(), g_trace.stream.get(),
            {std::string("progtool ") + (write ? "write to " : "read from ") + port.name + " (" + port.device + ")"});
        CTransferEngine engine(serial, observer);
        r = write ? engine.Write(port.device, image) : engine.Read(port.device, image);
        observer.EndLine();
        trace = serial.Text();
    }

    // The name as given, not COM Setup's label: what the user typed.
    const std::string where = port.name + (port.device != port.name ? " (" + port.device + ")" : std::string());
    // Kept for a support report; a failure to keep it fails nothing.
    const auto record = [&](const std::string& failure) {
        RecordTransferResult(write, where, failure.empty(), failure);
    };
    if (r.Completed()) {
        record("");
        char secs[32];
        std::snprintf(secs, sizeof secs, "%.1f", observer.Seconds());
        Note(std::string(write ? Tr("wrote the image to the radio on ", "已将映像写入电台, 端口 ")
                               : Tr("read the radio's memory on ", "已读取电台数据, 端口 ")) +
             where + Tr(" in ", ", 用时 ") + secs + " s");
        return true;
    }
    const bool zh = g_bChinese != 0;
    const TransferPart part = write ? TransferPart::Write : TransferPart::Read;
    // A write stopped in its data phase leaves the radio with part of each memory.
    const std::string partly = write && r.dataPhase ? "; " + PartlyWrittenText(zh).piece : "";
    if (r.outcome == TransferOutcome::Cancelled && r.messageId != IDS_COMM_ERROR) {
        const std::string cancelled = CancelledText(r, part, port.name, zh).piece + partly;
        record(cancelled);
        Error(where + ": " + cancelled);
        return false;
    }
    std::string text = where + ": " + MessageText(r.messageId);
    if (!r.detail.empty())
        text += " (" + r.detail + ")";
    if (!r.dataPhase && r.handshakeFault != HandshakeFault::None)
        text += "; " + HandshakeFaultText(r, g_bChinese != 0);
    else if (r.messageId == IDS_PROGRAM_INTERRUPT || r.dataPhase)
        text += "; " + StoppedText(r, part, zh).piece;
    record(text.substr(where.size() + 2) + partly);
    // A port that cannot be opened is the doctor's to explain (missing, busy, permission).
    if (r.messageId == IDS_OPEN_PORT_FAIL) {
        Error(text + "; " + DoctorHint(port.name));
        return false;
    }
    if (!HandshakeFailed(r)) {
        Error(text + partly);
        return false;
    }
    Error(text + "; " + DoctorHint(port.name));
    if (const std::string kept = KeepHandshakeTrace(trace); !kept.empty())
        Note(KeptTraceNote(kept));
    return false;
}

bool StartTrace(const Args& args, const std::vector<std::string>& files, const std::vector<std::string>& ports)
{
    const std::string path = args.Value("--trace");
    if (!args.Has("--trace"))
        return true;
    RefuseStdoutDash(path, "--trace");
    auto refuse = [&](const std::string& why) {
        Error(why + Tr("; the serial trace cannot be written, nothing was sent", "; 无法写入串口记录, 未发送任何数据"));
        return false;
    };
    if (path.empty())
        return refuse(Tr("--trace \"\": no file named", "--trace \"\": 未指定文件"));
    // Into the radio's own port, a device or a FIFO the trace would go astray.
    if (const std::string why = TraceOutputProblem(path, ports); !why.empty())
        return refuse("--trace " + why);
    // A trace over the image it sends (or the file a read saves) would destroy it.
    for (const std::string& f : files)
        if (SameFile(path, f))
            return refuse("--trace " + path + Tr(": the same file as ", ": 与 ") + f +
                          Tr(", which the command reads or writes", " 是同一文件, 命令要读取或写入它"));
    // The file standard output or error goes to (--trace /dev/stdout with
    // stdout redirected): the trace and the command's own words would
    // overwrite each other.
    if (const platform::FileInfo target = platform::Info(path); target.type == platform::FileType::Regular)
        for (const int stream : {1, 2}) {
            const platform::FileInfo st = platform::StreamInfo(stream);
            if (st.type == platform::FileType::Regular && st.id == target.id)
                return refuse(
                    "--trace " + path +
                    (stream == 1
                         ? Tr(": the file the command's standard output goes to", ": 是命令的标准输出所写入的文件")
                         : Tr(": the file the command's standard error goes to", ": 是命令的标准错误所写入的文件")));
        }
    // Kept as every save of the tool keeps it, also from root.
    if (const std::string why = ReadOnlyFileReason(path); !why.empty())
        return refuse("--trace " + path + ": " + why + Tr("; make it writable (", "; 请使其可写 (") +
                      platform::MakeWritableHint(g_bChinese != 0) + Tr(") or trace elsewhere", ") 或记录到别处"));
    // The trace replaces the file: only an earlier trace or other text, never
    // a radio image, a PDF or a program named by mistake.
    if (const FileKind kind = ExistingFileKind(path); kind == FileKind::Binary || kind == FileKind::Pdf)
        return refuse("--trace " + path +
                      Tr(": the file holds other content than a serial trace (", ": 该文件的内容不是串口记录 (") +
                      (kind == FileKind::Pdf ? Tr("a PDF", "PDF 文档")
                                             : Tr("binary data, such as a radio image", "二进制数据, 例如电台映像")) +
                      Tr("); trace into a new file or remove it first", "); 请记录到新文件, 或先删除它"));
    // A FIFO nobody reads is refused at once instead of holding the command.
    platform::FileInfo opened;
    std::string why;
    bool noReader = false;
    const int fd = platform::OpenOutput(path, opened, why, noReader);
    if (fd < 0)
        return refuse(path + ": " + why + (noReader ? Tr(" (a FIFO nobody reads)", " (没有读取方的 FIFO)") : ""));
    // What was opened is what was checked, not something put there since.
    if (opened.type != platform::FileType::Regular && !opened.nullDevice) {
        platform::CloseOutput(fd);
        return refuse("--trace \"" + path + Tr("\" is no longer a regular file", "\" 已不再是普通文件"));
    }
    g_trace.path = path;
    g_trace.fd = fd;
    g_trace.buffer = std::make_unique<CCheckedFdBuf>(fd, false);
    g_trace.stream = std::make_unique<std::ostream>(g_trace.buffer.get());
    const std::time_t now = std::time(nullptr);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    *g_trace.stream << "# serial trace, started " << stamp << "\n";
    return true;
}

std::ostream& TraceStream() { return *g_trace.stream; }

std::string EndTrace()
{
    if (g_trace.fd < 0 || g_trace.ended)
        return g_trace.lost;
    g_trace.ended = true;
    g_trace.stream->flush();
    int err = g_trace.buffer->ErrorNumber();
    if (const int closeError = platform::CloseOutput(g_trace.fd); closeError != 0 && err == 0)
        err = closeError;
    g_trace.stream.reset();
    g_trace.buffer.reset();
    if (err != 0) {
        g_trace.lost = std::strerror(err);
        Error(g_trace.path + Tr(": the serial trace could not be written (", ": 无法写入串口记录 (") + g_trace.lost +
              Tr("); the trace is incomplete", "); 记录不完整"));
    }
    return g_trace.lost;
}

}  // namespace cli
