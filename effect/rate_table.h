// Tick rates of the NES delta-modulation channel, and how the rate parameter
// selects one of them.
#pragma once

#include <array>
#include <cstdint>

namespace vexobit {

constexpr int kRateCount = 32;
// Entries 0..15: PAL chip, 16..31: NTSC chip, each by rate number 0..15.
constexpr int kRatesPerChip = 16;

// Tick rates in Hz.
inline constexpr std::array<double, kRateCount> rateTable = {
    4177.4,  4696.63, 5261.41, 5579.22, 6023.94, 7044.94, 7917.18, 8397.01,
    9446.63, 11233.8, 12595.5, 14089.9, 16965.4, 21315.5, 25191.0, 33252.1,
    4181.71, 4709.93, 5264.04, 5593.04, 6257.95, 7046.35, 7919.35, 8363.42,
    9419.86, 11186.1, 12604.0, 13982.6, 16884.6, 21306.8, 24858.0, 33143.9,
};

// entry = rateSetting x 31.999 (single precision), truncated toward zero.
// Settings outside 0..1 are clamped into the table; NaN selects entry 0.
inline int selectRateEntry(float rateSetting) noexcept {
    const float scaled = rateSetting * 31.999f;
    if (!(scaled >= 0.0f)) return 0;
    if (scaled >= static_cast<float>(kRateCount - 1)) return kRateCount - 1;
    return static_cast<int>(scaled);
}

}  // namespace vexobit
