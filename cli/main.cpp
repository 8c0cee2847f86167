// progtool: the programming tool without windows, for scripts and batch work.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "cli/ReadBackup.h"
#include "cli/Transfers.h"
#include "core/app/DisplayText.h"
#include "core/platform/Console.h"

// A build without Qt has no report renderer: its print only says so.
// The help's words for the system's own places (those of the options are Options.cpp's).
#ifdef _WIN32
#define PROG_PORTS_HELP                                                                \
    "Lists COM1..COM4, the port each maps to ([Ports] of Program.ini; without an\n"    \
    "entry the port of that name) and whether it can be opened now, then every\n"      \
    "serial port present (with its name and, for USB adapters, VID:PID) and why one\n" \
    "cannot be opened (missing, busy, no permission).\n"
#define PROG_DOCTOR_HOLDERS_HELP                                                   \
    "Windows names no program that holds a COM port: a port another program has\n" \
    "open cannot be opened, and is told as busy.\n"
#else
#define PROG_PORTS_HELP                                                                \
    "Lists COM1..COM4, the device each maps to ([Ports] of Program.ini) and whether\n" \
    "it can be opened now, then every serial device present (/dev/serial/by-id/*\n"    \
    "with its USB description, /dev/ttyUSB*, /dev/ttyACM*, the /dev/ttyS* with a\n"    \
    "UART) and why one cannot be opened (missing, busy, no permission: the\n"          \
    "\"dialout\" group).\n"
#define PROG_DOCTOR_HOLDERS_HELP                                                    \
    "The programs holding a device are found in /proc (name and PID); permission\n" \
    "denied names the device's group (dialout) and the command that adds you to it.\n"
#endif

#ifdef PROG_NO_PRINT
#define PROG_PRINT_SUMMARY " (not in this build)"
#define PROG_PRINT_NOTE "This build of progtool cannot print (it has no Qt): print fails with status 1.\n"
#else
#define PROG_PRINT_SUMMARY ""
#define PROG_PRINT_NOTE ""
#endif

namespace cli {

const std::vector<Command>& Commands()
{
    static const std::vector<Command> commands = {
        {"new", CmdNew, RunWork::Effect, "write a new document's image",
         "usage: progtool new FILE.dat [--force] [--lang en|zh]\n"
         "Writes the image File New gives (no channels, default options) to FILE.dat.\n",
         ""},
        {"show", CmdShow, RunWork::Output, "print the channels as the channel window shows them",
         "usage: progtool show FILE.dat [--lang en|zh] [--csv | --json]\n"
         "Prints the band edit ranges, the radio type and band, and the used channels\n"
         "with the grid's headings and cell texts (\"Pr\" is record 0).\n",
         ""},
        {"options", CmdOptions, RunWork::Output, "print (or change) the optional features",
         "usage: progtool options FILE.dat [--lang en|zh] [--set KEY=VALUE]... [-o OUT.dat]\n"
         "                        [--force] [--json]\n"
         "Prints one \"Label: value\" line per setting, in the Optional Features dialog's order.\n",
         ""},
        {"export", CmdExport, RunWork::Output, "write the channels as CSV",
         "usage: progtool export FILE.dat [-o OUT.csv [--force]] [--format grid|chirp]\n"
         "                       [--power words|watts] [--lang en|zh]\n",
         ""},
        {"import", CmdImport, RunWork::Effect, "replace (or merge) the channels of a file from CSV",
         "usage: progtool import IN.csv FILE.dat [--format grid|chirp] [--renumber [FROM]] [--merge]\n"
         "                       [--skip-bad] [--force] [--lang en|zh]\n"
         "       progtool import --stock NAME FILE.dat [the same options]\n"
         "Each row goes through the same checks as typing it into the grid (MHz with up to\n"
         "five decimals, \".\" or \",\" as the point, bands, step, default values, upper-case\n"
         "names of six characters). Channels the CSV does not carry become empty\n"
         "(unless --merge); settings outside the channel area are kept.\n"
         "The chirp layout finds its columns by name, in any order, and ignores others;\n"
         "Location and Frequency are required. Power takes High, Med, Mid, Middle, Low,\n"
         "empty (High) or watts: the file's highest watt value is High, its lowest Low,\n"
         "any between Middle, a single value High (a file holding only 5.0W, 2.0W and\n"
         "1.0W, as export --power watts writes, gets High, Middle and Low back). The\n"
         "mapping is reported once. Tone modes Tone, TSQL, TSQL-R (tone on receive only),\n"
         "DTCS, DTCS-R (code on receive only) and Cross with every CrossMode set the Rx\n"
         "and Tx tones; tones and codes outside the radio's lists are refused.\n"
         "Lines beginning with '#' before the headings are comments and are passed over.\n",
         "Every refused or changed row is reported with its line number (the first 1000),\n"
         "then a summary by reason: rows imported, changed and refused. When any row is\n"
         "refused nothing is written (exit status 1), unless --skip-bad is given. A file\n"
         "with headings but no rows is refused unless --merge is given, and so is a\n"
         "heading given twice. A list saved with ';' or tabs between fields, or as UTF-16,\n"
         "is told as such. Another run changing FILE.dat is waited for (up to 10 s).\n"},
        {"stock", CmdStock, RunWork::Output, "list the stock channel lists shipped with the program",
         "usage: progtool stock [--json] [--lang en|zh]\n"
         "Lists the ready-made channel lists installed with the program (marine VHF,\n"
         "weather broadcasts, FRS/GMRS, MURS, PMR446, amateur calling and simplex\n"
         "channels): each list's name, channel count, the radio types whose bands hold\n"
         "all its channels, and its title. Each file begins with comment lines naming\n"
         "its source (band plan or regulation) and the licence or certification rules\n"
         "to respect before transmitting; lists of services this radio may not transmit\n"
         "on are receive only (no Tx frequency).\n"
         "\"progtool import --stock NAME FILE.dat\" imports one, with every option of import.\n",
         "Exit status: 1 when no list is found or one cannot be read.\n"},
        {"read", CmdRead, RunWork::Effect, "read the radio's memory into a file (or many radios into a directory)",
         "usage: progtool read --port PORT -o FILE.dat [--retries N] [--trace FILE] [--no-backup]\n"
         "                     [--force] [--lang en|zh]\n"
         "       progtool read --port P1 --port P2 ... | --ports LIST|all  -o DIR/ [--force]\n"
         "                     [--skip-busy] [--retries N] [--no-backup] [--json]\n"
         "                     [--quiet | --progress=json] [--lang en|zh]\n"
         "PORT is COM1..COM4 (mapped by [Ports] of Program.ini) or a device path.\n"
         "The file is written only after a complete read, exactly as received. A FILE.dat\n"
         "that exists is never replaced without --force (nothing is read): a plan typed as\n"
         "the output would be lost.\n"
         "With several ports (or -o naming a directory) every port is read at once, each on\n"
         "its own thread, into DIR/PORT.dat (named by the port, written atomically). Two\n"
         "ports that would give one file name are refused before anything is read.\n"
         "One port and -o naming no directory: a read into that file, with any option.\n",
         "On a terminal a table shows each port's state, percent, rate, time left and\n"
         "result; otherwise each change is logged. Ctrl+C stops every transfer and saves\n"
         "no partial file. Exit status 0 only when every port succeeded, 3 when they did\n"
         "but output was lost (a closed pipe: the reads still finish and save).\n"},
        {"write", CmdWrite, RunWork::Effect, "write a file's image to the radio (or many radios at once)",
         "usage: progtool write --port PORT FILE.dat [--verify] [--retries N] [--trace FILE]\n"
         "                      [--force] [--lang en|zh]\n"
         "       progtool write --port P1 --port P2 ... | --ports LIST|all  FILE.dat [--verify]\n"
         "                      [--watch] [--skip-busy] [--retries N] [--force] [--json]\n"
         "                      [--quiet | --progress=json] [--lang en|zh]\n"
         "Sends the file's image as it is (0x0000..0x1FF5). A file longer than 8192 bytes\n"
         "is refused: probably not a radio image.\n"
         "With several ports every radio is written at once, each on its own thread.\n",
         "On a terminal a table shows each port's state, percent, rate, time left and\n"
         "result; otherwise each change is logged. Ctrl+C stops every transfer and names\n"
         "the radios left partly written. Exit status 0 only when every port succeeded, 3\n"
         "when they did but output was lost (a closed pipe: every write still finishes;\n"
         "--watch then serves no further radio).\n"},
        {"print", CmdPrint, RunWork::Effect, "print the report to a PDF file" PROG_PRINT_SUMMARY,
         "usage: progtool print FILE.dat --pdf OUT.pdf [--force] [--lang en|zh]\n"
         "Renders the same report as the window's printing (option page, channel pages).\n"
         "OUT.pdf is never FILE.dat itself (also through a link).\n",
         PROG_PRINT_NOTE},
        {"simulate", CmdSimulate, RunWork::Effect, "run a simulated radio on a pseudo-terminal",
         "usage: progtool simulate [--image FILE.dat] [--save FILE.dat [--force]] [--link PATH]\n"
         "                         [--pace] [--fault KIND[@FRAME]]... [--lang en|zh]\n"
         "Prints the device path and serves the programming protocol until interrupted\n"
         "(Ctrl+C, SIGTERM). SIGUSR1 saves the memory without stopping.\n",
         ""},
        {"diff", CmdDiff, RunWork::Output, "compare two images, or an image and the radio",
         "usage: progtool diff A.dat B.dat [--lang en|zh] [--json]\n"
         "       progtool diff A.dat --port PORT [--retries N] [--lang en|zh] [--json]\n"
         "Lists how B (or the radio's memory, read first) differs from A: the band edit\n"
         "ranges, the model (type, band, band record), channels added, removed and changed\n"
         "column by column with the grid's texts, option fields by their dialog labels, and\n"
         "any other bytes that differ, by offset range.\n",
         "Exit status: 0 equal, 1 different, 2 bad usage (also --port given twice), a side\n"
         "that cannot be read or a comparison that cannot be printed; 3 compared and\n"
         "printed, but a note on standard error was lost.\n"},
        {"audit", CmdAudit, RunWork::Output, "check radios against a plan (and bring back those that drifted)",
         "usage: progtool audit --plan PLAN.dat --port P1 [--port P2 ...] | --ports LIST|all\n"
         "                      [--reconcile channels|all] [--backup-dir DIR [--prune]]\n"
         "                      [--skip-busy] [--retries N] [--force] [--json] [--lang en|zh]\n"
         "Reads every radio at once (as read with several ports; each read is kept as a\n"
         "backup) and compares it with PLAN.dat in diff's words: per radio \"matches the\n"
         "plan\" or what differs (band edit ranges, model, channels column by column,\n"
         "options by their dialog labels, other bytes), then \"N match, M differ, K failed\".\n"
         "A radio matches when it holds the plan's 0x0000-0x1FF5, the bytes a write sends\n"
         "(the last ten stay each radio's own), with or without --reconcile.\n"
         "A PLAN.dat that is no radio image, a port named twice or one that cannot be\n"
         "opened is refused before any radio is touched.\n",
         "With --reconcile each radio written is read back and compared (verify); a radio\n"
         "that matches (or would be written what it holds) is not written, nor one whose\n"
         "backup could not be kept. Before its write, part of each radio's memory (the\n"
         "power-on name, the options, one frame in every 256 bytes) is read again: a port\n"
         "that holds another radio than the one read fails (\"a radio was changed\") and\n"
         "is not written.\n"
         "On a terminal a table shows each port's state; Ctrl+C stops every transfer, and\n"
         "once the reads are done nothing more is written. Exit status: 0 when every radio\n"
         "matches the plan (with --reconcile: every radio that differed was reconciled and\n"
         "verified), 1 otherwise (a radio differs or failed, a port skipped, a backup not\n"
         "kept, interrupted; without --reconcile also a report that could not be printed),\n"
         "2 bad usage, 3 radios reconciled but output was lost.\n"},
        {"ports", CmdPorts, RunWork::Output, "list COM1 to COM4 and the serial devices present",
         "usage: progtool ports [--json] [--lang en|zh]\n" PROG_PORTS_HELP, ""},
        {"doctor", CmdDoctor, RunWork::Output, "find out why the radio does not answer, or find the cable",
         "usage: progtool doctor [--port PORT]... [--trace FILE] [--json] [--lang en|zh]\n"
         "       progtool doctor --find [--timeout SECONDS] [--json] [--lang en|zh]\n"
         "Checks a port (without --port: every serial device present) and says why the\n"
         "radio does not answer and what to do. It opens the port as a transfer does,\n"
         "looks for other programs holding it, then sends the handshake a transfer\n"
         "begins with (entry code, identification request, acknowledgement) up to 3\n"
         "times. It never sends a read or write frame: the radio's memory is untouched.\n"
         "It stops at the first step that fails, with one verdict: no such device,\n"
         "permission denied, busy, not a serial device, the line echoes what is sent\n"
         "(a cable without a radio, or the radio off), nothing comes back, bytes that\n"
         "make no sense, a radio that answers too late for a transfer (by how much: an\n"
         "acknowledgement is awaited up to 3 s after the first entry code), a handshake\n"
         "that stops part-way (switch the radio off and on before the next transfer), or\n"
         "the radio answers (its identification in hex, each step's round-trip time:\n"
         "ready to read or write).\n" PROG_DOCTOR_HOLDERS_HELP,
         "A read or write whose handshake fails names this command, and keeps the\n"
         "failed attempt's serial trace for a support report.\n"
         "Ctrl+C stops the check with the port closed. Exit status: 0 when a radio\n"
         "answers on every port checked (--find: the cable was found), 1 otherwise\n"
         "(also when interrupted or timed out), 2 bad usage.\n"},
        {"trace", CmdTrace, RunWork::Output, "decode a serial trace into frames",
         "usage: progtool trace TRACE [--lang en|zh]\n"
         "Reads a serial trace (Setup > Log Serial Traffic, or --trace of read and write)\n"
         "and prints its frames: entry code, identification, read and write frames with\n"
         "address and length, acknowledgements, and bytes no frame accounts for. An empty\n"
         "file is refused (exit status 1): every trace has its header, so it was lost.\n",
         ""},
        {"support-report", CmdSupportReport, RunWork::Output, "print (or save) a report to attach to a bug report",
         "usage: progtool support-report [-o FILE [--force]] [--include-document FILE.dat] [--json]\n"
         "                               [--lang en|zh]\n"
         "Gathers what a developer needs to help: the program's version and build, the\n"
         "system and Qt versions, the language, Program.ini's path and settings, the\n"
         "serial ports as \"progtool ports\" lists them but without opening any, the last\n"
         "transfer's result, the serial trace kept of the last failed handshake (decoded\n"
         "as \"progtool trace\" does) and the last 20 messages shown. Your home folder is\n"
         "written as \"~\" however a path spells it (/home//NAME, ~/../NAME), your login\n"
         "name in /media/NAME and /run/media/NAME as\n"
         "\"<user>\". No document goes in unless --include-document is given; the\n"
         "messages are quoted as shown, a value you typed in one of them included.\n"
         "Without -o the report is printed: read it before you save or send it.\n",
         "Exit status: 0 printed or saved, 1 not saved (FILE exists, is the document or a\n"
         "file the report quotes such as Program.ini, a directory or a device, or cannot\n"
         "be written), 2 bad usage.\n"},
    };
    return commands;
}

std::string CommandHelp(const Command& command) { return command.usage + OptionHelp(command.name) + command.more; }

}  // namespace cli

namespace {

void PrintToolHelp(std::ostream& out)
{
    out << "usage: progtool COMMAND [ARGS]\n"
           "Programming tool for the Tanager Radio Works TR-5V and TR-5U, without windows.\n\n"
           "Commands:\n";
    for (const auto& c : cli::Commands())
        out << "  " << PadRight(c.name, 10) << (std::string(c.name).size() >= 10 ? "  " : "") << c.summary << "\n";
    out << "\n\"progtool COMMAND --help\" describes a command; \"progtool --version\" prints the\n"
           "version. Every command takes --lang en|zh, the language of its messages (default:\n"
           "[Setup] Language of Program.ini); a wrong command line is told in it, with the\n"
           "command's --help to read.\n"
           "A FILE.dat longer than 8192 bytes holds the image in its first 8192 bytes:\n"
           "commands that only read it warn; write, import and options --set (in place)\n"
           "refuse it unless --force.\n"
           "Exit status: 0 success; 1 failed (also a --trace file that could not be\n"
           "written); 2 bad usage; 3 the work was done (a file saved, radios read or\n"
           "programmed, a simulated radio served) but part of what was printed on standard\n"
           "output or error could not be written (a closed pipe, a full disk): a transfer\n"
           "is finished, never cut short, when nobody reads its output. Where the output is\n"
           "the work (show, export to standard output, options without --set, diff, ports,\n"
           "trace, --help), standard output that cannot be written is a failure: 1 (diff:\n"
           "2); written whole, it keeps its status (diff's 0 or 1) whatever became of a\n"
           "note on standard error. A closed stream nothing is printed to costs nothing.\n"
           "With --json, standard output carries one JSON document also when the command\n"
           "fails: \"ok\": false, \"exit_status\" and \"error\".\n";
}

}  // namespace

namespace {

// What main needs to know of the run at its end.
struct RunKind {
    std::string command;
    bool json = false;  // --json given: stdout carries one JSON document, whatever happens
};

int Run(std::vector<std::string> args, RunKind& kind);

}  // namespace

int main(int argc, char** argv)
{
    // A closed pipe is output lost, told by the exit status; it never kills a
    // transfer half way. No port or file takes a closed standard descriptor's number.
    PrepareConsole();
    // Every command's data goes to standard output; a write that failed there
    // (full disk, /dev/full) fails the command, with the reason.
    cli::CCheckedStdout out;
    RunKind kind;
    int status = Run(std::vector<std::string>(argv + 1, argv + argc), kind);
    // A lost trace fails the command: it was asked for and is incomplete.
    if (!cli::EndTrace().empty() && status == cli::kExitOk)
        status = cli::kExitFailed;
    if (kind.json && !cli::JsonPrinted() && status != cli::kExitOk)
        cli::PrintJsonFailure(kind.command, status, cli::ErrorsSoFar());
    if (const std::string failed = out.Finish(); !failed.empty())
        cli::Error(cli::Tr("standard output could not be written: ", "标准输出 (standard output) 无法写入: ") + failed);
    std::fflush(stderr);
    return cli::StatusAfterOutput(status);
}

namespace {

int Run(std::vector<std::string> args, RunKind& kind)
{
    for (const std::string& a : args) {
        if (a == "--")
            break;
        kind.json = kind.json || a == "--json" || a.rfind("--json=", 0) == 0;
    }
    kind.command = args.empty() ? std::string() : args.front();
    if (args.empty()) {
        PrintToolHelp(std::cerr);
        return cli::kExitUsage;
    }
    const std::string name = args.front();
    cli::SetUpLanguageEarly(std::vector<std::string>(args.begin() + 1, args.end()));
    if (name == "--version") {
        std::cout << "progtool " PROG_VERSION "\n";
        return cli::kExitOk;
    }
    if (name == "--help" || name == "-h" || name == "help") {
        if (name == "help" && args.size() > 1) {
            for (const auto& c : cli::Commands())
                if (args[1] == c.name) {
                    std::cout << cli::CommandHelp(c);
                    return cli::kExitOk;
                }
        }
        PrintToolHelp(std::cout);
        return cli::kExitOk;
    }
    for (const auto& c : cli::Commands()) {
        if (name != c.name)
            continue;
        args.erase(args.begin());
        for (const auto& a : args)
            if (a == "--help" || a == "-h") {
                std::cout << cli::CommandHelp(c);
                return cli::kExitOk;
            }
        cli::SetRunWork(c.work);
        cli::SetDiffStatuses(name == "diff");
        cli::SetCommandLine(args);  // no file named on it is pruned as an old backup
        try {
            return c.run(args);
        } catch (const cli::UsageError& e) {
            // The mistake and where the usage is: the whole help would bury the message.
            cli::Error(std::string(c.name) + ": " + e.what());
            cli::Note(cli::Tr("see \"progtool ", "用法见 \"progtool ") + std::string(c.name) + " --help\"");
            return cli::kExitUsage;
        }
    }
    cli::Error(cli::Tr("unknown command \"", "未知命令 \"") + name +
               cli::Tr("\" (see progtool --help)", "\" (见 progtool --help)"));
    return cli::kExitUsage;
}

}  // namespace
