#include "cli/Output.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>

#include "core/app/BiText.h"
#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/app/Messages.h"
#include "core/app/SupportState.h"
#include "core/platform/Console.h"
#include "core/radio/ChannelCodec.h"

namespace cli {

const char* Tr(const char* en, const char* zh) { return BiText{en, zh}.Pick(); }

namespace {
std::mutex g_errorLock;
std::vector<std::string> g_errors;
}  // namespace

std::string ForTerminal(const std::string& text)
{
    std::string out;
    for (std::size_t from = 0;;) {
        const std::size_t nl = text.find('\n', from);
        out += EscapeControlBytes(text.substr(from, nl == std::string::npos ? std::string::npos : nl - from));
        if (nl == std::string::npos)
            return out;
        out += '\n';
        from = nl + 1;
    }
}

void Error(const std::string& message)
{
    {
        const std::lock_guard<std::mutex> hold(g_errorLock);
        g_errors.push_back(message);
    }
    // Kept for a support report (the last few); a failure to keep it is silent.
    RecordShownMessage("progtool: " + message);
    std::cerr << "progtool: " << ForTerminal(message) << std::endl;
}

std::vector<std::string> ErrorsSoFar()
{
    const std::lock_guard<std::mutex> hold(g_errorLock);
    return g_errors;
}
void Note(const std::string& message) { std::cerr << ForTerminal(message) << std::endl; }
void Warn(const std::string& message)
{
    std::cerr << "progtool: " << Tr("warning: ", "警告: ") << ForTerminal(message) << std::endl;
}

std::string MessageText(int id)
{
    const char* text = g_bChinese ? ChineseMessage(id) : EnglishMessage(id);
    return text ? text : Tr("error ", "错误 ") + std::to_string(id);
}

void BeginJsonDocument(CJsonWriter& json, const char* command)
{
    json.BeginObject().Key("schema").Int(kJsonSchema).Key("command").String(command);
}

namespace {
bool g_bJsonPrinted = false;
CCheckedStdout* g_pStdout = nullptr;
}  // namespace

void PrintJson(const CJsonWriter& json)
{
    g_bJsonPrinted = true;
    std::cout << json.Text() << std::flush;
}

bool JsonPrinted() { return g_bJsonPrinted; }

void PrintJsonFailure(const std::string& command, int status, const std::vector<std::string>& errors)
{
    std::string error;
    for (const std::string& e : errors)
        error += (error.empty() ? "" : "\n") + e;
    if (error.empty())
        error = Tr("exit status ", "退出状态 ") + std::to_string(status);
    CJsonWriter json;
    BeginJsonDocument(json, command.c_str());
    json.Key("ok").Bool(false).Key("exit_status").Int(status).Key("error").String(error);
    json.Key("errors").BeginArray();
    for (const std::string& e : errors)
        json.String(e);
    json.EndArray().EndObject();
    PrintJson(json);
}

namespace {
RunWork g_work = RunWork::Output;
bool g_bDiffStatuses = false;
bool StdoutLost() { return g_pStdout && g_pStdout->ErrorNumber() != 0; }
}  // namespace

bool OutputLost() { return std::ferror(stderr) || StdoutLost(); }

void SetRunWork(RunWork work) { g_work = work; }
void SetDiffStatuses(bool diff) { g_bDiffStatuses = diff; }

int StatusAfterOutput(int status)
{
    const bool done = status == kExitOk || (g_bDiffStatuses && status == kExitFailed);
    if (!done || !OutputLost())
        return status;
    if (g_work == RunWork::Output) {
        // Its answer is what it printed: whole, it stands (diff's 0 or 1 too),
        // whatever a note on stderr met; lost, the run failed.
        if (StdoutLost())
            return g_bDiffStatuses ? kExitDiffTrouble : kExitFailed;
        return status;
    }
    return kExitOutputLost;
}

CCheckedFdBuf::CCheckedFdBuf(int fd, bool lineBuffered) : m_fd(fd), m_bLineBuffered(lineBuffered)
{
    setp(m_buffer, m_buffer + sizeof m_buffer);
}

bool CCheckedFdBuf::Drain()
{
    if (m_nError == 0)
        m_nError = WriteAll(m_fd, pbase(), static_cast<std::size_t>(pptr() - pbase()));
    // After a failure the rest is dropped: it could not be written either.
    setp(m_buffer, m_buffer + sizeof m_buffer);
    return m_nError == 0;
}

int CCheckedFdBuf::overflow(int c)
{
    if (!Drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize CCheckedFdBuf::xsputn(const char* s, std::streamsize n)
{
    const std::streamsize put = std::streambuf::xsputn(s, n);
    if (m_bLineBuffered && std::memchr(s, '\n', static_cast<std::size_t>(n)) && !Drain())
        return 0;
    return m_nError ? 0 : put;
}

int CCheckedFdBuf::sync() { return Drain() ? 0 : -1; }

CCheckedStdout::CCheckedStdout() : CCheckedFdBuf(1, IsTerminal(StdStream::Out))
{
    std::cout.flush();
    m_pOld = std::cout.rdbuf(this);
    g_pStdout = this;
}

CCheckedStdout::~CCheckedStdout()
{
    Drain();
    std::cout.rdbuf(m_pOld);
    g_pStdout = nullptr;
}

std::string CCheckedStdout::Finish()
{
    std::cout.flush();
    Drain();
    return ErrorNumber() ? std::strerror(ErrorNumber()) : std::string();
}

const char* ColumnKey(int col)
{
    static const char* const keys[kGridCols] = {"channel", "rx_frequency", "tx_frequency", "rx_tone",   "tx_tone",
                                                "power",   "lock",         "scan_add",     "bandwidth", "name"};
    return col >= 0 && col < kGridCols ? keys[col] : "";
}

std::string ChannelLabel(int row)
{
    std::string label = GridRowLabel(row);
    label.erase(0, label.find_first_not_of(' '));
    return label;
}

}  // namespace cli
