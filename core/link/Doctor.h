#pragma once
// The connection doctor: a short check of one serial port that names why the
// radio does not answer and what the user should do next. It opens the port,
// looks for other programs holding it, then runs the handshake's three steps
// (entry code, identification request, closing acknowledgement) as a transfer
// would. It never sends a read or write frame, so the radio's memory is never
// touched. The window (Setup > Check Connection...) and `progtool doctor`
// share it; so does "find my cable" (CCableFinder).
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/link/PortName.h"
#include "core/link/Ports.h"
#include "core/link/SerialPort.h"

class CJsonWriter;

enum class DoctorVerdict {
    NoDevice,    // nothing by that name: unplugged, mistyped, a dangling by-id link
    Denied,      // the user may not open it
    Busy,        // another program holds it (the open was refused, or /proc names a holder)
    NotSerial,   // it exists but is no serial device
    OpenFailed,  // any other failure to open (reason holds the system's text)
    Echo,        // the line returns our own bytes: a loopback, or a cable without a radio
    Silent,      // nothing comes back
    Garbage,     // bytes come back that are neither the acknowledgement nor our own
    Partial,     // the entry code was acknowledged, then the handshake stopped (stoppedAt)
    Answers,     // the handshake completed: ready to read or write
};

enum class DoctorStep {
    Open,            // open the device as a transfer does
    Holders,         // no other program has it open
    EntryCode,       // 0x02 and the six letters, answered by 0x06
    Identification,  // 0x4D 0x02, answered by the 8 identification bytes
    ClosingAck,      // 0x06, answered by 0x06
};

// One step as it went, in the order they ran (the handshake's steps once per
// attempt).
struct DoctorStepResult {
    DoctorStep step = DoctorStep::Open;
    int attempt = 0;  // the handshake attempt, from 1; 0 for Open and Holders
    bool ok = false;
    double ms = 0;  // from the step's last byte sent until its answer came (all 8 bytes of the
                    // identification), or to the time-out
    std::vector<std::uint8_t> sent;
    std::vector<std::uint8_t> received;
};

struct DoctorReport {
    ResolvedPort port;
    std::string usbDescription;  // "FTDI FT232R USB UART (0403:6001)", "" when not known
    DoctorVerdict verdict = DoctorVerdict::OpenFailed;
    std::string reason;  // the system's text for an open failure, "" otherwise

    // NoDevice: the serial devices present now (not probed), and those of
    // them that appeared in the last kRecentSeconds.
    std::vector<SerialDevice> present;
    std::vector<std::string> recent;

    // Denied: the group that owns the device ("dialout", "uucp"), whether the
    // user is listed in it (so only this login session lacks it: log out and
    // in) and the user's name for the commands.
    std::string group;
    bool listedInGroup = false;
    std::string user;

    // Busy: who holds the device (from /proc; none known on Windows).
    std::vector<PortHolder> holders;

    // The handshake probe.
    int attempts = 0;  // entry codes sent
    std::vector<DoctorStepResult> steps;
    std::vector<std::uint8_t> firstBytes;      // Echo, Garbage: the first bytes that came back (at most 32)
    DoctorStep stoppedAt = DoctorStep::Open;   // the step that failed; ClosingAck when Answers
    std::vector<std::uint8_t> identification;  // as received (Answers, Partial at ClosingAck)
    // Partial at EntryCode: the acknowledgement came, but after a transfer
    // stops waiting for it; how long after the first code nothing answered in
    // time it came (an acknowledgement taken for a later code's, with the
    // identification answered by another acknowledgement, is told so too).
    double lateMs = 0;
    // The radio took the entry code, so it may stay in programming mode: it
    // must be switched off and on before the next transfer (Partial).
    bool powerCycle = false;
    double seconds = 0;      // the whole check
    bool cancelled = false;  // stopped by the caller before a verdict (verdict then means nothing)
};

inline constexpr int kDoctorAttempts = 3;  // entry codes sent before "nothing comes back"
// How long after the first unanswered entry code the doctor still listens for
// its acknowledgement: a slow radio's delay is measured up to here.
inline constexpr int kLateListenMs = 3000;
inline constexpr long long kRecentSeconds = 600;

struct DoctorOptions {
    int attempts = kDoctorAttempts;
    PortScan scan;  // where the device list is read (PROG_DEVICE_ROOT for tests)
    // Polled between steps; true stops the check (report.cancelled).
    std::function<bool()> cancelled;
    // Told as each step starts, for the window's and the tool's progress.
    std::function<void(DoctorStep, int attempt)> stepStarted;
    // Replaces the pauses between the bytes (tests); std::this_thread::sleep_for when empty.
    std::function<void(std::chrono::milliseconds)> sleep;
    // Who else holds the device (tests); PortHolders when empty.
    std::function<std::vector<PortHolder>(const std::string& device)> holders;
};

// Checks one resolved port (ResolvePort) through serial, which is closed when
// it returns. serial is a CSerialPort, a CTracingPort around one, or a fake in
// the tests.
DoctorReport RunDoctor(const ResolvedPort& port, ISerialPort& serial, const DoctorOptions& options = {});

// What the user reads: a headline naming the port and the cause ("COM1
// (/dev/ttyUSB0): the cable is connected but the radio is not answering"),
// the steps to take in the order to try them, and the facts found (the
// identification in hex and printable, each step's round-trip time, the
// holders, the devices present).
struct DoctorAdvice {
    std::string headline;
    std::vector<std::string> todo;
    std::vector<std::string> facts;
};
// Who reads it: the tool's advice names progtool's commands, the window's its buttons.
enum class DoctorAudience { Tool, Window };
DoctorAdvice DoctorText(const DoctorReport& report, bool chinese, DoctorAudience who = DoctorAudience::Tool);
// The advice as plain text lines: the headline, then the numbered steps, then the facts.
std::string DoctorTextBlock(const DoctorReport& report, bool chinese, DoctorAudience who = DoctorAudience::Tool);

// "no-device", "permission-denied", "busy", "not-serial", "open-failed",
// "echo", "silent", "garbage", "partial", "answers".
const char* DoctorVerdictName(DoctorVerdict verdict);
// "open", "holders", "entry-code", "identification", "closing-ack".
const char* DoctorStepName(DoctorStep step);

// One port's report as a JSON object (the caller opens the document).
void DoctorJson(CJsonWriter& json, const DoctorReport& report, bool chinese);

// Find my cable: the device list is taken, the user unplugs and plugs the
// cable, and the device that came is named. Polls the list every kFindPoll.
inline constexpr std::chrono::milliseconds kFindPoll{250};

class CCableFinder {
public:
    explicit CCableFinder(PortScan scan = {});
    // Takes the device list as it is now ("unplug the cable").
    void Baseline();
    struct Change {
        std::vector<SerialDevice> gone;   // present at the baseline, not now
        std::vector<SerialDevice> added;  // present now, not at the baseline: serial devices only
        // Came under a serial device's name but are none (a link to /dev/zero,
        // a FIFO, a plain file: `ports` says "not a serial device"): never the cable.
        std::vector<SerialDevice> notSerial;
    };
    // Looks again; a device that went and came back counts as added. Each
    // device that came is opened once (as `ports` does) to tell a serial
    // device from a node that only bears the name.
    Change Poll();
    const std::vector<SerialDevice>& BaselineDevices() const { return m_baseline; }

private:
    bool IsSerial(const SerialDevice& d);

    PortScan m_scan;
    std::vector<SerialDevice> m_baseline;
    std::vector<std::string> m_gone;       // paths seen to go since the baseline
    std::vector<std::string> m_notSerial;  // paths found to be no serial device while present
    std::vector<std::string> m_serial;     // ... and found to be one
};

enum class FindEnd { Found, TimedOut, Cancelled };
struct FindResult {
    FindEnd end = FindEnd::TimedOut;
    SerialDevice device;  // Found: the new device (its by-id link when there is one, with the USB description)
    std::vector<SerialDevice> gone;       // devices seen to go while waiting
    std::vector<SerialDevice> notSerial;  // came while waiting, but are no serial device
};
// Takes the baseline, then polls until a new device appears, timeout passes
// or cancelled() is true. changed() is told of every change seen (a device
// unplugged). sleep replaces the wait between polls (tests).
FindResult FindCable(const PortScan& scan, std::chrono::milliseconds timeout, const std::function<bool()>& cancelled,
                     const std::function<void(const CCableFinder::Change&)>& changed = {},
                     const std::function<void(std::chrono::milliseconds)>& sleep = {});
// "found /dev/serial/by-id/usb-FTDI_... (FTDI FT232R USB UART (0403:6001))", or the time-out's or
// the cancel's text, in the language asked; the caller adds how to use the port.
std::string FindResultText(const FindResult& result, bool chinese);
