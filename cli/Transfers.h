#pragma once
// A single-port transfer as the window runs it, and --trace's file for the
// command's transfers.
#include <iosfwd>
#include <string>
#include <vector>

#include "core/link/PortName.h"
#include "core/radio/Image.h"

namespace cli {

class Args;

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

}  // namespace cli
