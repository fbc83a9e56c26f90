// A deliberately plain model of the delta-modulation signal path: one frame
// at a time, every step in the order it happens, no tricks. The shipping
// DeltaModulator is tested against it bit for bit, so any speed-up of the
// real code that changes a single output bit shows up as a mismatch.
//
// Choices the real code makes where the channel itself has no answer are
// written out here on their own terms, not borrowed from the real code:
// rate settings outside the table clamp to its ends (NaN to the first entry),
// targets beyond the 32-bit range saturate, a NaN target is 0, and a sample
// rate that is not positive and finite counts as 44100 Hz.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "effect/rate_table.h"

namespace vexobit::test {

class ReferenceModel {
public:
    float inputGain = 1.0f;
    float rateSetting = 0.99f;
    float outputGain = 1.0f;

    float inputSum = 0.0f;
    float tickPhase = 0.0f;
    float tickPeriod = 0.0f;
    std::array<float, 4> levelHistory{};  // newest first
    std::int32_t deltaLevel = 0;
    std::int32_t quietTicks = 0;

    void process(const float* input, float* out0, float* out1, std::int32_t frames, float sampleRate) {
        if (std::isnan(sampleRate) || std::isinf(sampleRate) || sampleRate <= 0.0f) sampleRate = 44100.0f;
        const double rate = rateTable[static_cast<std::size_t>(entryFor(rateSetting))];
        tickPeriod = static_cast<float>(static_cast<double>(sampleRate) / rate);
        const auto quietLimit = static_cast<std::int32_t>(std::trunc(rate / 50.0));
        if (frames <= 0) return;

        for (std::int32_t i = 0; i < frames; ++i) {
            const float x = input[i] * inputGain;
            inputSum = inputSum + x;
            tickPhase = tickPhase + 1.0f;
            if (tickPhase >= tickPeriod) tick(quietLimit);
            float t = tickPhase / tickPeriod;
            if (t > 1.0f) t = 1.0f;
            const float out = interpolate(t) * outputGain;
            out0[i] = out;
            out1[i] = out;
        }
    }

private:
    static int entryFor(float setting) {
        const float scaled = setting * 31.999f;
        if (std::isnan(scaled) || scaled < 0.0f) return 0;
        const float whole = std::trunc(scaled);
        if (whole > 31.0f) return 31;
        return static_cast<int>(whole);
    }

    // Truncation toward zero in exact arithmetic: the product by 64 is exact
    // in double for every float.
    static std::int32_t targetFor(float average) {
        if (std::isnan(average)) return 0;
        const double scaled = std::trunc(static_cast<double>(average) * 64.0);
        if (scaled > 2147483647.0) return 2147483647;
        if (scaled < -2147483648.0) return -2147483647 - 1;
        return static_cast<std::int32_t>(scaled);
    }

    void tick(std::int32_t quietLimit) {
        const float average = inputSum / tickPhase;
        tickPhase = tickPhase - tickPeriod;
        inputSum = 0.0f;
        const std::int32_t target = targetFor(average);

        if (deltaLevel < target) {
            if (!(deltaLevel >= 62)) deltaLevel = deltaLevel + 2;
        } else {
            if (!(deltaLevel < -62)) deltaLevel = deltaLevel - 2;
        }

        if (-2 <= target && target <= 2) {
            if (quietTicks < quietLimit) quietTicks = quietTicks + 1;
            else deltaLevel = 0;
        } else {
            quietTicks = 0;
        }

        levelHistory[3] = levelHistory[2];
        levelHistory[2] = levelHistory[1];
        levelHistory[1] = levelHistory[0];
        levelHistory[0] = static_cast<float>(deltaLevel) / 64.0f;
    }

    // Each line is worked out without rounding its terms to float (in double)
    // and rounded to float once, at its end.
    float interpolate(float t) const {
        const double h0 = levelHistory[0];
        const double h1 = levelHistory[1];
        const double h2 = levelHistory[2];
        const double h3 = levelHistory[3];
        const float m = static_cast<float>((h2 - h0) * 0.5);
        const float v = static_cast<float>(h1 - h2);
        const float w = static_cast<float>(double{v} + double{m});
        const float a = static_cast<float>(double{v} + double{w} + (h3 - h1) * 0.5);
        const float b = static_cast<float>(double{w} + double{a});
        const double td = t;
        return static_cast<float>(h1 + td * (double{m} + td * (double{a} * td - double{b})));
    }
};

}  // namespace vexobit::test
