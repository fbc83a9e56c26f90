#include "bench/bench_inputs.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace vexobit::bench {

namespace {

constexpr std::size_t kLength = 65536;

std::uint64_t nextRandom(std::uint64_t& state) {
    state += 0x9e3779b97f4a7c15ULL;
    std::uint64_t x = state;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

double unitNoise(std::uint64_t& state) {
    return static_cast<double>(nextRandom(state) >> 11) * 0x1p-52 - 1.0;  // -1..1
}

// Something like a mix: a low note and its overtones, low-passed noise as
// the band, and an envelope that swells and fades, peaking near -6 dBFS.
std::vector<float> makeMusic() {
    std::vector<float> out(kLength);
    std::uint64_t state = 42;
    double lowPassed = 0.0;
    constexpr double kTwoPi = 6.283185307179586;
    for (std::size_t i = 0; i < kLength; ++i) {
        const double seconds = static_cast<double>(i) / 44100.0;
        lowPassed += 0.08 * (unitNoise(state) - lowPassed);
        const double tone = 0.5 * std::sin(kTwoPi * 110.0 * seconds) + 0.25 * std::sin(kTwoPi * 220.0 * seconds) +
                            0.12 * std::sin(kTwoPi * 330.0 * seconds + 0.3);
        const double envelope = 0.55 + 0.45 * std::sin(kTwoPi * 0.7 * seconds);
        out[i] = static_cast<float>(0.5 * envelope * (0.6 * tone + 1.5 * lowPassed));
    }
    return out;
}

// What a host sends after a long fade: values below the smallest normal float.
std::vector<float> makeDenormal() {
    std::vector<float> out(kLength);
    std::uint64_t state = 7;
    for (auto& x : out) {
        const auto bits = static_cast<std::uint32_t>(nextRandom(state));
        x = std::bit_cast<float>(bits & 0x807fffffU);
    }
    return out;
}

}  // namespace

const char* inputName(Input input) {
    switch (input) {
    case Input::kMusic: return "music";
    case Input::kSilence: return "silence";
    case Input::kDenormal: return "denormal";
    }
    return "?";
}

const std::vector<float>& inputSignal(Input input) {
    static const std::vector<float> music = makeMusic();
    static const std::vector<float> silence(kLength, 0.0f);
    static const std::vector<float> denormal = makeDenormal();
    switch (input) {
    case Input::kMusic: return music;
    case Input::kSilence: return silence;
    case Input::kDenormal: return denormal;
    }
    return silence;
}

}  // namespace vexobit::bench
