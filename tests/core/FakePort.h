#pragma once
// A port whose other end is the radio's protocol machine, in the same thread:
// reads never wait, so handshake attempts and whole transfers cost no time.
#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <vector>

#include "core/link/Protocol.h"
#include "core/link/SerialPort.h"

namespace fakeport {

struct WriteCall {
    std::vector<std::uint8_t> bytes;
    int sleepsBefore = 0;  // engine sleeps since the previous write (microseconds)
};

class FakePort : public ISerialPort {
public:
    CRadioProtocol radio;
    bool failOpen = false;
    int loseAtFrame = -1;  // the line vanishes when this data frame is sent
    int noiseAtRead = -1;  // this read (from 1) gets one noise byte instead of the radio's answer
    int opens = 0, closes = 0, purgeClears = 0, purgeAborts = 0, reads = 0;
    std::vector<WriteCall> writes;
    long long pendingSleepUs = 0;

    bool Open(const std::string& name) override
    {
        ++opens;
        device = name;
        if (failOpen) {
            error = OpenErrorText(name, ENOENT);
            return false;
        }
        open = true;
        lost = false;
        return true;
    }
    bool IsOpen() const override { return open; }
    void Close() override
    {
        if (open)
            ++closes;
        open = false;
    }
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override
    {
        got = 0;
        EXPECT_TRUE(open);
        if (lost)
            return false;
        if (++reads == noiseAtRead) {
            buf[got++] = 0x4D;
            return true;
        }
        while (got < n && !rx.empty()) {
            buf[got++] = rx.front();
            rx.pop_front();
        }
        return true;
    }
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override
    {
        EXPECT_TRUE(open);
        written = 0;
        if (lost)
            return false;
        writes.push_back({std::vector<std::uint8_t>(buf, buf + n), static_cast<int>(pendingSleepUs)});
        pendingSleepUs = 0;
        for (std::size_t i = 0; i < n; ++i) {
            std::vector<std::uint8_t> out;
            if (radio.Feed(buf[i], out) == CRadioProtocol::Action::Drop)
                lost = true;
            if (loseAtFrame >= 0 && static_cast<int>(radio.FrameLog().size()) > loseAtFrame)
                lost = true;
            if (lost) {
                error = "lost";
                return false;
            }
            rx.insert(rx.end(), out.begin(), out.end());
        }
        written = n;
        return true;
    }
    void PurgeAbort() override { ++purgeAborts; }
    void PurgeClear() override
    {
        ++purgeClears;
        rx.clear();
    }
    bool IsLost() const override { return lost; }
    std::string ErrorText() const override { return error; }
    std::string DevicePath() const override { return device; }

private:
    bool open = false;
    bool lost = false;
    std::string error, device;
    std::deque<std::uint8_t> rx;
};

}  // namespace fakeport
