// The built-in demo: a short phrase made in code, rendered at three
// contrasting tick rates.
#pragma once

#include <array>
#include <vector>

namespace render {

constexpr int kDemoSampleRate = 44100;
constexpr const char* kDemoDryFile = "vexobit-demo-dry.wav";

struct DemoRender {
    const char* file;
    // Value of the tick-rate parameter; the comment gives the rate Vexobit picks.
    float tickRate;
};

constexpr std::array<DemoRender, 3> kDemoRenders = {{
    {"vexobit-demo-pal-4177hz.wav", 0.0f},     // PAL $0, the slowest rate: coarse and dark
    {"vexobit-demo-pal-11234hz.wav", 0.3f},    // PAL $9, the classic drum-sample rate
    {"vexobit-demo-ntsc-33144hz.wav", 0.99f},  // NTSC $F, the default: bright, with the slew grit
}};

// Two seconds and a half, mono, at kDemoSampleRate: a plucked arpeggio over
// a kick and a hi-hat, peaking at 0.8.
std::vector<float> demoPhrase();

}  // namespace render
