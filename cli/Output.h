#pragma once
// What every command prints and how a run ends: the exit statuses, texts in
// the active language, messages on standard error, the JSON documents
// (`--json`) with their version field, and the status after lost output.
#include <streambuf>
#include <string>
#include <vector>

#include "core/app/JsonWriter.h"
#include "core/radio/TextGrid.h"

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the operation was tried and failed
inline constexpr int kExitUsage = 2;   // the command line is wrong
// The command's work was done (a file saved, radios read or programmed, a
// simulated radio served) but part of what it printed could not be written (a
// closed pipe, a full disk); transfers are finished, not cut short, when their
// output is lost. StatusAfterOutput decides it.
inline constexpr int kExitOutputLost = 3;
// diff, as diff(1): a side could not be read, or the comparison not printed.
inline constexpr int kExitDiffTrouble = 2;

// The tool's own texts in the language g_bChinese picks (a BiText written in
// place); the words it shares with the window are the core's (TransferText.h).
const char* Tr(const char* en, const char* zh);

// Text from outside (file and port names, file contents) as the terminal may
// show it: control bytes and invalid UTF-8 escaped (\x1b), line ends kept.
std::string ForTerminal(const std::string& text);
// "progtool: message" on stderr (ForTerminal); the run's errors are kept for the JSON
// document of a run that fails (ErrorsSoFar).
void Error(const std::string& message);
std::vector<std::string> ErrorsSoFar();
void Note(const std::string& message);
// "progtool: warning: message" on stderr: the command goes on.
void Warn(const std::string& message);
// Text of a string-table message in the active language, "error <id>" for an id the table lacks.
std::string MessageText(int id);

// The JSON documents' version: raised only when a field changes meaning or
// goes away; new fields may appear without it.
inline constexpr int kJsonSchema = 1;
// Opens the document: {"schema": 1, "command": command, ...
void BeginJsonDocument(CJsonWriter& json, const char* command);
// Prints the finished document on standard output.
void PrintJson(const CJsonWriter& json);

// A stream buffer straight onto a descriptor that remembers the first failed
// write (a full disk, /dev/full, a closed pipe): what was not written can
// fail the command instead of vanishing.
class CCheckedFdBuf : public std::streambuf {
public:
    CCheckedFdBuf(int fd, bool lineBuffered);
    CCheckedFdBuf(const CCheckedFdBuf&) = delete;
    CCheckedFdBuf& operator=(const CCheckedFdBuf&) = delete;
    // The errno of the first failed write, 0 while everything was written.
    int ErrorNumber() const { return m_nError; }

protected:
    int overflow(int c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;
    bool Drain();

private:
    int m_fd;
    char m_buffer[16384];
    int m_nError = 0;
    bool m_bLineBuffered;
};

// Standard output for the whole run: std::cout goes through a checked buffer,
// so a command whose data was not written cannot end as a success.
// Line-buffered on a terminal. Restores std::cout when destroyed.
class CCheckedStdout : public CCheckedFdBuf {
public:
    CCheckedStdout();
    ~CCheckedStdout() override;
    // Flushes what is left: "" when everything printed was written, else the reason.
    std::string Finish();

private:
    std::streambuf* m_pOld;
};

// True once a write to standard output or standard error failed: the report
// of the run is lost in part, though the work may go on.
bool OutputLost();

// What a run's work is; it decides the exit status when output is lost.
enum class RunWork {
    Output,  // what it prints on stdout: show, export to stdout, options without
             // --set, diff, ports, trace, --help, --version
    Effect,  // a file saved, radios read or programmed, a simulated radio served;
             // what it prints only reports it
};
// main sets the command's own (Command::work); a command whose options change
// it says so (export -o, options --set).
void SetRunWork(RunWork work);
// diff's statuses, as diff(1): 0 equal, 1 different, 2 trouble.
void SetDiffStatuses(bool diff);
// The one rule for output that could not be written, for every command: a
// failed run keeps its status; a run whose output was its work fails (1, diff
// 2) when stdout was lost and keeps its status when only stderr was; any other
// run that did its work gives 3 (kExitOutputLost) when anything it printed on
// stdout or stderr was lost. A stream nothing was printed to costs nothing.
int StatusAfterOutput(int status);

// --json: whether a JSON document went to standard output; a run that fails
// without one gets PrintJsonFailure's, so stdout always carries one.
bool JsonPrinted();
void PrintJsonFailure(const std::string& command, int status, const std::vector<std::string>& errors);

// Names of the grid columns in JSON, independent of the language.
const char* ColumnKey(int col);

// A row label without its padding: "Pr", "1" .. "199".
std::string ChannelLabel(int row);

}  // namespace cli
