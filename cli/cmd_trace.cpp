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
    // The whole file is checked before anything is printed; then its frames
    // are decoded record by record, so memory follows the text, not its frames.
    std::string error;
    {
        std::istringstream in(text);
        if (!ParseTrace(
                in, [](TraceRecord&&) {}, error)) {
            Error(path + ": " + EscapeControlBytes(error));
            return kExitFailed;
        }
    }
    std::map<TraceFrameKind, int> count;
    auto print = [&](const std::vector<TraceFrame>& frames) {
        for (const TraceFrame& f : frames) {
            ++count[f.kind];
            const char* who = f.kind == TraceFrameKind::Event ? "     " : f.fromRadio ? "radio" : "host ";
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%10.6f", f.seconds);
            std::cout << seconds << "  " << who << "  " << EscapeControlBytes(DescribeTraceFrame(f)) << "\n";
        }
    };
    CTraceDecoder decoder;
    double last = 0;
    std::istringstream in(text);
    ParseTrace(
        in,
        [&](TraceRecord&& r) {
            last = r.seconds;
            decoder.Feed(r);
            print(decoder.TakeFrames());
        },
        error);
    decoder.Finish(last);
    print(decoder.TakeFrames());
    std::cout << count[TraceFrameKind::EntryCode] << " entry code(s), " << count[TraceFrameKind::ReadRequest]
              << " read request(s), " << count[TraceFrameKind::ReadReply] << " read reply(ies), "
              << count[TraceFrameKind::WriteFrame] << " write frame(s), " << count[TraceFrameKind::Unexpected]
              << " unexpected\n";
    return kExitOk;
}

}  // namespace cli
