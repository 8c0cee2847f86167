#include "cli/Output.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <unistd.h>

#include "core/app/Globals.h"
#include "core/radio/ChannelCodec.h"

namespace cli {

const char* Tr(const char* en, const char* zh) { return g_bChinese ? zh : en; }

void BeginJsonDocument(CJsonWriter& json, const char* command)
{
    json.BeginObject().Key("schema").Int(kJsonSchema).Key("command").String(command);
}

void PrintJson(const CJsonWriter& json) { std::cout << json.Text() << std::flush; }

CCheckedStdout::CCheckedStdout() : m_bLineBuffered(::isatty(1) != 0)
{
    setp(m_buffer, m_buffer + sizeof m_buffer);
    std::cout.flush();
    m_pOld = std::cout.rdbuf(this);
}

CCheckedStdout::~CCheckedStdout()
{
    Drain();
    std::cout.rdbuf(m_pOld);
}

bool CCheckedStdout::Drain()
{
    const char* p = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    while (left > 0 && m_nError == 0) {
        const ssize_t n = ::write(1, p, left);
        if (n < 0) {
            if (errno != EINTR)
                m_nError = errno;
            continue;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    // After a failure the rest is dropped: it could not be written either.
    setp(m_buffer, m_buffer + sizeof m_buffer);
    return m_nError == 0;
}

int CCheckedStdout::overflow(int c)
{
    if (!Drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize CCheckedStdout::xsputn(const char* s, std::streamsize n)
{
    const std::streamsize put = std::streambuf::xsputn(s, n);
    if (m_bLineBuffered && std::memchr(s, '\n', static_cast<std::size_t>(n)) && !Drain())
        return 0;
    return m_nError ? 0 : put;
}

int CCheckedStdout::sync() { return Drain() ? 0 : -1; }

std::string CCheckedStdout::Finish()
{
    std::cout.flush();
    Drain();
    return m_nError ? std::strerror(m_nError) : std::string();
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
