#pragma once
// A serial port whose radio answers with whatever bytes it is given. Every
// read takes a count byte from one stream, then up to that many bytes (fewer
// than asked is a time-out), and never waits; once the stream is spent reads
// time out, or the line is lost. Writes are kept for checks.
#include <cstdint>
#include <string>
#include <vector>

#include "core/link/SerialPort.h"

namespace fuzz {

class StreamPort : public ISerialPort {
public:
    StreamPort(const std::uint8_t* data, std::size_t size, bool loseAtEnd, bool failOpen)
        : m_data(data), m_size(size), m_loseAtEnd(loseAtEnd), m_failOpen(failOpen)
    {
    }

    std::vector<std::vector<std::uint8_t>> writes;  // every Write call
    std::vector<std::uint8_t> delivered;            // every byte a Read gave
    long long reads = 0;
    int opens = 0, closes = 0;

    bool Open(const std::string& name) override
    {
        ++opens;
        m_device = name;
        if (m_failOpen) {
            m_error = name + ": no such device";
            return false;
        }
        m_open = true;
        return true;
    }
    bool IsOpen() const override { return m_open; }
    void Close() override
    {
        closes += m_open;
        m_open = false;
    }
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override
    {
        ++reads;
        got = 0;
        if (m_lost)
            return false;
        const std::size_t count = m_pos < m_size ? m_data[m_pos++] : 0;
        while (got < n && got < count && m_pos < m_size) {
            buf[got++] = m_data[m_pos];
            delivered.push_back(m_data[m_pos++]);
        }
        if (m_pos >= m_size && got < n && m_loseAtEnd) {
            m_lost = true;
            m_error = m_device + ": line lost";
            return false;
        }
        return true;
    }
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override
    {
        written = 0;
        if (m_lost)
            return false;
        writes.emplace_back(buf, buf + n);
        written = n;
        return true;
    }
    void PurgeAbort() override {}
    void PurgeClear() override {}
    bool IsLost() const override { return m_lost; }
    std::string ErrorText() const override { return m_error; }
    std::string DevicePath() const override { return m_device; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_loseAtEnd, m_failOpen;
    bool m_open = false, m_lost = false;
    std::string m_error, m_device;
};

}  // namespace fuzz
