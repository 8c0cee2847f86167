// progtool: the programming tool without windows, for scripts and batch work.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/Output.h"
#include "cli/ReadBackup.h"
#include "cli/Transfers.h"
#include "core/app/DisplayText.h"
#include "core/platform/Console.h"

// A build without Qt has no report renderer: its print only says so.
// The help's words for the system's own places.
#ifdef _WIN32
#define PROG_NULL_DEVICE "NUL"
#define PROG_BACKUPS_HELP                                                               \
    "                   is also kept in %LOCALAPPDATA%\\tr5-programmer\\backups, the\n" \
    "                   window's File > Backups;\n"
#define PROG_PORTS_HELP                                                                \
    "Lists COM1..COM4, the port each maps to ([Ports] of Program.ini; without an\n"    \
    "entry the port of that name) and whether it can be opened now, then every\n"      \
    "serial port present (with its name and, for USB adapters, VID:PID) and why one\n" \
    "cannot be opened (missing, busy, no permission).\n"
#define PROG_DOCTOR_HOLDERS_HELP                                                   \
    "Windows names no program that holds a COM port: a port another program has\n" \
    "open cannot be opened, and is told as busy.\n"
#define PROG_DOCTOR_FIND_HELP "                     appears is named with the --port to use\n"
#else
#define PROG_NULL_DEVICE "/dev/null"
#define PROG_BACKUPS_HELP                                                        \
    "                   is also kept in $XDG_DATA_HOME/tr5-programmer/backups\n" \
    "                   (~/.local/share/... when unset), the window's File > Backups;\n"
#define PROG_PORTS_HELP                                                                \
    "Lists COM1..COM4, the device each maps to ([Ports] of Program.ini) and whether\n" \
    "it can be opened now, then every serial device present (/dev/serial/by-id/*\n"    \
    "with its USB description, /dev/ttyUSB*, /dev/ttyACM*, the /dev/ttyS* with a\n"    \
    "UART) and why one cannot be opened (missing, busy, no permission: the\n"          \
    "\"dialout\" group).\n"
#define PROG_DOCTOR_HOLDERS_HELP                                                    \
    "The programs holding a device are found in /proc (name and PID); permission\n" \
    "denied names the device's group (dialout) and the command that adds you to it.\n"
#define PROG_DOCTOR_FIND_HELP                                                        \
    "                     appears is named (by its /dev/serial/by-id link when it\n" \
    "                     has one) with the --port to use\n"
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
         "Writes the image File New gives (no channels, default options) to FILE.dat.\n"
         "  --force        replace FILE.dat when it exists\n"
         "  --lang en|zh   language of the messages (default: Program.ini)\n"},
        {"show", CmdShow, RunWork::Output, "print the channels as the channel window shows them",
         "usage: progtool show FILE.dat [--lang en|zh] [--csv | --json]\n"
         "Prints the band edit ranges, the radio type and band, and the used channels\n"
         "with the grid's headings and cell texts (\"Pr\" is record 0).\n"
         "  --lang en|zh   language of headings and words (default: Program.ini)\n"
         "  --csv          print instead every cell of the 201 x 10 grid as CSV\n"
         "  --json         print one JSON document instead: ranges, type, band and every\n"
         "                 column of the used channels (docs/JSON.md)\n"},
        {"options", CmdOptions, RunWork::Output, "print (or change) the optional features",
         "usage: progtool options FILE.dat [--lang en|zh] [--set KEY=VALUE]... [-o OUT.dat]\n"
         "                        [--force] [--json]\n"
         "Prints one \"Label: value\" line per setting, in the Optional Features dialog's order.\n"
         "  --set KEY=VALUE   change a setting and save FILE.dat as the dialog's OK does;\n"
         "                    KEY is the label or its short name (led, step, name, beep, ...),\n"
         "                    VALUE one of the items the dialog lists (name: up to 6 characters\n"
         "                    of 0-9 A-Z - _, lower case taken as upper case; beep: on or off).\n"
         "                    --set help= lists every key and the values it takes. Another\n"
         "                    run changing FILE.dat is waited for (up to 10 s).\n"
         "  -o OUT.dat        with --set: save the changed image to OUT.dat (atomically) and\n"
         "                    leave FILE.dat as it is; never FILE.dat itself (also through a link)\n"
         "  --force           with --set: change a FILE.dat longer than 8192 bytes in place (the\n"
         "                    bytes beyond are lost), or replace an OUT.dat that holds something\n"
         "                    else than a radio image\n"
         "  --json            print one JSON document instead: key, label and value of each\n"
         "                    setting (docs/JSON.md)\n"},
        {"export", CmdExport, RunWork::Output, "write the channels as CSV",
         "usage: progtool export FILE.dat [-o OUT.csv [--force]] [--format grid|chirp]\n"
         "                       [--power words|watts] [--lang en|zh]\n"
         "  -o OUT.csv        write to OUT.csv (atomically) instead of standard output; never\n"
         "                    FILE.dat itself (also through a link)\n"
         "  --force           replace OUT.csv also when it holds something else than text\n"
         "                    (a radio image, a PDF)\n"
         "  --format grid     every cell of the grid, as show --csv (default)\n"
         "  --format chirp    the channel list layout (Location,Name,Frequency,Duplex,...)\n"
         "  --power words|watts\n"
         "                    the chirp layout's Power column as High/Middle/Low (default)\n"
         "                    or as 5.0W/2.0W/1.0W, as other programs expect\n"},
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
         "Lines beginning with '#' before the headings are comments and are passed over.\n"
         "  --stock NAME       import the stock list NAME (\"progtool stock\" lists them) as\n"
         "                     IN.csv would be; its licence comment is printed first. A\n"
         "                     list made for the other radio type (FITS in \"progtool\n"
         "                     stock\") is refused, unless --force\n"
         "  --format LAYOUT    grid or chirp; without it the first line's headings tell\n"
         "  --renumber [FROM]  place the imported rows in file order on consecutive\n"
         "                     channels from FROM (default 1; 0 is \"Pr\"), whatever their\n"
         "                     Location\n"
         "  --merge            write only the channels the file carries and keep the others\n"
         "  --skip-bad         write the other rows when some are refused\n"
         "  --force            replace the channels even when more than half of those in use\n"
         "                     would become empty (else refused: the wrong file, or one cut short);\n"
         "                     also import into a FILE.dat longer than 8192 bytes (the bytes\n"
         "                     beyond are lost); and a stock list for the other radio type\n"
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
         "\"progtool import --stock NAME FILE.dat\" imports one, with every option of import.\n"
         "  --json         print one JSON document instead (docs/JSON.md)\n"
         "  --lang en|zh   language of the titles and headings (default: Program.ini)\n"
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
         "One port and -o naming no directory: a read into that file, with any option.\n"
         "  --retries N      further series of 15 handshake attempts (default 0)\n"
         "  --port PORT      a port; give it once per radio\n"
         "  --ports LIST     ports separated by commas; \"all\": every serial device (and\n"
         "                   COM1..COM4 of Program.ini) on which a radio answers\n"
         "  --force          replace a FILE.dat or DIR/PORT.dat that exists, also one that\n"
         "                   holds something else than a radio image (else nothing is read)\n"
         "  --skip-busy      leave out ports another program holds (else an error); a port\n"
         "                   left out is not a success (exit status 1)\n"
         "  --trace FILE     write the serial trace (every byte with its time, and the\n"
         "                   frames; \"progtool trace\" decodes it) to FILE; one port only;\n"
         "                   FILE is a regular file or " PROG_NULL_DEVICE ", never a port or device\n"
         "  --no-backup      keep no backup of what was read; by default every complete read\n" PROG_BACKUPS_HELP
         "                   a backup that cannot be kept fails the run (the read is saved);\n"
         "                   the oldest backups progtool or the window wrote there beyond\n"
         "                   the number the window keeps are removed, and named (never a\n"
         "                   file of yours, nor one named on the command line)\n"
         "  --json           print the results as one JSON document (docs/JSON.md)\n"
         "  --quiet          no progress; only failures are reported\n"
         "  --progress=json  progress as JSON lines on stderr, for wrappers\n"
         "  --lang en|zh     language of the messages (default: Program.ini)\n"
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
         "With several ports every radio is written at once, each on its own thread.\n"
         "  --verify         read the radio back and report any differing byte ranges\n"
         "  --retries N      further series of 15 handshake attempts (default 0)\n"
         "  --port PORT      a port; give it once per radio\n"
         "  --ports LIST     ports separated by commas; \"all\": every serial device (and\n"
         "                   COM1..COM4 of Program.ini) on which a radio answers\n"
         "  --watch          keep running: program each radio once as it starts answering\n"
         "                   on a port (plugged in or switched on), with a running count;\n"
         "                   Ctrl+C ends it\n"
         "  --skip-busy      leave out ports another program holds (else an error); a port\n"
         "                   left out is not a success (exit status 1)\n"
         "  --trace FILE     write the serial trace (every byte with its time, and the\n"
         "                   frames; \"progtool trace\" decodes it) to FILE; one port only;\n"
         "                   FILE is a regular file or " PROG_NULL_DEVICE ", never a port or device\n"
         "  --force          send the first 8192 bytes of a longer file all the same\n"
         "  --json           print the results as one JSON document (docs/JSON.md)\n"
         "  --quiet          no progress; only failures are reported\n"
         "  --progress=json  progress as JSON lines on stderr, for wrappers\n"
         "  --lang en|zh     language of the messages (default: Program.ini)\n"
         "On a terminal a table shows each port's state, percent, rate, time left and\n"
         "result; otherwise each change is logged. Ctrl+C stops every transfer and names\n"
         "the radios left partly written. Exit status 0 only when every port succeeded, 3\n"
         "when they did but output was lost (a closed pipe: every write still finishes;\n"
         "--watch then serves no further radio).\n"},
        {"print", CmdPrint, RunWork::Effect, "print the report to a PDF file" PROG_PRINT_SUMMARY,
         "usage: progtool print FILE.dat --pdf OUT.pdf [--force] [--lang en|zh]\n"
         "Renders the same report as the window's printing (option page, channel pages).\n"
         "OUT.pdf is never FILE.dat itself (also through a link).\n"
         "  --force   replace OUT.pdf also when it holds something else than a PDF\n" PROG_PRINT_NOTE},
        {"simulate", CmdSimulate, RunWork::Effect, "run a simulated radio on a pseudo-terminal",
         "usage: progtool simulate [--image FILE.dat] [--save FILE.dat [--force]] [--link PATH]\n"
         "                         [--pace] [--fault KIND[@FRAME]]... [--lang en|zh]\n"
         "Prints the device path and serves the programming protocol until interrupted\n"
         "(Ctrl+C, SIGTERM). SIGUSR1 saves the memory without stopping.\n"
         "  --image FILE.dat   the radio's memory at start (default: a new document's image)\n"
         "  --save FILE.dat    save the memory to FILE.dat when stopping (checked at start:\n"
         "                     its folder, and a file that is no radio image only with --force)\n"
         "  --link PATH        make PATH a symbolic link to the device; an existing PATH is\n"
         "                     replaced only when it is a link an earlier simulated radio\n"
         "                     left (to a /dev/pts device that is gone)\n"
         "  --pace             answer at the real 9600-baud speed\n"
         "  --fault KIND       the radio misbehaves (KIND may be given several times):\n"
         "                     silent (answers nothing: a radio switched off), echo (every\n"
         "                     byte comes back: a cable without a radio), garbage (noise,\n"
         "                     never an acknowledgement), no-entry-ack, no-ident (the\n"
         "                     handshake stops after the entry code), no-final-ack (it stops\n"
         "                     before its last acknowledgement), random-headers,\n"
         "                     short-reply@F, wrong-ack@F, missing-ack@F, drop@F,\n"
         "                     lose-write@F (acknowledged, not stored) (F: data frame number\n"
         "                     from 0), slow@MS (MS milliseconds before each answer)\n"
         "  --lang en|zh       language of the messages (default: Program.ini)\n"},
        {"diff", CmdDiff, RunWork::Output, "compare two images, or an image and the radio",
         "usage: progtool diff A.dat B.dat [--lang en|zh] [--json]\n"
         "       progtool diff A.dat --port PORT [--retries N] [--lang en|zh] [--json]\n"
         "Lists how B (or the radio's memory, read first) differs from A: the band edit\n"
         "ranges, the model (type, band, band record), channels added, removed and changed\n"
         "column by column with the grid's texts, option fields by their dialog labels, and\n"
         "any other bytes that differ, by offset range.\n"
         "  --port PORT    read the radio on PORT and compare it as B\n"
         "  --retries N    further series of 15 handshake attempts (default 0)\n"
         "  --lang en|zh   language of headings, labels and words (default: Program.ini)\n"
         "  --json         print one JSON document instead (docs/JSON.md)\n"
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
         "opened is refused before any radio is touched.\n"
         "  --plan PLAN.dat   the image every radio should hold\n"
         "  --port PORT       a port; give it once per radio\n"
         "  --ports LIST      ports separated by commas; \"all\": every serial device (and\n"
         "                    COM1..COM4 of Program.ini) on which a radio answers\n"
         "  --reconcile channels\n"
         "                    write each radio that differs with its own memory and the\n"
         "                    plan's channels and band limits put in (records 0x0000-0x0C7F,\n"
         "                    names 0x0CA0-0x12DF but 0x0FF0-0x0FF2, limits 0x1FF0-0x1FF5);\n"
         "                    the power-on name and every other radio-wide byte stay its own\n"
         "  --reconcile all   write the plan whole to each radio that differs\n"
         "  --backup-dir DIR  keep the backups in DIR (created when missing) instead of the\n"
         "                    window's backup folder; nothing there is removed unless --prune\n"
         "  --prune           with --backup-dir: remove the oldest backups progtool wrote in\n"
         "                    DIR beyond the number the window keeps (never a file of yours,\n"
         "                    nor one named on the command line, nor this run's own)\n"
         "  --skip-busy       leave out ports another program holds (else an error); a port\n"
         "                    left out is not a success\n"
         "  --retries N       further series of 15 handshake attempts (default 0)\n"
         "  --force           take a PLAN.dat longer than 8192 bytes (its first 8192 bytes)\n"
         "  --json            print one JSON document instead (docs/JSON.md)\n"
         "  --lang en|zh      language of headings, labels and words (default: Program.ini)\n"
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
         "usage: progtool ports [--json] [--lang en|zh]\n" PROG_PORTS_HELP
         "  --json         print one JSON document instead (docs/JSON.md)\n"
         "  --lang en|zh   language of the states and headings (default: Program.ini)\n"},
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
         "ready to read or write).\n" PROG_DOCTOR_HOLDERS_HELP
         "  --port PORT        a port to check: COM1..COM4 (mapped by [Ports] of\n"
         "                     Program.ini) or a device path; give it once per port\n"
         "  --find             find the cable: unplug it and plug it in; the port that\n" PROG_DOCTOR_FIND_HELP
         "  --timeout SECONDS  with --find: how long to wait for the cable (default 60)\n"
         "  --trace FILE       write the serial trace of the checks to FILE (\"progtool\n"
         "                     trace\" decodes it); a regular file or " PROG_NULL_DEVICE "\n"
         "  --json             print one JSON document instead (docs/JSON.md)\n"
         "  --lang en|zh       language of the advice (default: Program.ini)\n"
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
         "file is refused (exit status 1): every trace has its header, so it was lost.\n"
         "  --lang en|zh   language of the messages (default: Program.ini)\n"},
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
         "Without -o the report is printed: read it before you save or send it.\n"
         "  -o FILE           save the report to FILE (atomically) and print its sections\n"
         "  --force           replace FILE when it exists (else refused)\n"
         "  --include-document FILE.dat\n"
         "                    append that document: its channels and options as show and\n"
         "                    options print them, and its 8192 bytes in hex\n"
         "  --json            print one JSON document instead: the sections, each with its\n"
         "                    key, title and text (docs/JSON.md)\n"
         "  --lang en|zh      language of the headings and words (default: Program.ini)\n"
         "Exit status: 0 printed or saved, 1 not saved (FILE exists, is the document or a\n"
         "file the report quotes such as Program.ini, a directory or a device, or cannot\n"
         "be written), 2 bad usage.\n"},
    };
    return commands;
}

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
                    std::cout << c.usage;
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
                std::cout << c.usage;
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
