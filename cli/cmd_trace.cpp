#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>

#include "cli/Common.h"
#include "core/app/DisplayText.h"
#include "core/link/Trace.h"

namespace cli {

int CmdTrace(const std::vector<std::string>& argv)
{
    const Args args(argv, {}, {});
    args.RequirePositional(1, "TRACE FILE");
    const std::string& path = args.Positional()[0];
    std::string text;
    if (!ReadTextFile(path, text))
        return kExitFailed;
    std::istringstream in(text);
    std::vector<TraceRecord> records;
    std::string error;
    if (!ParseTrace(in, records, error)) {
        Error(path + ": " + EscapeControlBytes(error));
        return kExitFailed;
    }
    std::map<TraceFrameKind, int> count;
    for (const TraceFrame& f : DecodeTrace(records)) {
        ++count[f.kind];
        const char* who = f.kind == TraceFrameKind::Event ? "     " : f.fromRadio ? "radio" : "host ";
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%10.6f", f.seconds);
        std::cout << seconds << "  " << who << "  " << EscapeControlBytes(DescribeTraceFrame(f)) << "\n";
    }
    std::cout << count[TraceFrameKind::EntryCode] << " entry code(s), " << count[TraceFrameKind::ReadRequest]
              << " read request(s), " << count[TraceFrameKind::ReadReply] << " read reply(ies), "
              << count[TraceFrameKind::WriteFrame] << " write frame(s), " << count[TraceFrameKind::Unexpected]
              << " unexpected\n";
    return kExitOk;
}

}  // namespace cli
