#pragma once
// The console of a command-line run: its start, the requests to stop (Ctrl+C,
// a closed terminal), what the standard streams are, and writing to them.
#include <cstddef>
#include <memory>

// The standard streams, by their descriptor numbers.
enum class StdStream { Out = 1, Err = 2 };

// Once at start, before anything is opened or printed. POSIX: a closed pipe
// makes a write fail (EPIPE) instead of ending the run; a closed descriptor 0,
// 1 or 2 is taken by /dev/null opened for reading, so no port or file gets its
// number and writes there fail as lost output. Windows: the console shows
// UTF-8 (its own code page comes back at exit); standard output and error
// carry "\n" as it is; the C runtime keeps descriptors 0 to 2 whatever the
// standard handles are, and a missing handle only makes the writes to it fail.
void PrepareConsole();

// While one lives, a request to stop only raises the flag InterruptRaised()
// reads, so that the work stops itself (the port released, no partial file,
// the radio's state reported): Ctrl+C (SIGINT; Ctrl+Break too on Windows),
// SIGTERM, and the terminal gone (SIGHUP; on Windows the console closed, a
// logoff or a shutdown). The earlier handling comes back when it ends. Windows
// ends the process once the handler of a closing console returns: it waits up
// to 5 s, for the run to report and end first.
class CInterruptCatch {
public:
    CInterruptCatch();
    ~CInterruptCatch();
    CInterruptCatch(const CInterruptCatch&) = delete;
    CInterruptCatch& operator=(const CInterruptCatch&) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> m_pSaved;
};
// True once a request to stop came while a CInterruptCatch lived, until cleared.
bool InterruptRaised();
void ClearInterrupt();

// For a run that serves until told to stop (the simulated radio): from this
// call on, the requests to stop and SIGUSR1 (save; POSIX only) are held for
// WaitServeRequest, in this thread and in the threads it starts afterwards.
enum class ServeRequest { Stop, Save };
void HoldServeRequests();
// The next held request; Stop also when waiting fails.
ServeRequest WaitServeRequest();

// The stream is a terminal (on Windows a console).
bool IsTerminal(StdStream stream);
// The stream is a terminal that takes control sequences (cursor moves, line
// erase); on Windows a console that virtual-terminal processing was switched on for.
bool TakesControlSequences(StdStream stream);
// The terminal's width in columns; 0 when it is no terminal or will not tell.
int TerminalColumns(StdStream stream);

// Writes all size bytes to the C runtime's descriptor fd (1 and 2: standard
// output and error), going on after a signal or a short write. 0 when all was
// written, else the errno of the failure: EPIPE for a closed pipe, ENOSPC for a
// full disk (Windows' errors are told as these).
int WriteAll(int fd, const char* data, std::size_t size);
