#pragma once
// What every progtool command shares: argument parsing, exit codes, the
// language switch, loading and decoding a .dat file, and error output.
#include <iosfwd>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/app/DisplayText.h"
#include "core/radio/DatFile.h"
#include "core/radio/Document.h"
#include "core/link/Backups.h"
#include "core/link/PortName.h"
#include "core/radio/Image.h"

struct StockList;

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the operation was tried and failed
inline constexpr int kExitUsage = 2;   // the command line is wrong
// The command's work was done (a file saved, radios read or programmed, a
// simulated radio served) but part of what it printed could not be written (a
// closed pipe, a full disk); transfers are finished, not cut short, when their
// output is lost. StatusAfterOutput (cli/Output.h) decides it.
inline constexpr int kExitOutputLost = 3;
// diff, as diff(1): a side could not be read, or the comparison not printed.
inline constexpr int kExitDiffTrouble = 2;

// Thrown for a wrong command line; main prints it with the command's usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The command line of one command: options named in `withValue` take the
// next argument (or "--opt=value"); those in `flags` take none. Options may
// be repeated; Value returns the last one. "--help"/"-h" is always a flag.
class Args {
public:
    Args(const std::vector<std::string>& argv, const std::set<std::string>& withValue,
         const std::set<std::string>& flags);

    bool Has(const std::string& opt) const { return m_values.count(opt) != 0; }
    std::string Value(const std::string& opt, const std::string& def = "") const;
    const std::vector<std::string>& Values(const std::string& opt) const;
    const std::vector<std::string>& Positional() const { return m_positional; }
    // Exactly n positional arguments, else a UsageError naming `what`.
    void RequirePositional(std::size_t n, const std::string& what) const;
    // An integer option in [lo, hi], else a UsageError.
    int IntValue(const std::string& opt, int def, int lo, int hi) const;

private:
    std::map<std::string, std::vector<std::string>> m_values;
    std::vector<std::string> m_positional;
};

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

// Loads Program.ini from beside the executable (quietly: every value read
// from it has a default) and picks the language: --lang en|zh, else the
// [Setup] Language value by the window's rule (LanguageFromSetting). Sets
// g_bChinese, g_strLanguage and g_strHelpFile.
void SetUpLanguage(const Args& args);

// Loads a .dat file; on failure prints the reason (naming the file) and returns false.
// A file longer than an image is warned about, or refused unless `force` when
// the command would send it or save it back (CheckImageLength).
bool LoadImageFile(const std::string& path, Image& image, ImageUse use = ImageUse::Read, bool force = false);
// Before a command writes `output`: it is none of `inputs` (after links), an
// existing file of another kind than `kind` goes only with --force, and the save
// can happen (CheckSaveTarget); "-" is refused (RefuseStdoutDash). False with
// the reason printed.
// `after` tells what did not happen ("; nothing was written").
bool CheckOutput(const std::string& output, const std::vector<std::string>& inputs, FileKind kind, bool force,
                 const std::string& after = "; nothing was written");
// "-" names standard output only for export -o -: anywhere else a UsageError
// (naming `option`) instead of a file called "-".
void RefuseStdoutDash(const std::string& value, const std::string& option);
// Writes bytes atomically; on failure prints the reason and returns false.
bool WriteOutput(const std::string& path, const std::string& bytes);
bool SaveImageFile(const std::string& path, const Image& image);
// Reads a whole text file (a regular file of at most kTextFileLimit bytes);
// on failure prints the reason and returns false.
bool ReadTextFile(const std::string& path, std::string& text);

// Loads and decodes a .dat file in the active language, as the window opens
// one; false (reason printed) when the file cannot be loaded.
bool LoadDocument(const std::string& path, ChannelDocument& doc);

// A word (a port, a path) as a shell takes it back on a command line: quoted only when it must be.
std::string ShellWord(const std::string& word);

// English text of a string-table message, "error <id>" for an id the table lacks.
std::string MessageText(int id);

// A UsageError when one port is among names twice (FindPortNamedTwice): two
// transfers on one device would talk over each other.
void RefusePortNamedTwice(const std::vector<std::string>& names);

// One transfer through the same engine as the window, with a progress bar on
// stderr when it is a terminal and no prompt: after the first series of 15
// handshake attempts, `retries` more series are granted, then it fails.
// Ctrl+C cancels. Prints the failure naming the port; true when completed.
bool RunTransfer(bool write, const ResolvedPort& port, Image& image, int retries);
// --trace FILE: every later RunTransfer of the command writes its serial trace
// there. False (reason printed) when the file cannot be written, is one of
// `files` (the files the command reads or writes), or is no regular file or
// /dev/null (TraceOutputProblem: one of `ports` least of all).
bool StartTrace(const Args& args, const std::vector<std::string>& files, const std::vector<std::string>& ports);
// Closes the trace: "" when all of it was written (or there is none), else the
// reason, printed once naming the file. A lost trace fails the command.
std::string EndTrace();
// Where StartTrace sends the trace (only after it returned true).
std::ostream& TraceStream();
// A complete read is also kept in the window's backup folder unless
// --no-backup: true when it was kept (its path told, and the old backups
// pruned for it) or not asked for; a failed backup is reported and fails the
// read's run (its file is still saved).
bool SaveReadBackup(const Args& args, const std::string& port, const Image& image);
// Where a read's backup goes and what it may prune.
struct BackupPlace {
    std::string into;   // a folder the user named (audit --backup-dir); "" for the window's backup folder
    int alsoKeep = 0;   // more backups than the window keeps (a run's own reads are never pruned by the run)
    bool prune = true;  // `into` is pruned only when asked (--prune)
};
struct ReadBackup : BackupResult {
    std::string folder;  // where it went
    int keep = 0;        // the program's own backups kept there
};
// The backup itself, safe to call from several threads. Never prunes a file
// named on the command line (SetCommandLine).
ReadBackup BackUpRead(const std::string& port, const Image& image, const BackupPlace& place = {});
// "removed the old backup PATH (...)", for each one a backup pruned.
void TellRemovedBackups(const ReadBackup& backup);
// The command's words: a file among them is never pruned as an old backup.
void SetCommandLine(const std::vector<std::string>& words);
std::vector<std::string> CommandLineFiles();

// Commands: each returns the exit status.
int CmdNew(const std::vector<std::string>& argv);
int CmdShow(const std::vector<std::string>& argv);
int CmdDiff(const std::vector<std::string>& argv);
// read and write with several ports, --watch, --json, --quiet or --progress, or
// a read into a directory: the fleet's way (one engine and thread per port).
bool IsFleetCommand(const std::vector<std::string>& argv);
int CmdFleet(bool write, const std::vector<std::string>& argv);
int CmdOptions(const std::vector<std::string>& argv);
int CmdExport(const std::vector<std::string>& argv);
int CmdImport(const std::vector<std::string>& argv);
int CmdRead(const std::vector<std::string>& argv);
int CmdWrite(const std::vector<std::string>& argv);
int CmdPrint(const std::vector<std::string>& argv);
int CmdSimulate(const std::vector<std::string>& argv);
int CmdPorts(const std::vector<std::string>& argv);
int CmdTrace(const std::vector<std::string>& argv);
int CmdDoctor(const std::vector<std::string>& argv);
int CmdStock(const std::vector<std::string>& argv);
// The stock channel lists beside the program (ListStockLists).
std::vector<StockList> StockListsPresent();
int CmdAudit(const std::vector<std::string>& argv);
int CmdSupportReport(const std::vector<std::string>& argv);

enum class RunWork;
struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&);
    RunWork work;  // what the command is for, unless its options say otherwise
    const char* summary;
    const char* usage;  // full help text of the command
};
const std::vector<Command>& Commands();

}  // namespace cli
