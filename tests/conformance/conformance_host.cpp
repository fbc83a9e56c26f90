#include "tests/conformance/conformance_host.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>

#include "tests/conformance/heap_probe.h"

namespace conformance {

namespace {
std::unique_ptr<ModuleFile> openedModule;
HostLog theLog;

std::uint32_t chooseSeed() {
    if (const char* fixed = std::getenv("VEXOBIT_CONFORMANCE_SEED")) {
        return static_cast<std::uint32_t>(std::strtoul(fixed, nullptr, 0));
    }
    return std::random_device{}();
}
}  // namespace

ModuleFile& module() { return *openedModule; }

void openModule(const char* path) { openedModule = std::make_unique<ModuleFile>(path); }

void closeModule() { openedModule.reset(); }

std::uint32_t seed() {
    static const std::uint32_t chosen = chooseSeed();
    return chosen;
}

HostLog& hostLog() { return theLog; }

VstIntPtr VSTCALLBACK hostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/,
                                   void* /*ptr*/, float /*opt*/) {
    theLog.calls.fetch_add(1);
    if (theLog.inAudio.load()) {
        theLog.callsDuringAudio.fetch_add(1);
        theLog.lastOpcodeDuringAudio.store(opcode);
    }
    return opcode == audioMasterVersion ? theLog.versionAnswer.load() : 0;
}

Plugin::Plugin(const char* entryName) {
    const VstPluginMainProc entry = module().entry(entryName);
    if (!entry) {
        ADD_FAILURE() << "the module exports no " << entryName;
        return;
    }
    effect = entry(hostCallback);
    if (!effect) {
        ADD_FAILURE() << entryName << " answered no effect";
        return;
    }
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, kSampleRate);
    dispatch(effSetBlockSize, 0, kMaxBlock);
    dispatch(effMainsChanged, 0, 1);
}

Plugin::~Plugin() {
    if (!effect) return;
    dispatch(effMainsChanged, 0, 0);
    close();
}

VstIntPtr Plugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void Plugin::process(float** inputs, float** outputs, VstInt32 frames) {
    theLog.inAudio.store(true);
    {
        heap::Watch watch;
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    theLog.inAudio.store(false);
}

void Plugin::setParameter(VstInt32 index, float value) { effect->setParameter(effect, index, value); }

float Plugin::getParameter(VstInt32 index) { return effect->getParameter(effect, index); }

VstIntPtr Plugin::close() {
    const VstIntPtr answer = effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
    return answer;
}

StereoBuffer::StereoBuffer(std::size_t frames) : size(frames) {
    for (int c = 0; c < 2; ++c) {
        storage[c].assign(frames + kGuard, kSentinel);
        pointers[c] = storage[c].data();
    }
}

bool StereoBuffer::guardsIntact() const {
    for (const auto& channel : storage) {
        for (std::size_t i = size; i < channel.size(); ++i) {
            if (channel[i] != kSentinel) return false;
        }
    }
    return true;
}

void StereoBuffer::fill(float value) {
    for (auto& channel : storage) std::fill(channel.begin(), channel.begin() + static_cast<std::ptrdiff_t>(size), value);
}

void ConformanceTest::SetUp() {
    heap::reset();
    theLog.callsDuringAudio.store(0);
}

void ConformanceTest::TearDown() {
    EXPECT_EQ(heap::count(), 0) << "processReplacing used the heap (" << heap::mechanism() << ")";
    EXPECT_EQ(theLog.callsDuringAudio.load(), 0)
        << "processReplacing called the host, last opcode " << theLog.lastOpcodeDuringAudio.load();
}

std::vector<float> makeSignal(std::size_t frames, std::uint32_t signalSeed, float peak) {
    std::mt19937 random(signalSeed);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::uniform_real_distribution<float> frequency(20.0f, 5000.0f);
    const float f1 = frequency(random), f2 = frequency(random);
    std::vector<float> signal(frames);
    constexpr float kTwoPi = 6.2831853f;
    for (std::size_t i = 0; i < frames; ++i) {
        const float t = static_cast<float>(i) / Plugin::kSampleRate;
        const float value = 0.5f * std::sin(kTwoPi * f1 * t) + 0.3f * std::sin(kTwoPi * f2 * t) + 0.2f * noise(random);
        signal[i] = value * peak;
    }
    return signal;
}

::testing::AssertionResult finiteWithin(const float* samples, std::size_t frames, float limit) {
    for (std::size_t i = 0; i < frames; ++i) {
        if (!std::isfinite(samples[i]) || std::fabs(samples[i]) > limit) {
            return ::testing::AssertionFailure() << "sample " << i << " is " << samples[i] << ", limit " << limit;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace conformance
