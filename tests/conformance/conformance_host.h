// The conformance host: what every test shares. It knows the module only
// through the exported entry and the record, as a real host does.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "framework/vst_abi.h"
#include "tests/conformance/module_file.h"

namespace conformance {

// The module under test, opened by main() from the path on the command line.
ModuleFile& module();
void openModule(const char* path);
void closeModule();

// Seed of every random choice in the run; printed at start, and taken from
// the environment variable VEXOBIT_CONFORMANCE_SEED when set.
std::uint32_t seed();

// What the host answers and notices.
struct HostLog {
    std::atomic<VstIntPtr> versionAnswer{2400};
    std::atomic<long> calls{0};
    // Set while processReplacing runs; a host call then is a fault.
    std::atomic<bool> inAudio{false};
    std::atomic<long> callsDuringAudio{0};
    std::atomic<long> lastOpcodeDuringAudio{-1};
};
HostLog& hostLog();

// The host callback: answers audioMasterVersion with hostLog().versionAnswer
// and 0 to everything else, like the plainest host.
VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);

// One effect instance, created through the entry `entryName` and switched
// on as a host does (open, sample rate, block size, mains on). Closed with
// effClose on destruction unless close() was called.
class Plugin {
public:
    static constexpr float kSampleRate = 44100.0f;
    static constexpr VstInt32 kMaxBlock = 8192;

    explicit Plugin(const char* entryName = "VSTPluginMain");
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    AEffect* record() const { return effect; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // processReplacing, watched: the heap probe is armed and the host flags
    // any callback while it runs.
    void process(float** inputs, float** outputs, VstInt32 frames);
    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);
    // effClose; answers what the dispatcher answered.
    VstIntPtr close();

private:
    AEffect* effect = nullptr;
};

// Two channels with a guard zone after each, filled with a sentinel so a
// write past the frame count shows.
class StereoBuffer {
public:
    static constexpr std::size_t kGuard = 16;
    static constexpr float kSentinel = -12345.5f;

    explicit StereoBuffer(std::size_t frames);
    float** channels() { return pointers; }
    float* channel(int c) { return pointers[c]; }
    std::size_t frames() const { return size; }
    // True when no guard sample has changed.
    bool guardsIntact() const;
    void fill(float value);

private:
    std::size_t size;
    std::vector<float> storage[2];
    float* pointers[2];
};

// Every test runs under this fixture: at its end, no processReplacing of the
// test may have called the host or touched the heap.
class ConformanceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// A deterministic test signal: a few sines and noise, peak below `peak`.
std::vector<float> makeSignal(std::size_t frames, std::uint32_t signalSeed, float peak = 0.9f);

// True when every sample is finite and within [-limit, limit].
::testing::AssertionResult finiteWithin(const float* samples, std::size_t frames, float limit);

}  // namespace conformance
