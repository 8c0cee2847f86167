#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>

#include "cli/Common.h"
#include "core/app/DisplayText.h"
#include "core/link/Trace.h"

namespace cli {

int CmdTrace(const std::vector<std::string>& argv)
{
    const Args args(argv, {}, {});
    args.RequirePositional(1, "TRACE FILE");
    const std::string& path = args.Positional()[0];
    std::ifstream in(path);
    if (!in) {
        Error(path + ": " + std::strerror(errno));
        return kExitFailed;
    }
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
        std::printf("%10.6f  %s  %s\n", f.seconds, who, EscapeControlBytes(DescribeTraceFrame(f)).c_str());
    }
    std::cout << count[TraceFrameKind::EntryCode] << " entry code(s), " << count[TraceFrameKind::ReadRequest]
              << " read request(s), " << count[TraceFrameKind::ReadReply] << " read reply(ies), "
              << count[TraceFrameKind::WriteFrame] << " write frame(s), " << count[TraceFrameKind::Unexpected]
              << " unexpected\n";
    return kExitOk;
}

}  // namespace cli
