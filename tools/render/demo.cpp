#include "tools/render/demo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace render {

std::vector<float> demoPhrase() {
    constexpr double kStep = 0.3125;  // seconds per note
    constexpr std::array<int, 8> kNotes = {57, 60, 64, 69, 67, 64, 60, 62};  // MIDI: A minor arpeggio
    const auto stepFrames = static_cast<std::size_t>(kStep * kDemoSampleRate);
    std::vector<double> mix(stepFrames * kNotes.size(), 0.0);
    const double twoPi = 2.0 * std::numbers::pi;
    std::uint32_t noise = 0x12345678u;

    for (std::size_t step = 0; step < kNotes.size(); ++step) {
        const double pitch = 440.0 * std::pow(2.0, (kNotes[step] - 69) / 12.0);
        for (std::size_t f = 0; f < stepFrames; ++f) {
            const double t = static_cast<double>(f) / kDemoSampleRate;
            double sample = 0.0;
            // Pluck: three harmonics of a sawtooth, fast attack, exponential decay.
            const double pluck = std::min(1.0, t / 0.004) * std::exp(-t * 6.0);
            for (int h = 1; h <= 3; ++h) sample += 0.5 / h * std::sin(twoPi * pitch * h * t) * pluck;
            if (step % 2 == 0) {
                // Kick: a sine falling from 150 to 50 Hz.
                const double phase = twoPi * (50.0 * t + 100.0 / 30.0 * (1.0 - std::exp(-30.0 * t)));
                sample += 0.9 * std::sin(phase) * std::exp(-t * 14.0);
            } else {
                // Hi-hat: white noise from a fixed generator, a few milliseconds long.
                noise = noise * 1664525u + 1013904223u;
                const double white = static_cast<double>(noise >> 8) / static_cast<double>(1u << 23) - 1.0;
                sample += 0.25 * white * std::exp(-t * 80.0);
            }
            mix[step * stepFrames + f] += sample;
        }
    }

    double peak = 0.0;
    for (const double sample : mix) peak = std::max(peak, std::abs(sample));
    const double gain = peak > 0.0 ? 0.8 / peak : 0.0;
    // A short fade so the phrase ends without a click.
    const std::size_t fade = kDemoSampleRate / 50;
    std::vector<float> phrase(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const std::size_t fromEnd = mix.size() - i;
        const double envelope = fromEnd < fade ? static_cast<double>(fromEnd) / fade : 1.0;
        phrase[i] = static_cast<float>(mix[i] * gain * envelope);
    }
    return phrase;
}

}  // namespace render
