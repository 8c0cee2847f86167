// The console on Windows: console control handlers, console modes and WriteFile.
#include "core/platform/Console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

HANDLE StdHandle(int fd)
{
    return GetStdHandle(fd == 0 ? STD_INPUT_HANDLE : fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

// What the console was before this run changed it, put back at exit: the
// console outlives the run (the user's shell goes on in it).
UINT g_oldOutputCp = 0;
HANDLE g_vtHandle = nullptr;
DWORD g_vtOldMode = 0;
void RestoreConsole()
{
    std::fflush(nullptr);  // what is left still shows in UTF-8
    if (g_oldOutputCp != 0)
        SetConsoleOutputCP(g_oldOutputCp);
    if (g_vtHandle)
        SetConsoleMode(g_vtHandle, g_vtOldMode);
}

std::atomic<bool> g_interrupted{false};
int g_catches = 0;                // CInterruptCatch alive: the handler is in the list while one is
HANDLE g_serveRequest = nullptr;  // set by every request once HoldServeRequests ran
constexpr DWORD kCloseWaitMs = 5000;

// Runs on a thread of its own that Windows starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        g_interrupted = true;
        if (g_serveRequest)
            SetEvent(g_serveRequest);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        g_interrupted = true;
        if (g_serveRequest)
            SetEvent(g_serveRequest);
        // Windows ends the process as soon as this returns: the run stops its
        // work, reports and exits meanwhile, which ends this thread with it.
        Sleep(kCloseWaitMs);
        return TRUE;
    default: return FALSE;
    }
}

int ErrnoOf(DWORD code)
{
    switch (code) {
    case ERROR_BROKEN_PIPE:         // the reader closed its end
    case ERROR_NO_DATA:             // the pipe is being closed
    case ERROR_PIPE_NOT_CONNECTED:  // Wine's word for the same
        return EPIPE;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_ACCESS_DENIED: return EACCES;
    default: return EIO;
    }
}

}  // namespace

void PrepareConsole()
{
    // A closed pipe is only a failed WriteFile here; and the C runtime holds
    // descriptors 0 to 2 open even without a standard handle (its writes then
    // fail), so no file can take their numbers.
    if (const UINT cp = GetConsoleOutputCP(); cp != 0 && cp != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
        g_oldOutputCp = cp;
    // "\n" as it is, the same bytes as on POSIX in a pipe or a file.
    _setmode(1, _O_BINARY);
    _setmode(2, _O_BINARY);
    // Unbuffered, the C runtime may hand a console one byte at a time, and a
    // console given part of a character shows U+FFFD for it. Every write to
    // stderr is flushed at once (std::cerr is unit-buffered, the rest calls
    // fflush), so a buffer only keeps each write whole.
    if (IsTerminal(StdStream::Err))
        std::setvbuf(stderr, nullptr, _IOFBF, 1 << 16);
    std::atexit(RestoreConsole);
}

struct CInterruptCatch::Saved {};

CInterruptCatch::CInterruptCatch()
{
    if (g_catches++ == 0)
        SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

CInterruptCatch::~CInterruptCatch()
{
    if (--g_catches == 0)
        SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

bool InterruptRaised() { return g_interrupted; }
void ClearInterrupt() { g_interrupted = false; }

void HoldServeRequests()
{
    g_serveRequest = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

ServeRequest WaitServeRequest()
{
    // Windows has no request to save: every one stops.
    if (g_serveRequest)
        WaitForSingleObject(g_serveRequest, INFINITE);
    return ServeRequest::Stop;
}

bool IsTerminal(StdStream stream)
{
    DWORD mode = 0;
    return GetConsoleMode(StdHandle(static_cast<int>(stream)), &mode) != 0;
}

bool TakesControlSequences(StdStream stream)
{
    const HANDLE h = StdHandle(static_cast<int>(stream));
    DWORD mode = 0;
    if (!GetConsoleMode(h, &mode))
        return false;
    if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING)
        return true;
    if (!SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
        return false;  // an older console: plain lines
    if (!g_vtHandle) {
        g_vtHandle = h;
        g_vtOldMode = mode;
    }
    return true;
}

int TerminalColumns(StdStream stream)
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(StdHandle(static_cast<int>(stream)), &info))
        return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

int WriteAll(int fd, const char* data, std::size_t size)
{
    const HANDLE h = fd == 1 || fd == 2 ? StdHandle(fd) : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(h, data, chunk, &written, nullptr))
            return ErrnoOf(GetLastError());
        if (written == 0)
            return EIO;  // would go round for ever
        data += written;
        size -= written;
    }
    return 0;
}
