#include "core/link/TimeLeft.h"

#include <algorithm>
#include <utility>

#include "core/link/Protocol.h"
#include "core/radio/Image.h"

namespace {

constexpr int kRequestSize = 4;  // 'R' or 'W', the address, the length
constexpr int kFramesPerBlock = static_cast<int>(kBlockSize) / proto::kFrameData;

int Index(CTimeLeft::Kind kind) { return kind == CTimeLeft::Kind::Read ? 0 : 1; }

}  // namespace

CTimeLeft::CTimeLeft(std::vector<Kind> phases) : m_phases(std::move(phases)) {}

int CTimeLeft::Frames(Kind kind) { return kind == Kind::Read ? proto::kReadFrames : proto::kWriteFullFrames + 1; }

int CTimeLeft::WireBytes(Kind kind)
{
    // A read: the request, the reply, the host's acknowledgement and the
    // radio's. A write: the header, the data, the radio's acknowledgement.
    return kind == Kind::Read ? kRequestSize + proto::kReadReplySize + 2 : kRequestSize + proto::kFrameData + 1;
}

void CTimeLeft::Begin(std::size_t index)
{
    if (m_bStarted && m_phase < m_phases.size()) {
        Measured& m = m_done[Index(m_phases[m_phase])];
        m.seconds += m_lastSeconds - m_firstSeconds;
        m.frames += m_nFrames - m_nFirstFrames;
    }
    m_phase = index;
    m_bStarted = false;
    m_nFrames = 0;
}

void CTimeLeft::Progress(int blocks, double seconds)
{
    if (m_phase >= m_phases.size())
        return;
    const int frames = std::clamp(blocks * kFramesPerBlock, 0, Frames(m_phases[m_phase]));
    if (!m_bStarted) {
        m_bStarted = true;
        m_nFirstFrames = frames;
        m_firstSeconds = seconds;
    }
    m_nFrames = frames;
    m_lastSeconds = seconds;
}

double CTimeLeft::SecondsPerFrame(Kind kind) const
{
    Measured m = m_done[Index(kind)];
    if (m_bStarted && m_phase < m_phases.size() && m_phases[m_phase] == kind) {
        m.seconds += m_lastSeconds - m_firstSeconds;
        m.frames += m_nFrames - m_nFirstFrames;
    }
    return m.frames > 0 && m.seconds > 0 ? m.seconds / m.frames : -1;
}

double CTimeLeft::SecondsLeft() const
{
    if (m_phase >= m_phases.size())
        return 0;
    auto price = [this](Kind kind) {
        const double own = SecondsPerFrame(kind);
        if (own > 0)
            return own;
        const Kind other = kind == Kind::Read ? Kind::Write : Kind::Read;
        const double theirs = SecondsPerFrame(other);
        return theirs > 0 ? theirs * WireBytes(kind) / WireBytes(other) : -1.0;
    };
    const Kind now = m_phases[m_phase];
    if (price(now) < 0)
        return -1;
    double left = (Frames(now) - m_nFrames) * price(now);
    for (std::size_t i = m_phase + 1; i < m_phases.size(); ++i)
        left += Frames(m_phases[i]) * price(m_phases[i]);
    return left;
}
