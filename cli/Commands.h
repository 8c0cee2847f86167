#pragma once
// progtool's commands: each is a function in its own cmd_*.cpp (print's in
// noqt/ for a build without Qt), listed with its help by main.cpp.
#include <string>
#include <vector>

struct StockList;

namespace cli {

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
    // The help: the usage and what the command does, its options from the
    // table (OptionHelp), then what follows them.
    const char* usage;
    const char* more;
};
const std::vector<Command>& Commands();
// The whole of a command's --help.
std::string CommandHelp(const Command& command);

}  // namespace cli
