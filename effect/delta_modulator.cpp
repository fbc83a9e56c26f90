#include "effect/delta_modulator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "effect/rate_table.h"
#include "effect/vector_path.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The AVX2 path needs GCC's per-function targets and its processor check.
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define VEXOBIT_AVX2_PATH 1
#include <immintrin.h>
#else
#define VEXOBIT_AVX2_PATH 0
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

// Gained input and output gain for frames i..i+3: both gains read once per
// frame. The gains are put together in registers: a vector load right after
// four stores would wait for them. The tick loop takes the gained input of
// each frame from the register, too: a store and four loads per four frames
// cost it more than three shuffles.
struct GainedFour {
#if defined(__SSE2__)
    __m128 v;
    float operator[](int k) const noexcept {
        switch (k) {
        case 0: return _mm_cvtss_f32(v);
        case 1: return _mm_cvtss_f32(_mm_shuffle_ps(v, v, 1));
        case 2: return _mm_cvtss_f32(_mm_movehl_ps(v, v));
        default: return _mm_cvtss_f32(_mm_shuffle_ps(v, v, 3));
        }
    }
#else
    float v[4];
    float operator[](int k) const noexcept { return v[k]; }
#endif
};

inline GainedFour gainFour(const float* in, const std::atomic<float>& inputGain, const std::atomic<float>& outputGain,
                           float* gainAt, std::int32_t i) noexcept {
    const float g0 = inputGain.load(std::memory_order_relaxed);
    gainAt[i] = outputGain.load(std::memory_order_relaxed);
    const float g1 = inputGain.load(std::memory_order_relaxed);
    gainAt[i + 1] = outputGain.load(std::memory_order_relaxed);
    const float g2 = inputGain.load(std::memory_order_relaxed);
    gainAt[i + 2] = outputGain.load(std::memory_order_relaxed);
    const float g3 = inputGain.load(std::memory_order_relaxed);
    gainAt[i + 3] = outputGain.load(std::memory_order_relaxed);
#if defined(__SSE2__)
    // A vector product with a subnormal result costs no more than any other;
    // a scalar one costs twice as much.
    const __m128 gain = _mm_movelh_ps(_mm_unpacklo_ps(_mm_set_ss(g0), _mm_set_ss(g1)),
                                      _mm_unpacklo_ps(_mm_set_ss(g2), _mm_set_ss(g3)));
    return {_mm_mul_ps(_mm_loadu_ps(in + i), gain)};
#else
    return {{in[i] * g0, in[i + 1] * g1, in[i + 2] * g2, in[i + 3] * g3}};
#endif
}

// Targets of ticks k..k+3 as counterTarget() has them, of sum / phase, and
// whether each is quiet (all ones) or not; see the tick loop for tinySum.
// With no NaN left after the comparison the bounds are a plain min and max.
inline void targetsOfFour(const float* sumOf, const float* phaseOf, float tinySum, std::int32_t* targetOf,
                          std::int32_t* quietOf, std::int32_t k) noexcept {
#if defined(__SSE2__)
    const __m128 sum = _mm_loadu_ps(sumOf + k);
    const __m128 big = _mm_cmpge_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), sum), _mm_set1_ps(tinySum));
    __m128 scaled = _mm_mul_ps(_mm_div_ps(_mm_and_ps(sum, big), _mm_loadu_ps(phaseOf + k)), _mm_set1_ps(64.0f));
    scaled = _mm_min_ps(_mm_max_ps(scaled, _mm_set1_ps(-128.0f)), _mm_set1_ps(128.0f));
    const __m128i target = _mm_cvttps_epi32(scaled);
    const __m128i loud = _mm_or_si128(_mm_cmpgt_epi32(target, _mm_set1_epi32(kQuietTarget)),
                                      _mm_cmplt_epi32(target, _mm_set1_epi32(-kQuietTarget)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(targetOf + k), target);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(quietOf + k), _mm_xor_si128(loud, _mm_set1_epi32(-1)));
#else
    for (std::int32_t q = k; q < k + 4; ++q) {
        targetOf[q] = counterTarget(std::fabs(sumOf[q]) >= tinySum ? sumOf[q] / phaseOf[q] : 0.0f);
        quietOf[q] = -static_cast<std::int32_t>(targetOf[q] >= -kQuietTarget && targetOf[q] <= kQuietTarget);
    }
#endif
}

// What runBlock() works from and carries across blocks.
struct BlockState {
    float period;
    float tinySum;        // sums below this give target 0 (see the target loop)
    float stepAfterTick;  // 1 - period
    bool oneStep;         // reached + stepAfterTick is the next frame's phase after a tick
    std::int32_t quietLimit;
    float sum;
    float phase;
    float reached;        // phase + 1
    std::int32_t level;
    std::int32_t quiet;
    std::uint32_t history;
};

namespace baseline {
#define VEXOBIT_BLOCK_AVX2 0
#include "effect/delta_modulator_block.inc"
#undef VEXOBIT_BLOCK_AVX2
}  // namespace baseline

#if VEXOBIT_AVX2_PATH
#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
#define VEXOBIT_BLOCK_AVX2 1
#include "effect/delta_modulator_block.inc"
#undef VEXOBIT_BLOCK_AVX2
}  // namespace avx2
#pragma GCC pop_options

bool processorHasAvx2() noexcept {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}

// Chosen when the module loads; tests may switch it (vector_path.h).
std::atomic<bool> avx2Chosen{processorHasAvx2()};
#endif

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

VectorPath vectorPath() noexcept {
#if VEXOBIT_AVX2_PATH
    if (avx2Chosen.load(std::memory_order_relaxed)) return VectorPath::kAvx2;
#endif
    return VectorPath::kBaseline;
}

bool selectVectorPath(VectorPath path) noexcept {
#if VEXOBIT_AVX2_PATH
    if (path == VectorPath::kAvx2 && !processorHasAvx2()) return false;
    avx2Chosen.store(path == VectorPath::kAvx2, std::memory_order_relaxed);
    return true;
#else
    return path == VectorPath::kBaseline;
#endif
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

    const float period = signal.tickPeriod;
    const float phase = signal.tickPhase;
    BlockState block;
    block.period = period;
    // The phase after a tick is reached - period, and the next frame's is that
    // plus 1. For 1 <= period < 2^23 with the phase below the period, both
    // steps are one: reached <= 2 period makes the subtraction exact, and so
    // is 1 - period, so reached + (1 - period) rounds the same exact value
    // once. That takes an addition off the chain from frame to frame. Any
    // other period, or a phase left above a period that just got shorter,
    // takes the two steps as they are.
    block.oneStep = period >= 1.0f && period < 0x1p23f && phase < period;
    block.stepAfterTick = 1.0f - period;
    // See the target loop; scaling by 2^-8 is exact while the result is normal.
    block.tinySum = period >= 0x1p-100f ? period * 0x1p-8f : 0.0f;
    block.quietLimit = quietLimit;
    block.sum = signal.inputSum;
    block.phase = phase;
    block.reached = phase + 1.0f;
    block.level = signal.deltaLevel;
    block.quiet = signal.quietTicks;
    block.history = packHistory(signal.levelHistory);

#if VEXOBIT_AVX2_PATH
    if (avx2Chosen.load(std::memory_order_relaxed)) {
        avx2::runBlock(block, input, out0, out1, frames, inputGain, outputGain);
    } else {
        baseline::runBlock(block, input, out0, out1, frames, inputGain, outputGain);
    }
#else
    baseline::runBlock(block, input, out0, out1, frames, inputGain, outputGain);
#endif

    signal.inputSum = block.sum;
    signal.tickPhase = block.phase;
    signal.deltaLevel = block.level;
    signal.quietTicks = block.quiet;
    for (int k = 0; k < 4; ++k) signal.levelHistory[static_cast<std::size_t>(k)] = static_cast<float>(unpackCounter(block.history, k)) / 64.0f;
}

}  // namespace vexobit
