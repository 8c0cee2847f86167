// The serial trace: whole transfers recorded through the tracing port, read
// back and decoded into the frames the radio saw.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "core/link/Trace.h"
#include "core/link/Transfer.h"
#include "tests/core/FakePort.h"

namespace {

struct QuietObserver : ITransferObserver {
    void Range(int, int) override {}
    void Progress(int) override {}
    bool IsCancelled() override { return false; }
    bool PromptRetry(int, const TransferResult&) override { return false; }
    void Message(int, const std::string&) override {}
};

Image Pattern()
{
    Image img{};
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i * 13 + (i >> 7));
    return img;
}

// Runs one transfer through a tracing port; returns the trace's text.
std::string Recorded(bool write, const RadioFaults& faults = {}, Image* image = nullptr)
{
    fakeport::FakePort port;
    port.radio.Memory() = Pattern();
    port.radio.SetFaults(faults);
    std::ostringstream text;
    {
        CTracingPort traced(port, text, {"test trace"});
        QuietObserver obs;
        CTransferEngine engine(traced, obs);
        engine.SetSleeper([](std::chrono::microseconds) {});
        Image local = Pattern();
        Image& img = image ? *image : local;
        write ? engine.Write("COM1", img) : engine.Read("COM1", img);
    }
    return text.str();
}

std::vector<TraceFrame> Decoded(const std::string& text)
{
    std::istringstream in(text);
    std::vector<TraceRecord> records;
    std::string error;
    EXPECT_TRUE(ParseTrace(in, records, error)) << error;
    return DecodeTrace(records);
}

std::map<TraceFrameKind, int> Count(const std::vector<TraceFrame>& frames)
{
    std::map<TraceFrameKind, int> n;
    for (const TraceFrame& f : frames)
        ++n[f.kind];
    return n;
}

int DecodedLines(const std::string& text)
{
    int n = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        n += line.rfind("= ", 0) == 0;
    return n;
}

}  // namespace

TEST(Trace, FullReadDecodesIntoTheProtocolsFrames)
{
    const std::string text = Recorded(false);
    EXPECT_EQ(text.rfind("# test trace\n", 0), 0u);
    const std::vector<TraceFrame> frames = Decoded(text);
    // The frames written beside the bytes are those the file decodes into.
    EXPECT_EQ(DecodedLines(text), static_cast<int>(frames.size()));

    auto n = Count(frames);
    EXPECT_EQ(n[TraceFrameKind::EntryCode], 1);
    EXPECT_EQ(n[TraceFrameKind::IdentRequest], 1);
    EXPECT_EQ(n[TraceFrameKind::IdentReply], 1);
    EXPECT_EQ(n[TraceFrameKind::ReadRequest], 1024);
    EXPECT_EQ(n[TraceFrameKind::ReadReply], 1024);
    EXPECT_EQ(n[TraceFrameKind::HostAck], 1 + 1024);
    EXPECT_EQ(n[TraceFrameKind::RadioAck], 2 + 1024);
    EXPECT_EQ(n[TraceFrameKind::WriteFrame], 0);
    EXPECT_EQ(n[TraceFrameKind::Unexpected], 0);
    EXPECT_EQ(frames.front().text, "open COM1");
    EXPECT_EQ(frames.back().text, "close");

    Image fromTrace{};
    int next = 0;
    for (const TraceFrame& f : frames) {
        if (f.kind == TraceFrameKind::EntryCode) {
            EXPECT_EQ(f.text, "TANAGR");
        }
        if (f.kind == TraceFrameKind::ReadRequest) {
            ASSERT_EQ(f.address, next);
            ASSERT_EQ(f.length, 8);
        }
        if (f.kind == TraceFrameKind::ReadReply) {
            ASSERT_EQ(f.address, next);
            ASSERT_EQ(f.data.size(), 8u);
            std::copy(f.data.begin(), f.data.end(), fromTrace.begin() + next);
            next += 8;
        }
    }
    EXPECT_EQ(fromTrace, Pattern());
    const auto request =
        std::find_if(frames.begin(), frames.end(), [](const TraceFrame& f) { return f.address == 0x0108; });
    EXPECT_EQ(DescribeTraceFrame(*request), "read request 0x0108, 8 bytes");
}

TEST(Trace, FullWriteDecodesIntoTheProtocolsFrames)
{
    Image image = Pattern();
    image[0x1FF7] = 0x42;  // never sent
    const std::vector<TraceFrame> frames = Decoded(Recorded(true, {}, &image));
    auto n = Count(frames);
    EXPECT_EQ(n[TraceFrameKind::WriteFrame], 1023);
    EXPECT_EQ(n[TraceFrameKind::RadioAck], 2 + 1023);
    EXPECT_EQ(n[TraceFrameKind::ReadRequest], 0);
    EXPECT_EQ(n[TraceFrameKind::Unexpected], 0);
    int next = 0;
    for (const TraceFrame& f : frames) {
        if (f.kind != TraceFrameKind::WriteFrame)
            continue;
        ASSERT_EQ(f.address, next);
        const int len = next == 0x1FF0 ? 6 : 8;
        ASSERT_EQ(f.length, len);
        ASSERT_TRUE(std::equal(f.data.begin(), f.data.end(), image.begin() + next)) << next;
        next += len;
    }
    EXPECT_EQ(next, 0x1FF6);
}

TEST(Trace, FaultsShowAsUnexpectedBytes)
{
    struct Case {
        const char* name;
        bool write;
        RadioFaults faults;
        std::string described;  // of the one Unexpected frame
    };
    RadioFaults wrongAck, shortReply;
    wrongAck.wrongAckAtFrame = 3;
    shortReply.shortReplyAtFrame = 2;
    const Case cases[] = {
        {"wrong ack", true, wrongAck, "radio: not an acknowledgement: 15"},
        {"short reply", false, shortReply, "radio: incomplete answer: 52 00 10 08 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TraceFrame> odd;
        for (const TraceFrame& f : Decoded(Recorded(c.write, c.faults)))
            if (f.kind == TraceFrameKind::Unexpected)
                odd.push_back(f);
        ASSERT_EQ(odd.size(), 1u);
        EXPECT_EQ(DescribeTraceFrame(odd[0]).substr(0, c.described.size()), c.described);
    }
}

TEST(Trace, ParseNamesTheBadLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0.1 > 02\nnonsense\n", "line 2: not a trace line"},
        {"# header\n0.1 < 0G\n", "line 2: \"0G\" is not a byte"},
        {"0.1 x 02\n", "line 1: not a trace line"},
        {"", "it is empty: it holds no serial trace"},
        {"long", "line 2 is 16389 characters long; a trace line has at most 16384"},
    };
    std::string bytes;
    while (bytes.size() < 16384)
        bytes += " 00";
    const std::string longLine = "# x\n0.1 >" + bytes.substr(0, 16384) + "\n";  // refused before its bytes are read
    for (const auto& [text, want] : cases) {
        std::istringstream in(std::string(text) == "long" ? longLine : text);
        std::vector<TraceRecord> records;
        std::string error;
        EXPECT_FALSE(ParseTrace(in, records, error)) << text;
        EXPECT_EQ(error.rfind(want, 0), 0u) << error;
    }
}

TEST(Trace, OutputIsARegularFileOrDevNullNeverThePort)
{
#ifdef _WIN32
    GTEST_SKIP() << "/dev files, FIFOs and mkdtemp are POSIX";
#else
    char tmpl[] = "/tmp/traceoutXXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    const std::string file = dir + "/old.trace", link = dir + "/port", fifo = dir + "/fifo";
    std::ofstream(file) << "# old\n";
    std::filesystem::create_symlink("/dev/tty", link);  // a port named through a link, as a simulated radio's is
    ::mkfifo(fifo.c_str(), 0600);
    const std::pair<std::string, const char*> cases[] = {
        {dir + "/new.trace", ""}, {file, ""},
        {"/dev/null", ""},        {"/dev/tty", "is the port"},  // the device the link leads to
        {link, "is the port"},    {"/dev/zero", "is a device"},
        {fifo, "is a FIFO"},      {dir, "is a directory"},
    };
    for (const auto& [path, want] : cases) {
        const std::string why = TraceOutputProblem(path, {link});
        if (*want == '\0') {
            EXPECT_EQ(why, "") << path;
            continue;
        }
        EXPECT_NE(why.find("\"" + path + "\" " + want), std::string::npos) << why;
        EXPECT_NE(why.find("a regular file (new, or existing and writable) or /dev/null"), std::string::npos);
    }
    std::filesystem::remove_all(dir);
#endif
}
