#pragma once
// The words and lines of a fleet run shared by its table, log, summary and JSON.
#include <string>

#include "core/link/Fleet.h"

namespace cli {

// "12.3 s"
std::string Seconds(double s);
// "port (device)", or the port alone when the device is its own name.
std::string Where(const std::string& name, const std::string& device);
std::string OutcomeWord(FleetOutcome o);
// lastFailed: the port's last radio was not programmed (watching).
std::string PhaseWord(FleetPhase p, bool write, bool lastFailed);
// How far the running transfer is, 0..100.
int Percent(const FleetPortState& s);
// The message of a job that did not succeed: the string-table text, the
// system's reason, and how far it went.
std::string JobProblem(const FleetJob& j, int, const std::string& file);
// One job's line: its port, outcome and time or problem, and where a read went.
std::string JobLine(const FleetJob& j, int retries, const std::string& file, const std::string& output);
// Which radio a job served: its port; watching, one port serves many radios,
// so the radio's number and the time it was done with come first.
std::string RadioName(const FleetJob& j, bool watch);

}  // namespace cli
