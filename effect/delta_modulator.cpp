#include "effect/delta_modulator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "effect/rate_table.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexobit {

namespace {

constexpr std::int32_t kLevelMax = 62;
constexpr std::int32_t kLevelMin = -64;
// Targets within +-2 count as quiet; after 20 ms of quiet ticks the counter is
// forced to 0, so silence in gives exact silence out.
constexpr std::int32_t kQuietTarget = 2;
constexpr double kQuietTicksPerSecond = 50.0;
constexpr float kFallbackSampleRate = 44100.0f;

// Frames handled per pass: the per-frame scratch of one chunk stays in the
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

// The tick's target as far as the counter can tell: tickTarget() limited to
// +-128, which changes no comparison with a counter in -64..62 or with the
// quiet range. Branch-free, so the loop over a chunk's ticks vectorizes.
inline std::int32_t counterTarget(float average) noexcept {
    const float scaled = average * 64.0f;
    const float bounded = std::isnan(scaled) ? 0.0f : std::min(std::max(scaled, -128.0f), 128.0f);
    return static_cast<std::int32_t>(bounded);
}

// x < y ? ifLess : otherwise, as a conditional move. The counter's direction
// follows the signal, so a branch on it mispredicts; the compiler turns a
// plain select like this back into a branch, so on x86 it is spelled out.
inline std::int32_t selectIfLess(std::int32_t x, std::int32_t y, std::int32_t ifLess, std::int32_t otherwise) noexcept {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm("cmpl %[y], %[x]\n\tcmovll %[a], %[r]" : [r] "+r"(otherwise) : [x] "r"(x), [y] "ri"(y), [a] "r"(ifLess) : "cc");
    return otherwise;
#else
    return x < y ? ifLess : otherwise;
#endif
}

// One counter step toward the target. The counter steps down when it equals
// its target: at rest it toggles between two levels, as the chip's counter
// does. Both candidates are ready about when the comparison with the target
// is, which keeps the chain from one tick's counter to the next short.
inline std::int32_t stepCounter(std::int32_t level, std::int32_t target) noexcept {
    const std::int32_t raised = selectIfLess(level, kLevelMax, level + 2, level);
    const std::int32_t lowered = selectIfLess(level, kLevelMin + 2, level, level - 2);
    return selectIfLess(level, target, raised, lowered);
}

// Four-point, third-order Hermite interpolation between h1 (t = 0) and h2
// (t = 1), h0 being the newest level, with h0..h3 the packed counters / 64:
//   m = (h2 - h0) / 2, v = h1 - h2, w = v + m, a = v + w + (h3 - h1) / 2,
//   b = w + a, y = h1 + t (m + t (a t - b)),
// each line worked out in double and rounded to float at its end. The levels
// are multiples of 1/64 no larger than 1, so m, v, w, a and b are multiples of
// 1/128 below 8 in magnitude: exact in float, and exactly the integer
// combinations below (in units of 1/128) however they are grouped. Only y
// rounds; scaling every term by 128 scales each double result exactly, so y
// is worked out in units and scaled once before its rounding.
struct Units {
    std::int32_t h1, m, a, b;
};

inline Units unitsOf(std::int32_t c0, std::int32_t c1, std::int32_t c2, std::int32_t c3) noexcept {
    const std::int32_t m = c2 - c0;
    const std::int32_t v = 2 * (c1 - c2);
    const std::int32_t w = v + m;
    const std::int32_t a = v + w + (c3 - c1);
    return {2 * c1, m, a, w + a};
}

constexpr double kUnit = 1.0 / 128.0;

inline float interpolate(std::uint32_t packed, float t) noexcept {
    const Units u = unitsOf(unpackCounter(packed, 0), unpackCounter(packed, 1), unpackCounter(packed, 2),
                            unpackCounter(packed, 3));
    const double td = t;
    const double y = u.h1 + td * (u.m + td * (u.a * td - u.b));
    return static_cast<float>(y * kUnit);
}

// Output for one frame: out = interpolate(history[tick[i]], t[i]) x gain[i].
inline void interpolateFrame(const float* t, const std::int32_t* tick, const std::uint32_t* history,
                             const float* gain, float* out0, float* out1, std::int32_t i) noexcept {
    const float out = interpolate(history[tick[i]], t[i]) * gain[i];
    out0[i] = out;
    out1[i] = out;
}

// The same for frames i..i+3, two at a time in double precision.
inline void interpolateFour(const float* t, const std::int32_t* tick, const std::uint32_t* history,
                            const float* gain, float* out0, float* out1, std::int32_t i) noexcept {
#if defined(__SSE2__)
    const __m128i h = _mm_set_epi32(static_cast<int>(history[tick[i + 3]]), static_cast<int>(history[tick[i + 2]]),
                                    static_cast<int>(history[tick[i + 1]]), static_cast<int>(history[tick[i]]));
    const __m128i c0 = _mm_srai_epi32(_mm_slli_epi32(h, 24), 24);
    const __m128i c1 = _mm_srai_epi32(_mm_slli_epi32(h, 16), 24);
    const __m128i c2 = _mm_srai_epi32(_mm_slli_epi32(h, 8), 24);
    const __m128i c3 = _mm_srai_epi32(h, 24);
    const __m128i m = _mm_sub_epi32(c2, c0);
    const __m128i d = _mm_sub_epi32(c1, c2);
    const __m128i v = _mm_add_epi32(d, d);
    const __m128i w = _mm_add_epi32(v, m);
    const __m128i a = _mm_add_epi32(_mm_add_epi32(v, w), _mm_sub_epi32(c3, c1));
    const __m128i b = _mm_add_epi32(w, a);
    const __m128i h1 = _mm_add_epi32(c1, c1);
    const __m128 tf = _mm_loadu_ps(t + i);
    const __m128d tl = _mm_cvtps_pd(tf);
    const __m128d th = _mm_cvtps_pd(_mm_movehl_ps(tf, tf));
    auto high = [](__m128i x) { return _mm_cvtepi32_pd(_mm_shuffle_epi32(x, 0xee)); };
    // Horner in the order written above: ((a t - b) t + m) t + h1.
    __m128d yl = _mm_sub_pd(_mm_mul_pd(_mm_cvtepi32_pd(a), tl), _mm_cvtepi32_pd(b));
    __m128d yh = _mm_sub_pd(_mm_mul_pd(high(a), th), high(b));
    yl = _mm_add_pd(_mm_cvtepi32_pd(m), _mm_mul_pd(tl, yl));
    yh = _mm_add_pd(high(m), _mm_mul_pd(th, yh));
    yl = _mm_add_pd(_mm_cvtepi32_pd(h1), _mm_mul_pd(tl, yl));
    yh = _mm_add_pd(high(h1), _mm_mul_pd(th, yh));
    const __m128d unit = _mm_set1_pd(kUnit);
    const __m128 y = _mm_movelh_ps(_mm_cvtpd_ps(_mm_mul_pd(yl, unit)), _mm_cvtpd_ps(_mm_mul_pd(yh, unit)));
    const __m128 out = _mm_mul_ps(y, _mm_loadu_ps(gain + i));
    _mm_storeu_ps(out0 + i, out);
    _mm_storeu_ps(out1 + i, out);
#else
    for (std::int32_t k = i; k < i + 4; ++k) interpolateFrame(t, tick, history, gain, out0, out1, k);
#endif
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

    // Per chunk: first the tick schedule and the input sums (the one serial
    // chain that must run frame by frame), then every tick's target at once,
    // then the counter from tick to tick, then the interpolation of each
    // frame, which no longer depends on the frame before. A chunk's input is
    // all read before any of its output is written, so in place stays safe.
    const float period = signal.tickPeriod;
    float sum = signal.inputSum;
    float phase = signal.tickPhase;
    std::int32_t level = signal.deltaLevel;
    std::int32_t quiet = signal.quietTicks;
    std::uint32_t history = packHistory(signal.levelHistory);

    float phaseAt[kChunkFrames];       // tick phase after the frame, then t
    std::int32_t tickAt[kChunkFrames]; // ticks so far in the chunk, after the frame
    float gainAt[kChunkFrames];        // output gain read for the frame
    float sumOf[kChunkFrames];         // per tick: input sum and phase, then target
    float phaseOf[kChunkFrames];
    std::int32_t targetOf[kChunkFrames];
    std::int32_t quietOf[kChunkFrames];    // per tick: all ones if the target is quiet
    std::uint32_t historyAfter[kChunkFrames + 1];  // [0]: before the chunk, [k]: after tick k
    for (std::int32_t done = 0; done < frames; done += kChunkFrames) {
        const std::int32_t n = frames - done < kChunkFrames ? frames - done : kChunkFrames;
        const float* in = input + done;
        std::int32_t ticks = 0;
        for (std::int32_t i = 0; i < n; ++i) {
            const float x = in[i] * inputGain.load(std::memory_order_relaxed);
            gainAt[i] = outputGain.load(std::memory_order_relaxed);
            sum = sum + x;
            phase += 1.0f;
            if (phase >= period) {
                sumOf[ticks] = sum;
                phaseOf[ticks] = phase;
                ++ticks;
                phase -= period;
                sum = 0.0f;
            }
            phaseAt[i] = phase;
            tickAt[i] = ticks;
        }
        // The phase still holds the fraction carried over from the last tick,
        // so a constant input averages to somewhat less than itself. Targets
        // within +-2 are quiet; after 20 ms of them the counter is held at 0,
        // so silence in gives silence out.
        for (std::int32_t k = 0; k < ticks; ++k) {
            const std::int32_t target = counterTarget(sumOf[k] / phaseOf[k]);
            targetOf[k] = target;
            quietOf[k] = -static_cast<std::int32_t>(target >= -kQuietTarget && target <= kQuietTarget);
        }
        for (std::int32_t i = 0; i < n; ++i) phaseAt[i] = std::min(phaseAt[i] / period, 1.0f);

        // The counter from tick to tick (integer work) interleaved with the
        // interpolation (vector work), four of each per step: frames i..i+3
        // need at most i + 4 ticks, so their histories are ready.
        historyAfter[0] = history;
        auto tick = [&](std::int32_t k) {
            const std::int32_t quietMask = quietOf[k];
            const std::int32_t holdMask = quietMask & -static_cast<std::int32_t>(quiet >= quietLimit);
            level = stepCounter(level, targetOf[k]) & ~holdMask;
            quiet = (quiet + static_cast<std::int32_t>(quiet < quietLimit)) & quietMask;
            history = (history << 8) | static_cast<std::uint8_t>(level);
            historyAfter[k + 1] = history;
        };
        float* o0 = out0 + done;
        float* o1 = out1 + done;
        std::int32_t i = 0;
        std::int32_t k = 0;
        for (; i + 4 <= n && k + 4 <= ticks; i += 4, k += 4) {
            tick(k);
            tick(k + 1);
            tick(k + 2);
            tick(k + 3);
            interpolateFour(phaseAt, tickAt, historyAfter, gainAt, o0, o1, i);
        }
        for (; k < ticks; ++k) tick(k);
        for (; i + 4 <= n; i += 4) interpolateFour(phaseAt, tickAt, historyAfter, gainAt, o0, o1, i);
        for (; i < n; ++i) interpolateFrame(phaseAt, tickAt, historyAfter, gainAt, o0, o1, i);
    }

    signal.inputSum = sum;
    signal.tickPhase = phase;
    signal.deltaLevel = level;
    signal.quietTicks = quiet;
    for (int k = 0; k < 4; ++k) signal.levelHistory[static_cast<std::size_t>(k)] = static_cast<float>(unpackCounter(history, k)) / 64.0f;
}

}  // namespace vexobit
