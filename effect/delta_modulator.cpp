#include "effect/delta_modulator.h"

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

// Four-point, third-order Hermite interpolation between h1 (t = 0) and h2
// (t = 1), h0 being the newest level. Each line is evaluated in double
// precision and rounded to float once, at its end.
inline float interpolate(const std::array<float, 4>& h, float t) noexcept {
    const double h0 = h[0], h1 = h[1], h2 = h[2], h3 = h[3];
    const float m = static_cast<float>((h2 - h0) * 0.5);
    const float v = static_cast<float>(h1 - h2);
    const float w = static_cast<float>(static_cast<double>(v) + m);
    const float a = static_cast<float>(static_cast<double>(v) + w + (h3 - h1) * 0.5);
    const float b = static_cast<float>(static_cast<double>(w) + a);
    const double td = t;
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

    DeltaModulatorState s = signal;
    for (std::int32_t i = 0; i < frames; ++i) {
        const float x = input[i] * inputGain.load(std::memory_order_relaxed);
        s.inputSum += x;
        s.tickPhase += 1.0f;
        if (s.tickPhase >= s.tickPeriod) {
            // The phase still holds the fraction carried over from the last
            // tick, so a constant input averages to somewhat less than itself.
            const float average = s.inputSum / s.tickPhase;
            s.tickPhase -= s.tickPeriod;
            s.inputSum = 0.0f;
            const std::int32_t target = tickTarget(average);
            // The counter steps down when it equals its target: at rest it
            // toggles between two levels, as the chip's counter does.
            if (s.deltaLevel < target) {
                if (s.deltaLevel < kLevelMax) s.deltaLevel += 2;
            } else if (s.deltaLevel >= kLevelMin + 2) {
                s.deltaLevel -= 2;
            }
            if (target >= -kQuietTarget && target <= kQuietTarget) {
                if (s.quietTicks < quietLimit) ++s.quietTicks;
                else s.deltaLevel = 0;
            } else {
                s.quietTicks = 0;
            }
            s.levelHistory[3] = s.levelHistory[2];
            s.levelHistory[2] = s.levelHistory[1];
            s.levelHistory[1] = s.levelHistory[0];
            s.levelHistory[0] = static_cast<float>(s.deltaLevel) / 64.0f;
        }
        float t = s.tickPhase / s.tickPeriod;
        if (t > 1.0f) t = 1.0f;
        const float out = interpolate(s.levelHistory, t) * outputGain.load(std::memory_order_relaxed);
        out0[i] = out;
        out1[i] = out;
    }
    signal = s;
}

}  // namespace vexobit
