// The delta-modulation signal path at the checkpoints its behaviour defines
// exactly, and its safety with hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "effect/delta_modulator.h"
#include "effect/rate_table.h"

namespace {

using vexobit::DeltaModulator;

constexpr float kDefaultRate = 44100.0f;

// Runs `input` through the modulator in blocks of `blockSize`; answers outputs[0].
std::vector<float> run(DeltaModulator& dm, const std::vector<float>& input, int blockSize = 512,
                       float sampleRate = kDefaultRate) {
    std::vector<float> out0(input.size()), out1(input.size());
    for (std::size_t at = 0; at < input.size(); at += blockSize) {
        const auto n = static_cast<std::int32_t>(std::min<std::size_t>(blockSize, input.size() - at));
        dm.process(input.data() + at, out0.data() + at, out1.data() + at, n, sampleRate);
    }
    EXPECT_EQ(0, std::memcmp(out0.data(), out1.data(), out0.size() * sizeof(float)));
    return out0;
}

// Feeds a constant one frame at a time and records the counter after every tick.
std::vector<std::int32_t> countersForConstant(DeltaModulator& dm, float value, int frames,
                                              float sampleRate = kDefaultRate) {
    std::vector<std::int32_t> counters;
    float out0, out1;
    for (int i = 0; i < frames; ++i) {
        const float phaseBefore = dm.state().tickPhase;
        dm.process(&value, &out0, &out1, 1, sampleRate);
        if (dm.state().tickPhase < phaseBefore + 1.0f) counters.push_back(dm.state().deltaLevel);
    }
    return counters;
}

TEST(SignalPath, FreshInstanceHasItsDefaults) {
    DeltaModulator dm;
    EXPECT_EQ(dm.getParameter(0), 1.0f);
    EXPECT_EQ(dm.getParameter(1), 0.99f);
    EXPECT_EQ(dm.getParameter(2), 1.0f);
    EXPECT_EQ(dm.getParameter(3), 0.0f);
    EXPECT_EQ(dm.getParameter(-1), 0.0f);
    EXPECT_EQ(dm.state().deltaLevel, 0);
    EXPECT_EQ(dm.state().inputSum, 0.0f);
}

TEST(SignalPath, ParametersAreStoredUnchangedAndOtherIndicesIgnored) {
    DeltaModulator dm;
    dm.setParameter(0, 3.5f);
    dm.setParameter(1, -0.25f);
    dm.setParameter(2, 1e9f);
    dm.setParameter(3, 0.5f);
    dm.setParameter(-1, 0.5f);
    EXPECT_EQ(dm.getParameter(0), 3.5f);
    EXPECT_EQ(dm.getParameter(1), -0.25f);
    EXPECT_EQ(dm.getParameter(2), 1e9f);
    EXPECT_EQ(dm.getParameter(3), 0.0f);
}

TEST(SignalPath, DefaultSettingTicksAtTheFastestNtscRate) {
    DeltaModulator dm;
    float in = 0, out0, out1;
    dm.process(&in, &out0, &out1, 0, kDefaultRate);
    EXPECT_EQ(dm.state().tickPeriod, static_cast<float>(44100.0 / 33143.9));
    EXPECT_GT(dm.state().tickPeriod, 1.0f);
    EXPECT_LT(dm.state().tickPeriod, 2.0f);
}

TEST(SignalPath, SilenceSettlesToExactZero) {
    DeltaModulator dm;
    const auto out = run(dm, std::vector<float>(2000, 0.0f));
    // Before the quiet rule takes over the counter toggles 0, -2, 0, -2.
    EXPECT_NE(out[100], 0.0f);
    for (int i = 0; i < 880; ++i) {
        ASSERT_GE(out[i], -2.0f / 64.0f - 1e-3f) << i;
        ASSERT_LE(out[i], 2.0f / 64.0f) << i;
    }
    int firstOfTheZeroTail = 2000;
    while (firstOfTheZeroTail > 0 && out[firstOfTheZeroTail - 1] == 0.0f) --firstOfTheZeroTail;
    EXPECT_GT(firstOfTheZeroTail, 870);
    EXPECT_LE(firstOfTheZeroTail, 890);
}

TEST(SignalPath, SilenceCounterToggles) {
    DeltaModulator dm;
    const auto counters = countersForConstant(dm, 0.0f, 40);
    ASSERT_GE(counters.size(), 20u);
    for (std::size_t i = 0; i < counters.size(); ++i) EXPECT_EQ(counters[i], i % 2 == 0 ? -2 : 0) << i;
}

TEST(SignalPath, FullScaleInputDrivesTheCounterToItsLimits) {
    struct Case {
        float input;
        std::int32_t limit;
        std::size_t tickReached;  // 1-based
        float output;
    };
    const Case cases[] = {{2.0f, 62, 31, 62.0f / 64.0f}, {5.0f, 62, 31, 62.0f / 64.0f},
                          {-2.0f, -64, 32, -1.0f}, {-40.0f, -64, 32, -1.0f}};
    for (const auto& c : cases) {
        for (float outputGain : {1.0f, 0.5f}) {
            SCOPED_TRACE(testing::Message() << "input " << c.input << " output gain " << outputGain);
            DeltaModulator dm;
            dm.setParameter(2, outputGain);
            const auto counters = countersForConstant(dm, c.input, 100);
            ASSERT_GT(counters.size(), c.tickReached + 5);
            EXPECT_NE(counters[c.tickReached - 2], c.limit);
            EXPECT_EQ(counters[c.tickReached - 1], c.limit);
            for (std::size_t i = c.tickReached; i < counters.size(); ++i) ASSERT_EQ(counters[i], c.limit);
            const auto out = run(dm, std::vector<float>(16, c.input));
            for (float y : out) EXPECT_EQ(y, c.output * outputGain);
        }
    }
}

TEST(SignalPath, ConstantHalfSettlesBelowItsNominalLevel) {
    struct Case {
        float rateSetting;
        std::int32_t low, high;
    };
    // The average divides by the carried-over phase, so the counter sits
    // below 0.5 x 64 = 32, far below at the fastest rate.
    for (const Case& c : {Case{0.99f, 18, 26}, Case{0.0f, 28, 32}}) {
        SCOPED_TRACE(c.rateSetting);
        DeltaModulator dm;
        dm.setParameter(1, c.rateSetting);
        const auto counters = countersForConstant(dm, 0.5f, 20000);
        for (std::size_t i = 200; i < counters.size(); ++i) {
            ASSERT_GE(counters[i], c.low) << i;
            ASSERT_LE(counters[i], c.high) << i;
        }
    }
}

TEST(SignalPath, HostRateBelowTickRateFadesToSilence) {
    DeltaModulator dm;
    const auto out = run(dm, std::vector<float>(3000, 0.5f), 512, 22050.0f);
    EXPECT_LT(dm.state().tickPeriod, 1.0f);
    EXPECT_NE(out[20], 0.0f);
    for (std::size_t i = 1000; i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f) << i;
}

TEST(RateSelection, SettingsMapToTableEntries) {
    struct Case {
        float setting;
        int entry;
    };
    const Case cases[] = {
        {0.0f, 0}, {0.5f, 15}, {0.99f, 31}, {1.0f, 31}, {16.0f / 31.999f, 16}, {9.5f / 31.999f, 9},
        // Outside 0..1 and NaN stay inside the table.
        {-0.5f, 0}, {-1e30f, 0}, {1.5f, 31}, {1e30f, 31},
        {std::numeric_limits<float>::infinity(), 31}, {-std::numeric_limits<float>::infinity(), 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        EXPECT_EQ(vexobit::selectRateEntry(c.setting), c.entry);
        DeltaModulator dm;
        dm.setParameter(1, c.setting);
        float in = 0, out0, out1;
        dm.process(&in, &out0, &out1, 1, kDefaultRate);
        EXPECT_EQ(dm.state().tickPeriod, static_cast<float>(44100.0 / vexobit::rateTable[c.entry]));
    }
}

TEST(TickTarget, SaturatesAndMapsNanToZero) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float average;
        std::int32_t target;
    };
    const Case cases[] = {
        {0.0f, 0}, {0.5f, 32}, {-0.5f, -32}, {0.03f, 1}, {-0.03f, -1},
        {1e30f, std::numeric_limits<std::int32_t>::max()}, {-1e30f, std::numeric_limits<std::int32_t>::min()},
        {inf, std::numeric_limits<std::int32_t>::max()}, {-inf, std::numeric_limits<std::int32_t>::min()},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {33554432.0f, std::numeric_limits<std::int32_t>::max()},  // x 64 = 2^31
        {-33554432.0f, std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.average);
        EXPECT_EQ(vexobit::tickTarget(c.average), c.target);
    }
}

TEST(SignalPath, HugeFiniteInputStillMovesTheCounterTheRightWay) {
    for (float big : {1e30f, 3e38f, -1e30f, -3e38f}) {
        SCOPED_TRACE(big);
        DeltaModulator dm;
        dm.setParameter(0, 10.0f);
        const auto out = run(dm, std::vector<float>(200, big));
        EXPECT_EQ(dm.state().deltaLevel, big > 0 ? 62 : -64);
        for (float y : out) ASSERT_TRUE(std::isfinite(y));
    }
}

TEST(SignalPath, NonFiniteInputRecoversOnceTheInputIsClean) {
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), inf, -inf}) {
        SCOPED_TRACE(bad);
        DeltaModulator dm;
        std::vector<float> input(4000, 0.25f);
        for (int i = 100; i < 300; ++i) input[i] = bad;
        const auto out = run(dm, input);
        for (std::size_t i = 0; i < out.size(); ++i) {
            ASSERT_TRUE(std::isfinite(out[i])) << i;
            ASSERT_LE(std::fabs(out[i]), 1.1f) << i;
        }
    }
}

TEST(SignalPath, UnusableSampleRateKeepsTheOutputFinite) {
    for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()}) {
        SCOPED_TRACE(rate);
        DeltaModulator dm;
        std::vector<float> input(1000, 0.5f), out0(1000), out1(1000);
        dm.process(input.data(), out0.data(), out1.data(), 1000, rate);
        EXPECT_EQ(dm.state().tickPeriod, static_cast<float>(44100.0 / 33143.9));
        for (float y : out0) ASSERT_TRUE(std::isfinite(y));
    }
}

TEST(SignalPath, EmptyOrNegativeBlockWritesNothing) {
    for (std::int32_t frames : {0, -1, -512}) {
        SCOPED_TRACE(frames);
        DeltaModulator dm;
        float in[4] = {1, 1, 1, 1}, out0[4] = {7, 7, 7, 7}, out1[4] = {7, 7, 7, 7};
        dm.process(in, out0, out1, frames, 96000.0f);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(out0[i], 7.0f);
            EXPECT_EQ(out1[i], 7.0f);
        }
        EXPECT_EQ(dm.state().tickPeriod, static_cast<float>(96000.0 / 33143.9));
        EXPECT_EQ(dm.state().tickPhase, 0.0f);
        EXPECT_EQ(dm.state().inputSum, 0.0f);
    }
}

std::vector<float> musicLikeNoise(std::size_t n, unsigned seed) {
    std::vector<float> v(n);
    unsigned x = seed;
    float smooth = 0;
    for (auto& s : v) {
        x = x * 1664525u + 1013904223u;
        smooth = 0.9f * smooth + 0.1f * (static_cast<float>(x >> 8) / 8388608.0f - 1.0f);
        s = smooth * 4.0f;
    }
    return v;
}

TEST(SignalPath, InPlaceEqualsSeparateBuffersAndBlockSplitsDoNotMatter) {
    const auto input = musicLikeNoise(5000, 7);
    DeltaModulator reference;
    const auto expected = run(reference, input, 5000);

    for (int blockSize : {1, 3, 64, 511, 4096}) {
        SCOPED_TRACE(blockSize);
        DeltaModulator split;
        const auto out = run(split, input, blockSize);
        EXPECT_EQ(0, std::memcmp(out.data(), expected.data(), out.size() * sizeof(float)));

        DeltaModulator inPlace;
        std::vector<float> buffer = input, second(input.size());
        for (std::size_t at = 0; at < buffer.size(); at += blockSize) {
            const auto n = static_cast<std::int32_t>(std::min<std::size_t>(blockSize, buffer.size() - at));
            inPlace.process(buffer.data() + at, buffer.data() + at, second.data() + at, n, kDefaultRate);
        }
        EXPECT_EQ(0, std::memcmp(buffer.data(), expected.data(), buffer.size() * sizeof(float)));
        EXPECT_EQ(0, std::memcmp(second.data(), expected.data(), second.size() * sizeof(float)));
    }
}

TEST(SignalPath, OutputIsBoundedByTheCounterRangeTimesGain) {
    DeltaModulator dm;
    dm.setParameter(0, 8.0f);
    dm.setParameter(2, 0.5f);
    const auto out = run(dm, musicLikeNoise(20000, 3));
    float peak = 0;
    for (float y : out) peak = std::max(peak, std::fabs(y));
    EXPECT_GT(peak, 0.3f);
    // The cubic overshoots the staircase a little, never far.
    EXPECT_LE(peak, 0.5f * 1.25f);
}

}  // namespace
