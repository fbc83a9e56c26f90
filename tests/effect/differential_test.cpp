// The shipping signal path against the plain per-frame model, bit for bit,
// over generated cases: many signals, gains, every tick rate, sample rates
// from 8000 to 192000 Hz, odd and empty blocks, in place and not, with the
// parameters changing between blocks. Every case prints its seed, so a
// failure can be replayed alone (VEXOBIT_DIFF_SEED=<seed> runs just that case).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "effect/delta_modulator.h"
#include "effect/rate_table.h"
#include "tests/effect/reference_model.h"

namespace vexobit::test {
namespace {

constexpr int kCases = 3000;
constexpr std::uint64_t kBaseSeed = 0x5eed'0f'de17a0ULL;
// Written past the end of every output buffer; must survive each block.
constexpr std::uint32_t kCanaryBits = 0x7fbadbadU;
constexpr int kGuardFrames = 8;

std::uint64_t splitMix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// A small generator whose output depends only on the seed, on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t next() { return state = splitMix(state); }
    // 0 <= result < n
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    // Uniform in [0, 1), 24 bits.
    float unit() { return static_cast<float>(next() >> 40) * 0x1p-24f; }
    float between(float lo, float hi) { return lo + (hi - lo) * unit(); }

private:
    std::uint64_t state;
};

float fromBits(std::uint32_t bits) { return std::bit_cast<float>(bits); }

enum class Signal { kNoise, kSine, kConstant, kSilence, kDenormal, kHuge, kSpecials, kCount };

const char* signalName(Signal s) {
    switch (s) {
    case Signal::kNoise: return "noise";
    case Signal::kSine: return "sine";
    case Signal::kConstant: return "constant";
    case Signal::kSilence: return "silence";
    case Signal::kDenormal: return "denormal";
    case Signal::kHuge: return "huge";
    case Signal::kSpecials: return "specials";
    default: return "?";
    }
}

float specialValue(Random& rng) {
    switch (rng.below(7)) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return -std::numeric_limits<float>::quiet_NaN();
    case 2: return fromBits(0x7fc00000U | static_cast<std::uint32_t>(rng.next() & 0x3fffffU));  // NaN payload
    case 3: return std::numeric_limits<float>::infinity();
    case 4: return -std::numeric_limits<float>::infinity();
    case 5: return std::numeric_limits<float>::max();
    default: return -0.0f;
    }
}

// A signal generator that keeps its phase and level across blocks.
struct SignalSource {
    Signal kind = Signal::kNoise;
    float level = 0.5f;
    double phase = 0.0;
    double step = 0.01;
    int specialsPercent = 0;

    void fill(Random& rng, float* out, int frames) {
        for (int i = 0; i < frames; ++i) {
            float x = 0.0f;
            switch (kind) {
            case Signal::kNoise: x = level * rng.between(-1.0f, 1.0f); break;
            case Signal::kSine:
                x = static_cast<float>(level * std::sin(phase));
                phase += step;
                break;
            case Signal::kConstant: x = level; break;
            case Signal::kSilence: x = 0.0f; break;
            case Signal::kDenormal:
                x = fromBits((static_cast<std::uint32_t>(rng.next()) & 0x807fffffU));
                break;
            case Signal::kHuge: x = (rng.chance(50) ? 1.0f : -1.0f) * rng.between(1e30f, 3e38f); break;
            case Signal::kSpecials: x = specialValue(rng); break;
            default: break;
            }
            if (specialsPercent > 0 && rng.chance(specialsPercent)) x = specialValue(rng);
            out[i] = x;
        }
    }

    void pick(Random& rng) {
        kind = static_cast<Signal>(rng.below(static_cast<int>(Signal::kCount)));
        static constexpr float kLevels[] = {0.5f, 1.0f, 2.0f, -2.0f, 2.5f, -3.0f, 0.03f, 0.0f, 1e-3f, 40.0f};
        level = rng.chance(50) ? kLevels[rng.below(10)] : rng.between(-4.0f, 4.0f);
        step = rng.between(0.0001f, 3.0f);
        specialsPercent = rng.chance(10) ? 1 + rng.below(5) : 0;
    }
};

float pickSampleRate(Random& rng) {
    static constexpr float kCommon[] = {8000.0f,  11025.0f, 16000.0f, 22050.0f,  32000.0f,
                                        44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f};
    const int roll = rng.below(100);
    if (roll < 3) {
        static constexpr float kUnusable[] = {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                                              std::numeric_limits<float>::infinity()};
        return kUnusable[rng.below(4)];
    }
    if (roll < 60) return kCommon[rng.below(11)];
    return rng.between(8000.0f, 192000.0f);
}

float pickRateSetting(Random& rng) {
    const int roll = rng.below(100);
    if (roll < 60) {
        // The middle of one table entry's band.
        return (static_cast<float>(rng.below(kRateCount)) + 0.5f) / 31.999f;
    }
    if (roll < 75) {
        static constexpr float kEdges[] = {0.0f, 0.5f, 0.99f, 1.0f, 1.0f / 31.999f, 31.0f / 31.999f};
        return kEdges[rng.below(6)];
    }
    if (roll < 92) return rng.unit();
    static constexpr float kOutside[] = {-0.5f, 1.5f, 1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN(),
                                         std::numeric_limits<float>::infinity()};
    return kOutside[rng.below(6)];
}

float pickGain(Random& rng) {
    const int roll = rng.below(100);
    if (roll < 40) return 1.0f;
    if (roll < 75) return rng.between(-4.0f, 4.0f);
    static constexpr float kOdd[] = {0.0f, -0.0f, 0.5f, 1e30f, 1e-40f, -1.0f,
                                     std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity()};
    return kOdd[rng.below(8)];
}

int pickFrames(Random& rng) {
    const int roll = rng.below(100);
    if (roll < 8) return 0;
    if (roll < 10) return -1 - rng.below(5);
    if (roll < 20) return 1;
    if (roll < 35) return 2 + rng.below(6);
    if (roll < 45) {
        static constexpr int kHostSizes[] = {64, 128, 256, 512, 1024, 4096};
        return kHostSizes[rng.below(rng.chance(90) ? 5 : 6)];
    }
    return 1 + 2 * rng.below(500);  // odd sizes up to 999
}

std::string describe(float v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g (0x%08x)", static_cast<double>(v), std::bit_cast<std::uint32_t>(v));
    return text;
}

// Bit for bit, except that all NaNs are alike: which operand's NaN an
// addition or product passes on is up to the compiler's operand order (it
// treats both as commutative), so a NaN's sign and payload carry no meaning.
bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b) || (std::isnan(a) && std::isnan(b));
}

void expectSameState(const DeltaModulatorState& real, const ReferenceModel& model) {
    EXPECT_TRUE(sameBits(real.inputSum, model.inputSum))
        << "inputSum " << describe(real.inputSum) << " vs " << describe(model.inputSum);
    EXPECT_TRUE(sameBits(real.tickPhase, model.tickPhase))
        << "tickPhase " << describe(real.tickPhase) << " vs " << describe(model.tickPhase);
    EXPECT_TRUE(sameBits(real.tickPeriod, model.tickPeriod))
        << "tickPeriod " << describe(real.tickPeriod) << " vs " << describe(model.tickPeriod);
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(sameBits(real.levelHistory[k], model.levelHistory[k]))
            << "levelHistory[" << k << "] " << describe(real.levelHistory[k]) << " vs "
            << describe(model.levelHistory[k]);
    }
    EXPECT_EQ(real.deltaLevel, model.deltaLevel);
    EXPECT_EQ(real.quietTicks, model.quietTicks);
}

// Compares `frames` outputs and reports the first differing frame only.
void expectSameOutput(const char* what, const float* real, const float* model, int frames) {
    if (frames <= 0) return;
    for (int i = 0; i < frames; ++i) {
        if (!sameBits(real[i], model[i])) {
            ADD_FAILURE() << what << " differs first at frame " << i << ": " << describe(real[i]) << " vs model "
                          << describe(model[i]);
            return;
        }
    }
}

void expectCanaries(const char* what, const std::vector<float>& buffer, int frames) {
    const int start = frames > 0 ? frames : 0;
    for (int i = start; i < start + kGuardFrames; ++i) {
        if (std::bit_cast<std::uint32_t>(buffer[static_cast<std::size_t>(i)]) != kCanaryBits) {
            ADD_FAILURE() << what << " written past the block at frame " << i;
            return;
        }
    }
}

void runCase(std::uint64_t seed) {
    Random rng(seed);
    DeltaModulator real;
    ReferenceModel model;
    SignalSource source;
    source.pick(rng);
    float sampleRate = pickSampleRate(rng);
    // Long single-signal cases reach the quiet limit and the counter's ends.
    const bool longCase = rng.chance(15);
    const int blocks = longCase ? 2 + rng.below(3) : 1 + rng.below(10);

    for (int block = 0; block < blocks; ++block) {
        if (block > 0 && rng.chance(10)) sampleRate = pickSampleRate(rng);
        if (block == 0 || rng.chance(40)) {
            const float setting = pickRateSetting(rng);
            real.setParameter(DeltaModulator::kRateSetting, setting);
            model.rateSetting = setting;
        }
        if (block == 0 || rng.chance(30)) {
            const float gain = pickGain(rng);
            real.setParameter(DeltaModulator::kInputGain, gain);
            model.inputGain = gain;
        }
        if (block == 0 || rng.chance(30)) {
            const float gain = pickGain(rng);
            real.setParameter(DeltaModulator::kOutputGain, gain);
            model.outputGain = gain;
        }
        if (!longCase && rng.chance(20)) source.pick(rng);
        const int frames = longCase ? 300 + rng.below(1500) : pickFrames(rng);
        const bool inPlace = rng.chance(50);
        SCOPED_TRACE(testing::Message() << "block " << block << ": " << frames << " frames, "
                                        << signalName(source.kind) << ", level " << source.level
                                        << (inPlace ? ", in place" : ", separate") << ", sample rate " << sampleRate
                                        << ", rate setting " << model.rateSetting << ", gains " << model.inputGain
                                        << " / " << model.outputGain);

        const auto size = static_cast<std::size_t>((frames > 0 ? frames : 0) + kGuardFrames);
        std::vector<float> input(size, fromBits(kCanaryBits));
        source.fill(rng, input.data(), frames > 0 ? frames : 0);
        const std::vector<float> original = input;

        std::vector<float> out0 = inPlace ? input : std::vector<float>(size, fromBits(kCanaryBits));
        std::vector<float> out1(size, fromBits(kCanaryBits));
        const float* in = inPlace ? out0.data() : input.data();
        real.process(in, out0.data(), out1.data(), frames, sampleRate);

        std::vector<float> want0(size, fromBits(kCanaryBits));
        std::vector<float> want1(size, fromBits(kCanaryBits));
        model.process(original.data(), want0.data(), want1.data(), frames, sampleRate);

        expectSameOutput("outputs[0]", out0.data(), want0.data(), frames);
        expectSameOutput("outputs[1]", out1.data(), want1.data(), frames);
        expectCanaries("outputs[0]", out0, frames);
        expectCanaries("outputs[1]", out1, frames);
        if (!inPlace) {
            EXPECT_EQ(0, std::memcmp(input.data(), original.data(), size * sizeof(float))) << "input changed";
        }
        expectSameState(real.state(), model);
        if (testing::Test::HasFailure()) return;
    }
}

TEST(DifferentialTest, MatchesPlainModelBitForBit) {
    if (const char* only = std::getenv("VEXOBIT_DIFF_SEED")) {
        const std::uint64_t seed = std::strtoull(only, nullptr, 0);
        SCOPED_TRACE(testing::Message() << "seed 0x" << std::hex << seed);
        runCase(seed);
        return;
    }
    for (int i = 0; i < kCases && !HasFailure(); ++i) {
        const std::uint64_t seed = splitMix(kBaseSeed + static_cast<std::uint64_t>(i));
        SCOPED_TRACE(testing::Message() << "case " << i << ", seed 0x" << std::hex << seed);
        runCase(seed);
    }
}

// Every table entry at every common host rate, through the quiet limit and
// both ends of the counter, so no entry is left to chance.
TEST(DifferentialTest, EveryTickRateAtEveryHostRate) {
    static constexpr float kHostRates[] = {8000.0f, 22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
    static constexpr float kLevels[] = {0.0f, 0.5f, 2.0f, -2.0f};
    for (int entry = 0; entry < kRateCount && !HasFailure(); ++entry) {
        for (const float sampleRate : kHostRates) {
            for (const float level : kLevels) {
                SCOPED_TRACE(testing::Message() << "entry " << entry << ", sample rate " << sampleRate << ", level "
                                                << level);
                const float setting = (static_cast<float>(entry) + 0.5f) / 31.999f;
                DeltaModulator real;
                ReferenceModel model;
                real.setParameter(DeltaModulator::kRateSetting, setting);
                model.rateSetting = setting;
                std::vector<float> input(1500, level);
                std::vector<float> out0(1500), out1(1500), want0(1500), want1(1500);
                // Two blocks: the second starts with the phase carried over.
                real.process(input.data(), out0.data(), out1.data(), 701, sampleRate);
                real.process(input.data() + 701, out0.data() + 701, out1.data() + 701, 799, sampleRate);
                model.process(input.data(), want0.data(), want1.data(), 1500, sampleRate);
                expectSameOutput("outputs[0]", out0.data(), want0.data(), 1500);
                expectSameOutput("outputs[1]", out1.data(), want1.data(), 1500);
                expectSameState(real.state(), model);
                if (HasFailure()) return;
            }
        }
    }
}

}  // namespace
}  // namespace vexobit::test
