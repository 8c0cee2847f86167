// The time left of a whole transfer job (backup, write, verify): priced from
// the rate measured so far, it stays close to the truth through every phase.
#include <gtest/gtest.h>

#include <cmath>

#include "core/link/TimeLeft.h"

namespace {

using Kind = CTimeLeft::Kind;
constexpr Kind R = Kind::Read, W = Kind::Write;

struct Case {
    const char* name;
    std::vector<Kind> phases;
    double readFrame, writeFrame;  // seconds per frame
    double handshake;              // seconds before each phase's first frame
    std::size_t from;              // the estimate is held to `tolerance` from this phase's second report on
    double tolerance;              // of the whole job's time
};

}  // namespace

TEST(TimeLeft, CoversTheWholeJobWithoutJumping)
{
    const Case cases[] = {
        {"a read", {R}, 0.01875, 0, 0.3, 0, 0.001},
        {"paced backup, write and verify", {R, W, R}, 0.01875, 0.0145, 0.3, 0, 0.05},
        {"write and verify", {W, R}, 0.01875, 0.0145, 0.3, 0, 0.06},
        // Frames slower than their bytes: known once the write has been timed.
        {"slow writes, then verify", {R, W, R}, 0.01875, 0.03, 0.3, 1, 0.02},
    };
    for (const Case& c : cases) {
        CTimeLeft left(c.phases);
        struct Sample {
            double at, estimate;
            std::size_t phase;
            int block;
        };
        std::vector<Sample> samples;
        double t = 0;
        for (std::size_t p = 0; p < c.phases.size(); ++p) {
            left.Begin(p);
            t += c.handshake;
            const double frame = c.phases[p] == R ? c.readFrame : c.writeFrame;
            const int blocks = CTimeLeft::Frames(c.phases[p]) / 2;
            for (int b = 1; b <= blocks; ++b) {
                t += 2 * frame;
                left.Progress(b, t);
                samples.push_back({t, left.SecondsLeft(), p, b});
            }
            t += (CTimeLeft::Frames(c.phases[p]) - 2 * blocks) * frame;  // the write's last frame
        }
        const double total = t;
        EXPECT_LT(samples.front().estimate, 0) << c.name << ": nothing timed yet";
        for (const Sample& s : samples) {
            if (s.phase < c.from || (s.phase == c.from && s.block == 1) || s.estimate < 0)
                continue;
            EXPECT_LE(std::abs(s.estimate - (total - s.at)), c.tolerance * total)
                << c.name << ", phase " << s.phase + 1 << " at " << s.at << " s of " << total << " s";
        }
    }
}
