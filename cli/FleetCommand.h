#pragma once
// The fleet command's state, shared by its files: ports, table, JSON and the run (cmd_fleet.cpp).
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Output.h"
#include "cli/ReadBackup.h"
#include "core/link/Fleet.h"
#include "core/link/Ports.h"

namespace cli {

// A port of the command, resolved once: name as given, device after the
// [Ports] mapping.
struct Target : ResolvedPort {
    std::string output;  // read: the file it goes to
};

class CFleetCommand {
public:
    CFleetCommand(bool write, const Args& args) : m_bWrite(write), m_args(args) {}
    int Run();
    // progtool audit (cmd_audit.cpp): a fleet read with backups compared with a
    // plan, then, with --reconcile, a fleet write with verify of each differing
    // radio's own image brought to the plan.
    int RunAudit();

private:
    // FleetPorts.cpp
    bool ResolvePorts();
    bool CheckOutputs();
    std::vector<std::string> AllPorts();
    // FleetTable.cpp
    void DrawTable(const std::vector<FleetPortState>& states, int jobs);
    void LogChanges(const std::vector<FleetPortState>& states, const std::vector<FleetJob>& jobs);
    // FleetJson.cpp
    void ProgressLines(const std::vector<FleetPortState>& states, const std::vector<FleetJob>& jobs, bool all);
    // write: the job was a write (and its verify), else a read.
    void JsonJob(CJsonWriter& json, const FleetJob& j, bool write);
    void JsonSkipped(CJsonWriter& json);
    // The --json document of Summary.
    void JsonSummary(const std::vector<FleetJob>& jobs, int ok, int failed, int cancelled,
                     const std::vector<std::string>& partly, int status, const std::string& error);
    // cmd_fleet.cpp
    // Every port's serial trace into memory (and into `file`): a failed handshake's is kept.
    void TracePorts(FleetOptions& options, const std::string& header, std::ostream* file);
    void Monitor(CFleet& fleet);
    int Summary(const CFleet& fleet);
    std::string OutputOf(const std::string& port) const;

    bool m_bWrite;
    bool m_bAudit = false;
    const Args& m_args;
    bool m_bWatch = false, m_bVerify = false, m_bJson = false, m_bQuiet = false, m_bJsonProgress = false;
    bool m_bTable = false, m_bInterrupted = false;
    bool m_bSingleFile = false;  // read: one port into the file -o names
    bool m_bOutputLost = false;  // a write to stdout or stderr failed while the fleet ran
    std::string m_strTraceLost;  // why the --trace file could not be written
    // read: the backup of each port's read (its path, or why it was not kept)
    struct Backup {
        std::string path, error;
        ReadBackup saved;  // what was pruned for it
    };
    bool m_bBackup = false;
    std::mutex m_backupLock;
    std::map<std::string, Backup> m_backups;
    std::string m_strBackupDir;               // audit --backup-dir; "" for the window's backup folder
    bool m_bPrune = false;                    // audit --prune: the old backups in --backup-dir are pruned
    std::map<std::string, Image> m_memories;  // audit: what each radio's read gave
    int BackupFailures() const;
    // Each old backup pruned for the run's reads, once they are all done.
    void TellRemoved() const;
    // The trace of a failed handshake, kept for a support report: its path by radio ("" when it could not be).
    mutable std::mutex m_keptLock;
    std::map<int, std::string> m_keptTraces;
    std::string KeptTrace(int radio) const;
    int m_nRetries = 0;
    std::string m_strFile;  // write: the image; read: the output directory (or file)
    std::vector<Target> m_targets;
    std::vector<Target> m_skipped;
    std::map<std::string, std::string> m_skipReasons;
    // What the log and the progress lines last showed.
    std::vector<FleetPhase> m_shownPhase;
    std::vector<int> m_shownPercent;
    std::size_t m_nShownJobs = 0;
    int m_nTableLines = 0;
};

}  // namespace cli
