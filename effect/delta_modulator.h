// The delta-modulation signal path, free of any plug-in interface: three
// parameters, the channel's state, and the per-block process.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace vexobit {

// What the audio remembers between frames and blocks. Cleared at
// construction and never reset afterwards.
struct DeltaModulatorState {
    float inputSum = 0.0f;          // gained input summed since the last tick
    float tickPhase = 0.0f;         // host samples toward the next tick, fraction carried over
    float tickPeriod = 0.0f;        // host samples per tick, recomputed every block
    std::array<float, 4> levelHistory{};  // counter level at the last four ticks, newest first
    std::int32_t deltaLevel = 0;    // the 7-bit counter: even, -64..62
    std::int32_t quietTicks = 0;    // consecutive quiet ticks, up to the quiet limit
};

class DeltaModulator {
public:
    enum Parameter : int { kInputGain = 0, kRateSetting = 1, kOutputGain = 2, kNumParameters = 3 };

    // Stores a parameter unchanged (no clamping); other indices are ignored.
    // Safe to call from any thread while process() runs.
    void setParameter(int index, float value) noexcept;
    // The stored value, or 0 for other indices.
    float getParameter(int index) const noexcept;

    // Reads frames samples of `input`, writes the same result to out0 and
    // out1. out0 may be `input` itself. Nothing is written for frames <= 0,
    // but the tick period follows sampleRate and the rate setting.
    void process(const float* input, float* out0, float* out1, std::int32_t frames, float sampleRate) noexcept;

    const DeltaModulatorState& state() const noexcept { return signal; }

private:
    // Written by the host at any time; read once per frame (gains) or per
    // block (rate). Relaxed atomics are plain 32-bit loads and stores.
    std::atomic<float> inputGain{1.0f};    // linear
    std::atomic<float> rateSetting{0.99f}; // selects the tick rate, 0..1
    std::atomic<float> outputGain{1.0f};   // linear
    DeltaModulatorState signal;
};

// The counter's target for one tick's average input: average x 64 truncated
// toward zero, saturated to the 32-bit range; NaN gives 0.
std::int32_t tickTarget(float average) noexcept;

}  // namespace vexobit
