#pragma once
// The time a transfer job still needs: a read, or a write with perhaps a
// backup read before it and a verify read after it. Each phase is sized in
// frames (a read 1024, a write 1023); the time per frame measured so far, per
// kind of frame, prices what is left of the current phase and every phase
// after it, so the estimate holds steady from one phase to the next. A kind
// not yet measured is priced from the other by the bytes its frames put on
// the wire.
#include <cstddef>
#include <vector>

class CTimeLeft {
public:
    enum class Kind { Read, Write };

    explicit CTimeLeft(std::vector<Kind> phases);

    // Frames of a phase of this kind, and the bytes each puts on the wire.
    static int Frames(Kind kind);
    static int WireBytes(Kind kind);

    // Phase `index` (from 0) begins: its handshake comes first, and its
    // progress counts from 0 again.
    void Begin(std::size_t index);
    // The engine's progress in the current phase, in 16-byte blocks, at
    // `seconds` on any steady clock. The first report of a phase starts its
    // clock, so the handshake is not priced as data.
    void Progress(int blocks, double seconds);
    // Seconds for the rest of the job as of the last report; -1 while no
    // frame has been timed yet.
    double SecondsLeft() const;

    std::size_t Phase() const { return m_phase; }
    std::size_t Phases() const { return m_phases.size(); }

private:
    struct Measured {
        double seconds = 0;
        int frames = 0;
    };
    // Seconds per frame of a kind; <= 0 while unknown.
    double SecondsPerFrame(Kind kind) const;

    std::vector<Kind> m_phases;
    std::size_t m_phase = 0;
    Measured m_done[2];       // phases that have ended, per kind
    bool m_bStarted = false;  // the current phase has had its first report
    int m_nFirstFrames = 0;   // at that report
    double m_firstSeconds = 0;
    int m_nFrames = 0;  // at the last report
    double m_lastSeconds = 0;
};
