#include "effect/delta_modulator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "effect/rate_table.h"

namespace vexobit {

namespace {

constexpr std::int32_t kLevelMax = 62;
constexpr std::int32_t kLevelMin = -64;
// Targets within +-2 count as quiet; after 20 ms of quiet ticks the counter is
// forced to 0, so silence in gives exact silence out.
constexpr std::int32_t kQuietTarget = 2;
constexpr double kQuietTicksPerSecond = 50.0;
constexpr float kFallbackSampleRate = 44100.0f;

// Frames handled per pass: the per-frame scratch of one pass stays in the
// L1 cache and on the stack.
constexpr int kChunkFrames = 256;

// A level as the 7-bit counter value that makes it: levels are always
// deltaLevel / 64 with deltaLevel even in -64..62, so this is exact.
inline std::int32_t counterOf(float level) noexcept { return static_cast<std::int32_t>(level * 64.0f); }

// The last four counter values, newest in the low byte, one signed byte each.
// A tick shifts the newest in; the interpolation unpacks it per frame.
inline std::uint32_t packHistory(const std::array<float, 4>& h) noexcept {
    std::uint32_t packed = 0;
    for (int k = 3; k >= 0; --k) packed = (packed << 8) | static_cast<std::uint8_t>(counterOf(h[k]));
    return packed;
}

inline std::int32_t unpackCounter(std::uint32_t packed, int k) noexcept {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(packed >> (8 * k)));
}

// One counter step toward the target. The counter steps down when it equals
// its target: at rest it toggles between two levels, as the chip's counter does.
inline std::int32_t stepCounter(std::int32_t level, std::int32_t target) noexcept {
    const std::int32_t up = level < kLevelMax ? 2 : 0;
    const std::int32_t down = level >= kLevelMin + 2 ? 2 : 0;
    return level < target ? level + up : level - down;
}

// Four-point, third-order Hermite interpolation between h1 (t = 0) and h2
// (t = 1), h0 being the newest level, with h0..h3 the packed counters / 64:
//   m = (h2 - h0) / 2, v = h1 - h2, w = v + m, a = v + w + (h3 - h1) / 2,
//   b = w + a, y = h1 + t (m + t (a t - b)),
// each line worked out in double and rounded to float at its end. The levels
// are multiples of 1/64 no larger than 1, so m, v, w, a and b are multiples of
// 1/128 below 8 in magnitude: exact in float, and so exactly the integer
// combinations below, however they are grouped. Only y rounds. `td` is the
// float t widened.
inline float interpolate(std::uint32_t packed, double td) noexcept {
    const std::int32_t c0 = unpackCounter(packed, 0), c1 = unpackCounter(packed, 1);
    const std::int32_t c2 = unpackCounter(packed, 2), c3 = unpackCounter(packed, 3);
    constexpr double kUnit = 1.0 / 128.0;
    const double h1 = static_cast<double>(2 * c1) * kUnit;
    const double m = static_cast<double>(c2 - c0) * kUnit;
    const double a = static_cast<double>(3 * (c1 - c2) + c3 - c0) * kUnit;
    const double b = static_cast<double>(5 * c1 - 4 * c2 + c3 - 2 * c0) * kUnit;
    return static_cast<float>(h1 + td * (m + td * (a * td - b)));
}

}  // namespace

std::int32_t tickTarget(float average) noexcept {
    const float scaled = average * 64.0f;
    if (std::isnan(scaled)) return 0;
    // 2^31 is exactly representable; anything at or beyond it saturates.
    constexpr float kLimit = 2147483648.0f;
    if (scaled >= kLimit) return std::numeric_limits<std::int32_t>::max();
    if (scaled <= -kLimit) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(scaled);
}

void DeltaModulator::setParameter(int index, float value) noexcept {
    switch (index) {
    case kInputGain: inputGain.store(value, std::memory_order_relaxed); break;
    case kRateSetting: rateSetting.store(value, std::memory_order_relaxed); break;
    case kOutputGain: outputGain.store(value, std::memory_order_relaxed); break;
    default: break;
    }
}

float DeltaModulator::getParameter(int index) const noexcept {
    switch (index) {
    case kInputGain: return inputGain.load(std::memory_order_relaxed);
    case kRateSetting: return rateSetting.load(std::memory_order_relaxed);
    case kOutputGain: return outputGain.load(std::memory_order_relaxed);
    default: return 0.0f;
    }
}

void DeltaModulator::process(const float* input, float* out0, float* out1, std::int32_t frames,
                             float sampleRate) noexcept {
    // A host that reports no usable sample rate must not stop the ticks or
    // turn the output into NaN.
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate)) sampleRate = kFallbackSampleRate;

    const double rate = rateTable[static_cast<std::size_t>(selectRateEntry(rateSetting.load(std::memory_order_relaxed)))];
    signal.tickPeriod = static_cast<float>(sampleRate / rate);
    const auto quietLimit = static_cast<std::int32_t>(rate / kQuietTicksPerSecond);
    if (frames <= 0) return;

    // The serial part (the tick schedule, the counter) runs first over a
    // chunk and leaves per frame what the interpolation needs; the second
    // pass then has no dependence from frame to frame. A chunk's input is all
    // read before any of its output is written, so in place stays safe.
    const float period = signal.tickPeriod;
    float sum = signal.inputSum;
    float phase = signal.tickPhase;
    std::int32_t level = signal.deltaLevel;
    std::int32_t quiet = signal.quietTicks;
    std::uint32_t history = packHistory(signal.levelHistory);

    float phaseAt[kChunkFrames];
    std::uint32_t historyAt[kChunkFrames];
    float gainAt[kChunkFrames];
    for (std::int32_t done = 0; done < frames; done += kChunkFrames) {
        const std::int32_t n = frames - done < kChunkFrames ? frames - done : kChunkFrames;
        const float* in = input + done;
        for (std::int32_t i = 0; i < n; ++i) {
            const float x = in[i] * inputGain.load(std::memory_order_relaxed);
            gainAt[i] = outputGain.load(std::memory_order_relaxed);
            sum = sum + x;
            phase += 1.0f;
            if (phase >= period) {
                // The phase still holds the fraction carried over from the
                // last tick, so a constant input averages to somewhat less
                // than itself.
                const float average = sum / phase;
                phase -= period;
                sum = 0.0f;
                const std::int32_t target = tickTarget(average);
                level = stepCounter(level, target);
                // Targets within +-2 are quiet; after 20 ms of them the
                // counter is held at 0, so silence in gives silence out.
                const bool isQuiet = target >= -kQuietTarget && target <= kQuietTarget;
                const bool held = isQuiet && quiet >= quietLimit;
                level = held ? 0 : level;
                quiet = isQuiet ? quiet + (quiet < quietLimit ? 1 : 0) : 0;
                history = (history << 8) | static_cast<std::uint8_t>(level);
            }
            phaseAt[i] = phase;
            historyAt[i] = history;
        }
        float* o0 = out0 + done;
        float* o1 = out1 + done;
        // The position within the tick, in a loop of its own: next to the
        // widening below, the limit would become a branch.
        for (std::int32_t i = 0; i < n; ++i) phaseAt[i] = std::min(phaseAt[i] / period, 1.0f);
        for (std::int32_t i = 0; i < n; ++i) {
            const float out = interpolate(historyAt[i], phaseAt[i]) * gainAt[i];
            o0[i] = out;
            o1[i] = out;
        }
    }

    signal.inputSum = sum;
    signal.tickPhase = phase;
    signal.deltaLevel = level;
    signal.quietTicks = quiet;
    for (int k = 0; k < 4; ++k) signal.levelHistory[static_cast<std::size_t>(k)] = static_cast<float>(unpackCounter(history, k)) / 64.0f;
}

}  // namespace vexobit
