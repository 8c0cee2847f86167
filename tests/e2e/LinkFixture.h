#pragma once
// Shared pieces of the link end-to-end tests: the real port on a pseudo-terminal
// against the simulated radio.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/link/SerialPort.h"
#include "core/link/SimulatedRadio.h"
#include "core/link/Transfer.h"

struct RecordingObserver : ITransferObserver {
    int lower = -1, upper = -1, last = 0, steps = 0;
    int cancelAtProgress = -1;
    std::atomic<bool> cancel{false};
    std::vector<int> prompts;
    std::function<bool()> onPrompt;  // Cancel when empty
    std::vector<std::pair<int, std::string>> messages;

    void Range(int lo, int hi) override { lower = lo, upper = hi; }
    void Progress(int pos) override
    {
        ++steps;
        last = pos;
        if (pos == cancelAtProgress)
            cancel = true;
    }
    bool IsCancelled() override { return cancel; }
    bool PromptRetry(int id, const TransferResult&) override
    {
        prompts.push_back(id);
        return onPrompt ? onPrompt() : false;
    }
    void Message(int id, const std::string& detail) override { messages.emplace_back(id, detail); }
};

inline Image TestPattern(unsigned seed)
{
    Image img{};
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : img) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    // Bytes a cooked tty would eat or translate must pass unchanged.
    const std::uint8_t tricky[] = {0x0D, 0x0A, 0x11, 0x13, 0x03, 0x04, 0x7F, 0xFF, 0x00, 0x1A};
    for (std::size_t i = 0; i < sizeof tricky; ++i)
        img[0x100 + i] = tricky[i];
    return img;
}

// One radio with its faults, serving on a pty, and a fresh port, observer and
// engine talking to it: the set-up of every case that needs its own radio.
struct LinkRig {
    CSimulatedRadio r;
    CSerialPort p;
    RecordingObserver o;
    CTransferEngine e{p, o};

    explicit LinkRig(const RadioFaults& f, const Image* memory = nullptr)
    {
        EXPECT_TRUE(r.OpenPty());
        if (memory)
            r.SetMemory(*memory);
        r.SetFaults(f);
        r.Start();
    }
    ~LinkRig() { r.Stop(); }
};

class LinkTest : public ::testing::Test {
protected:
    CSimulatedRadio radio;
    CSerialPort port;
    RecordingObserver obs;
    CTransferEngine engine{port, obs};

    void SetUp() override
    {
        std::string err;
        ASSERT_TRUE(radio.OpenPty(&err)) << err;
        radio.SetMemory(TestPattern(1));
    }
    void TearDown() override { radio.Stop(); }
    void Serve(const RadioFaults& f = {})
    {
        radio.SetFaults(f);
        radio.Start();
    }
};
